#!/usr/bin/env bash
# shaped.sh XVFB_RUN PREVIEW VIEW OUT.png: runs the form preview on a private X server with a
# private HOME, TMPDIR and XDG_RUNTIME_DIR, photographing and checking its window.
set -euo pipefail
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp" "$home/run"
chmod 700 "$home" "$home/tmp" "$home/run"
HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" QT_SCALE_FACTOR=1 QT_QPA_PLATFORM=xcb \
  "$1" -a -s "-screen 0 1280x1024x24" "$2" --view "$3" --width 1024 --shot "$4" --check
