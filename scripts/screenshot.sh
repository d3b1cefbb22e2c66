#!/usr/bin/env bash
# Photographs the main window's form in each deck view at 1024 and 1280 wide on a 1280 x 1024
# screen, and the Extended view once more on a 1024 x 768 screen (a short work area):
# build/screenshots/{extended,essential,minimal}-{1024,1280}.png and extended-1024x768.png.
# Runs the form preview (until the main window exists) under xvfb-run with a private HOME,
# TMPDIR and XDG_RUNTIME_DIR. Usage: scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
prog="$build/mainwindow/form/ostrel_formpreview"
[ -x "$prog" ] || cmake --build "$build" --target ostrel_formpreview
out="$build/screenshots"
mkdir -p "$out"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp" "$home/run"
chmod 700 "$home" "$home/tmp" "$home/run"
shoot() {  # screen view width file
  HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" QT_SCALE_FACTOR=1 \
    xvfb-run -a -s "-screen 0 $1" "$prog" --view "$2" --width "$3" --shot "$out/$4"
}
for view in Extended Essential Minimal; do
  lower="$(echo "$view" | tr 'A-Z' 'a-z')"
  for width in 1024 1280; do
    shoot 1280x1024x24 "$view" "$width" "$lower-$width.png"
  done
done
shoot 1024x768x24 Extended 1024 extended-1024x768.png
