#!/usr/bin/env bash
# explorer_shots.sh XVFB_RUN BINARY OUTDIR: photographs the Explorer panel on a private X server,
# with a private HOME, TMPDIR and XDG_RUNTIME_DIR; the pictures go to OUTDIR.
set -euo pipefail
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp" "$home/run" "$3"
chmod 700 "$home" "$home/tmp" "$home/run"
HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" QT_SCALE_FACTOR=1 QT_QPA_PLATFORM=xcb \
  EXPLORER_SHOTS="$3" "$1" -a -s "-screen 0 1280x1024x24" "$2"
