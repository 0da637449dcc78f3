#!/bin/sh
# Runs every libFuzzer target of a fuzz build for the given number of seconds each.
BUILD=$1
SECONDS_EACH=${2:-60}
HERE=$(cd "$(dirname "$0")" && pwd)
status=0
for exe in "$BUILD"/fuzz/*_fuzz; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  work="$BUILD/fuzz-work/$name"
  mkdir -p "$work/corpus" "$work/crashes"
  seeds=""
  for d in "$HERE/corpus/$name" "$HERE/regressions/$name" "$BUILD/../build/fuzz-seeds/$name"; do
    [ -d "$d" ] && seeds="$seeds $d"
  done
  echo "== $name: $SECONDS_EACH s"
  (cd "$work" && SDL_VIDEODRIVER=offscreen "$exe" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 \
     -timeout=20 -artifact_prefix="$work/crashes/" corpus $seeds) > "$work/log.txt" 2>&1 || status=1
  tail -3 "$work/log.txt"
done
exit $status
