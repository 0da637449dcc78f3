#!/bin/sh
# Installs the Debian packages found in BUILD on this machine and uses them as a user
# would: lintian finds no error, the installed demo, viewer, man pages and menu entry are
# there and work, every example builds against the -dev package with pkg-config and with
# CMake and runs; then removing the packages must leave none of their files behind.
# Usage: check-package.sh BUILD
set -e
BUILD=$(cd "$1" && pwd)
SRC=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
PACKAGES=$(for deb in "$BUILD"/*.deb; do dpkg-deb -f "$deb" Package; done)
trap '$SUDO dpkg --purge $PACKAGES >/dev/null 2>&1 || true; rm -rf "$WORK"' EXIT
fail() { echo "installed packages: $*"; exit 1; }

lintian --fail-on error "$BUILD"/*.deb

$SUDO apt-get install -y -q "$BUILD"/*.deb >/dev/null
dpkg -L $PACKAGES | sort -u > "$WORK/files"

# The demo: found on the PATH of games, its help, a frame of the show from its data.
PATH=$PATH:/usr/games
glasswing --help | grep -q -- "--capture-frames" || fail "glasswing --help lacks its options"
glasswing --capture-frames "$WORK/frames" --at 20000 2>/dev/null
[ -s "$WORK/frames/frame_020000.png" ] || fail "glasswing wrote no frame"
spread=$(convert "$WORK/frames/frame_020000.png" -colorspace gray -format '%[fx:int(1000*standard_deviation)]' info:)
[ "$spread" -ge 20 ] || fail "the demo's frame is blank"
for page in man6/glasswing.6.gz man1/kvxview.1.gz; do
  case "$PACKAGES" in *korvex3d-tools*) ;; *) [ "$page" = man1/kvxview.1.gz ] && continue ;; esac
  zcat "/usr/share/man/$page" | grep -q '^\.SH NAME' || fail "no manual page $page"
done
grep -q '^Exec=glasswing$' /usr/share/applications/glasswing.desktop || fail "no menu entry"
icon=$(identify -format '%wx%h %[opaque]' /usr/share/icons/hicolor/128x128/apps/glasswing.png 2>/dev/null || true)
[ "$icon" = "128x128 false" ] || fail "the icon is not a 128 x 128 picture with transparent corners ($icon)"

# The viewer writes a picture of a scene.
if command -v kvxview >/dev/null; then
  kvxview --output "$WORK/view.png" /usr/share/korvex3d/level01.dat >/dev/null 2>&1 || fail "kvxview --output failed"
  [ -s "$WORK/view.png" ] || fail "kvxview wrote no picture"
fi

# The examples against the installed -dev package.
mkdir "$WORK/pc"
for src in "$SRC"/docs/examples/*.cpp; do
  g++ -std=c++17 "$src" -o "$WORK/pc/$(basename "$src" .cpp)" $(pkg-config --cflags --libs korvex3d)
done
cmake -S "$SRC/docs/examples" -B "$WORK/cm" >/dev/null
cmake --build "$WORK/cm" >/dev/null
DATA=/usr/share/korvex3d
sh "$SRC/tests/install/run-examples.sh" "$WORK/pc" "$DATA/level01.dat" "$DATA/level02.dat" "$DATA/"
sh "$SRC/tests/install/run-examples.sh" "$WORK/cm" "$DATA/level01.dat" "$DATA/level02.dat" "$DATA/"

# Removing the packages removes every file they installed.
$SUDO apt-get remove -y -q $PACKAGES >/dev/null
left=$(while read -r f; do if [ -e "$f" ] && [ ! -d "$f" ]; then echo "$f"; fi; done < "$WORK/files")
[ -z "$left" ] || fail "left behind after removal: $left"
[ ! -e /usr/share/korvex3d ] || fail "/usr/share/korvex3d left behind"
$SUDO dpkg --purge $PACKAGES >/dev/null 2>&1  # what remove keeps: dpkg's record of the library
echo "packages install, work and remove cleanly: $(echo $PACKAGES)"
