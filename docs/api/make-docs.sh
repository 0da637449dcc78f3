#!/bin/sh
# Writes the API reference of the public headers (those engine/Korvex3D.h includes)
# as HTML into OUTPUT/api. Any warning fails the run: an undocumented class, function,
# type or global, or a broken reference. Fields of records are counted, not required.
# Usage: make-docs.sh OUTPUT
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUTPUT=$(mkdir -p "$1" && cd "$1" && pwd)
ENGINE=$ROOT/engine
headers="$ENGINE/Korvex3D.h"
for all in "$ENGINE"/*/Kvx*.h; do
  headers="$headers $all"
  for h in $(sed -n 's/^#include "\([a-z0-9]*\/[A-Za-z0-9]*\.h\)"$/\1/p' "$all"); do
    headers="$headers $ENGINE/$h"
  done
done
export KVX_DOCS_INPUT="$headers $ROOT/docs/api/pages.dox"
export KVX_DOCS_OUTPUT=$OUTPUT KVX_DOCS_FILTER=$ROOT/docs/api/comments.pl KVX_ENGINE_DIR=$ENGINE
export KVX_EXAMPLES_DIR=$ROOT/docs/examples
export KVX_VERSION=$(sed -n 's/^project(Korvex3D VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
rm -rf "$OUTPUT/api"
cd "$ROOT/docs/api"
doxygen Doxyfile
LOG=$OUTPUT/doxygen-warnings.log
fields=$(grep -c "(variable) of \(class\|struct\) .* is not documented" "$LOG" || true)
if grep -v "(variable) of \(class\|struct\) .* is not documented" "$LOG" | grep -q .; then
  grep -v "(variable) of \(class\|struct\) .* is not documented" "$LOG" | sort -u
  echo "make docs: the warnings above must be fixed" >&2
  exit 1
fi
echo "API reference: $OUTPUT/api/index.html ($fields fields without a comment)"
