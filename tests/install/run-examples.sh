#!/bin/sh
# Runs the built examples headless in a scratch folder and checks what each one shows or says.
# Usage: run-examples.sh BIN_DIR SCENE.3DS WALK_SCENE.3DS TEXTURE_FOLDER
set -e
BIN=$(cd "$1" && pwd)
SCENE=$2
WALK_SCENE=$3
TEXTURES=$4
RUN=$(mktemp -d)
trap 'rm -rf "$RUN"' EXIT
cd "$RUN"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

fail() { echo "example $1: $2"; exit 1; }

# The grey-level spread of the frame an example saved: a blank or one-colour frame fails.
check_shot() {
  [ -f Shot0000.jpg ] || fail "$1" "saved no frame"
  spread=$(convert Shot0000.jpg -colorspace gray -format '%[fx:int(1000*standard_deviation)]' info:)
  [ "$spread" -ge "$2" ] || fail "$1" "frame too uniform (spread $spread/1000)"
  rm -f Shot0000.jpg
}

run() {  # run NAME PATTERN [ARGS...]: runs BIN/NAME and expects PATTERN in its output
  name=$1 pattern=$2
  shift 2
  out=$("$BIN/$name" "$@" 2>&1) || fail "$name" "failed: $out"
  echo "$out" | grep -Eq "$pattern" || fail "$name" "unexpected output: $out"
}

run hello "OpenGL information:"
run play3ds "[1-9][0-9]* meshes, [0-9]+ lights, [1-9][0-9]* cameras" "$SCENE" "$TEXTURES"
check_shot play3ds 20
run walk "ground under [1-9]" "$WALK_SCENE" "$TEXTURES"
check_shot walk 20
run fountain "^[1-9][0-9]* of 1000 drops in the air"
check_shot fountain 10
run overlay "drew 90 frames"
check_shot overlay 20
run console "Variable SPEED = 3.0+"
echo "$out" | grep -q "returned a value (42.0" || fail console "TWICE 21 did not answer 42"
echo "every example ran"
