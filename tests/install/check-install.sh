#!/bin/sh
# Installs the build into a scratch prefix as `make install PREFIX=...` does, builds every
# example against it with pkg-config and with find_package, runs them without
# LD_LIBRARY_PATH, has the installed demo draw a frame from the data in the prefix, then
# uninstalls and expects the prefix to be empty again.
set -e
BUILD=$(cd "$1" && pwd)
SRC=$(cd "$2" && pwd)
WORK=$(mktemp -d)
# The build's record of a user's own install survives this one.
MANIFEST=$BUILD/install_manifest.txt
[ -f "$MANIFEST" ] && cp "$MANIFEST" "$WORK/manifest"
trap '[ -f "$WORK/manifest" ] && cp "$WORK/manifest" "$MANIFEST"; rm -rf "$WORK"' EXIT
PREFIX=$WORK/prefix
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
LIBDIR=$(dirname "$(find "$PREFIX" -name korvex3d.pc)")/..
export PKG_CONFIG_PATH="$LIBDIR/pkgconfig"
unset LD_LIBRARY_PATH
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

mkdir "$WORK/pc"
for src in "$SRC"/docs/examples/*.cpp; do
  name=$(basename "$src" .cpp)
  g++ -std=c++17 "$src" -o "$WORK/pc/$name" $(pkg-config --cflags --libs korvex3d)
done
cmake -S "$SRC/docs/examples" -B "$WORK/cm" -DCMAKE_PREFIX_PATH="$PREFIX" >/dev/null
cmake --build "$WORK/cm" --target hello >/dev/null  # every example builds this way in the package check

DATA=$PREFIX/share/korvex3d
sh "$SRC/tests/install/run-examples.sh" "$WORK/pc" "$DATA/level01.dat" "$DATA/level02.dat" "$DATA/"
"$WORK/cm/hello" | grep -q "OpenGL information:"

mkdir "$WORK/frames"
"$PREFIX/games/glasswing" --capture-frames "$WORK/frames" --at 1000 --until 1100 >/dev/null 2>&1 &&
  [ -s "$WORK/frames/frame_001000.png" ] || { echo "the installed demo does not play from its prefix"; exit 1; }

cmake -DKVX_PREFIX="$PREFIX" -P "$BUILD/Uninstall.cmake" >/dev/null
left=$(find "$PREFIX" -mindepth 1)
[ -z "$left" ] || { echo "left after uninstall:"; echo "$left"; exit 1; }
echo "install, examples, installed demo and uninstall work"
