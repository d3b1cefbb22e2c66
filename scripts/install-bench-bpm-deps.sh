#!/usr/bin/env bash
# Tools only the tempo benchmark needs: the corpus renderer (fluidsynth with a General MIDI
# soundfont) and the two peers the benchmark measures against (aubio, soundstretch).
# Idempotent: asks dpkg first, runs apt-get only for what is missing.
set -euo pipefail

packages=(fluidsynth fluid-soundfont-gm aubio-tools soundstretch ffmpeg python3)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-bench-bpm-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
