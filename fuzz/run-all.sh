#!/bin/sh
# Runs every libFuzzer target of a fuzz build for the given number of seconds each:
#   run-all.sh BUILD [SECONDS] [DATA_DIR]
# Seeds: fuzz/corpus/<target>, fuzz/regressions/<target> and the demo's generated data
# (DATA_DIR, by default BUILD/data, made with tools/datagen when that was built).
# New inputs collect in BUILD/fuzz-work/<target>/corpus, crashes in .../crashes.
# FUZZ_TARGETS="tga_fuzz jpeg_fuzz" limits the run to those targets.
# FUZZ_SEED=N makes the mutations repeatable (libFuzzer's -seed); unset, each run differs.
BUILD=$(cd "$1" && pwd)  # absolute: the console targets change directory
SECONDS_EACH=${2:-60}
DATA=${3:-$BUILD/data}
HERE=$(cd "$(dirname "$0")" && pwd)
[ -d "$DATA" ] || [ ! -x "$BUILD/tools/datagen/datagen" ] || "$BUILD/tools/datagen/datagen" "$DATA" >/dev/null
sh "$HERE/collect-seeds.sh" "$DATA" "$BUILD/fuzz-seeds"
status=0
for exe in "$BUILD"/fuzz/*_fuzz; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  if [ -n "$FUZZ_TARGETS" ]; then
    case " $FUZZ_TARGETS " in *" $name "*) ;; *) continue ;; esac
  fi
  work="$BUILD/fuzz-work/$name"
  mkdir -p "$work/corpus" "$work/crashes"
  seeds=""
  for d in "$HERE/corpus/$name" "$HERE/regressions/$name" "$BUILD/fuzz-seeds/$name"; do
    [ -d "$d" ] && seeds="$seeds $d"
  done
  # Real scene files run to a few hundred KB.
  case $name in load3ds*) max_len=262144 ;; *) max_len=65536 ;; esac
  echo "== $name: $SECONDS_EACH s"
  (cd "$work" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LSAN_OPTIONS="suppressions=$HERE/../tests/lsan.supp" \
     "$exe" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -max_len=$max_len \
     -timeout=20 ${FUZZ_SEED:+-seed=$FUZZ_SEED} -artifact_prefix="$work/crashes/" "$work/corpus" $seeds) > "$work/log.txt" 2>&1 || status=1
  tail -n 3 "$work/log.txt"
done
exit $status
