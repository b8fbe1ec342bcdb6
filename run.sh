#!/usr/bin/env bash
# Installs what is missing, builds the engine and plays the demo game. Without
# a display it plays the demo headless for a few seconds and writes a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
. tools/setup.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target quillfen -j"$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/quillfen "$@" games/demo
fi

mkdir -p out
./build/quillfen --headless --frames 300 --log out/demo-log.txt --screenshot out/demo.png "$@" games/demo
echo "No display: played the demo headless for 300 frames."
echo "Screenshot: $(pwd)/out/demo.png   log: $(pwd)/out/demo-log.txt"
