#!/bin/sh
# Copies the demo's generated data (from tools/datagen) and the real .3DS files of
# tests/data (not the pathological ones, which are regressions) into per-target seed folders:
#   collect-seeds.sh DATA_DIR OUT_DIR
# Files over 300 KB are left out: they slow every mutation without reaching new code.
DATA=$1
OUT=$2
HERE=$(cd "$(dirname "$0")" && pwd)
take() {  # target, files...
  target=$1; shift
  mkdir -p "$OUT/$target"
  for f in "$@"; do
    [ -f "$f" ] || continue
    [ "$(wc -c < "$f")" -le 307200 ] || continue
    cp "$f" "$OUT/$target/"
  done
}
take load3ds_fuzz $(find "$HERE/../tests/data/3ds" -iname '*.3ds' ! -path '*/pathological/*' | sort)
[ -d "$DATA" ] || exit 0
take load3ds_fuzz "$DATA"/*.dat
take tga_fuzz "$DATA"/*.tga
take jpeg_fuzz "$DATA"/*.jpg
take ifl_fuzz "$DATA"/*.ifl
take tunnel_fuzz "$DATA"/tunnel.raw
exit 0
