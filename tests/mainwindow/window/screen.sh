#!/usr/bin/env bash
# screen.sh XVFB_RUN TEST_BINARY: runs the window's screen test on a private X server with a
# private HOME, TMPDIR and XDG_RUNTIME_DIR.
set -euo pipefail
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp" "$home/run"
chmod 700 "$home" "$home/tmp" "$home/run"
HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" QT_SCALE_FACTOR=1 QT_QPA_PLATFORM=xcb \
  "$1" -a -s "-screen 0 1280x1024x24" "$2"
