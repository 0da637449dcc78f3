#!/bin/sh
# Installs the engine into a scratch prefix, then builds the README's host program against
# it twice (pkg-config and find_package) and runs it headless.
set -e
BUILD=$1
SRC=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null
LIBDIR=$(ls -d "$WORK"/prefix/lib*/ | head -1)
export PKG_CONFIG_PATH="$LIBDIR/pkgconfig"
export LD_LIBRARY_PATH="$LIBDIR"
export SDL_VIDEODRIVER=offscreen

g++ -std=c++17 "$SRC/docs/examples/hello.cpp" -o "$WORK/hello-pc" $(pkg-config --cflags --libs korvex3d)

mkdir -p "$WORK/app"
cp "$SRC/docs/examples/hello.cpp" "$WORK/app/"
cat > "$WORK/app/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(hello CXX)
find_package(Korvex3D REQUIRED)
add_executable(hello hello.cpp)
target_link_libraries(hello Korvex3D::Korvex3D)
CMAKE
cmake -S "$WORK/app" -B "$WORK/app/build" -DCMAKE_PREFIX_PATH="$WORK/prefix" >/dev/null
cmake --build "$WORK/app/build" >/dev/null

for exe in "$WORK/hello-pc" "$WORK/app/build/hello"; do
  out=$("$exe")
  echo "$out" | grep -q "OpenGL information:" || { echo "no start-up log from $exe:"; echo "$out"; exit 1; }
done
echo "installed headers, pkg-config file and CMake package work"
