#!/usr/bin/env bash
# Installs what is missing, builds a release and starts ostrelkorvanta.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREL_TESTS=OFF -DOSTREL_BENCH=OFF
cmake --build build-release -j "$(nproc)"
prog=build-release/mainwindow/ostrelkorvanta
if [ ! -x "$prog" ]; then
  echo "run.sh: the program was not built ($prog)" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a "$prog" "$@"
fi
exec "$prog" "$@"
