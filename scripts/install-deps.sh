#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Idempotent and non-interactive: asks dpkg first, runs apt-get only for what is missing.
set -euo pipefail

packages=(
  qt6-base-dev qt6-svg-dev libsqlite3-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libsoundtouch-dev portaudio19-dev libjack-jackd2-dev jackd2 libasound2-dev
  librtmidi-dev libhidapi-dev libpugixml-dev libkissfft-dev libgtest-dev
  ninja-build pkg-config cmake g++ xvfb xauth xdotool libxcb1-dev ffmpeg sox
  fonts-dejavu-core fonts-dejavu-extra
  yt-dlp
  xdotool x11-utils
  ${EXTRA_PACKAGES:-}
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks whether to enable realtime scheduling; answer it up front
echo "jackd2 jackd/tweak_rt_limits boolean false" | debconf-set-selections 2>/dev/null || true
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
