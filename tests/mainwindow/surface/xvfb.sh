#!/usr/bin/env bash
# xvfb.sh XVFB_RUN TEST_BINARY FILTER: runs tests of the window on a private X server (1280 x
# 1024) with a private HOME, TMPDIR and XDG_RUNTIME_DIR.
set -euo pipefail
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp" "$home/run"
chmod 700 "$home" "$home/tmp" "$home/run"
HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" QT_SCALE_FACTOR=1 QT_QPA_PLATFORM=xcb \
  "$1" -a -s "-screen 0 1280x1024x24" "$2" --gtest_filter="$3"
