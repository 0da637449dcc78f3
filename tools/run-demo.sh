#!/bin/sh
# Plays the demo from the build directory; without a display it records the show instead.
BUILD=${1:-build}
cd "$BUILD" || exit 1
if [ -x ./demo ]; then
  if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
    echo "No display found: recording the show to $(pwd)/demo.mp4"
    ./demo --capture demo.mp4 && echo "The show is in $(pwd)/demo.mp4"
  else
    ./demo
  fi
elif [ -x ./tools/hello/hello ]; then
  [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && export SDL_VIDEODRIVER=offscreen
  ./tools/hello/hello
else
  echo "Nothing to run yet: neither demo nor tools/hello was built." >&2
  exit 1
fi
