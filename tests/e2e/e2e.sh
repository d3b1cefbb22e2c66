#!/usr/bin/env bash
# e2e.sh XVFB_RUN TEST_BINARY FILTER: runs the end-to-end test on a private X server of
# 1920x1200 with no window manager, itself with a private HOME, TMPDIR and XDG_RUNTIME_DIR
# (the program it starts gets folders of its own).
set -euo pipefail
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp" "$home/run"
chmod 700 "$home" "$home/tmp" "$home/run"
unset DISPLAY WAYLAND_DISPLAY
HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" QT_SCALE_FACTOR=1 QT_QPA_PLATFORM=xcb \
  "$1" -a -s "-screen 0 1920x1200x24" "$2" --gtest_filter="$3"
