#!/usr/bin/env bash
# Builds the Windows program (build/win) and, with --native, the pure cores for
# sanitizers and fuzzing (build/native). Installs what is missing first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"

build_type="${QUILLO_BUILD_TYPE:-Release}"
if [ ! -f "$root/build/win/build.ninja" ]; then
  cmake -G Ninja -S "$root" -B "$root/build/win" -DCMAKE_BUILD_TYPE="$build_type" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$root/build/win" -- -j2 | grep -Ev '^\[[0-9]+/[0-9]+\] ' || true
test -f "$root/build/win/app/Quillo.exe"

if [ "${1:-}" = "--native" ]; then
  if [ ! -f "$root/build/native/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -G Ninja -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUILLO_FUZZ=ON >/dev/null
  fi
  cmake --build "$root/build/native" -- -j2 | grep -Ev '^\[[0-9]+/[0-9]+\] ' || true
fi
