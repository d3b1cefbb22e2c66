#!/usr/bin/env bash
# Draws every control of the interface kit in a few states into one PNG and prints its path
# (build/gallery/kit-gallery.png), on a private X server as a person would see them.
# Usage: scripts/kit-gallery.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target kit_gallery >/dev/null
out="$(cd "$build" && pwd)/gallery/kit-gallery.png"
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
if command -v xvfb-run >/dev/null; then
  XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb xvfb-run -a "$build/tests/snkins/gallery/kit_gallery" "$out"
else
  XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen "$build/tests/snkins/gallery/kit_gallery" "$out"
fi
