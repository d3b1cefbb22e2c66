#!/usr/bin/env bash
# Installs what the libFuzzer targets need (clang and its sanitizer runtimes).
# Idempotent: asks dpkg first. Build: CC=clang CXX=clang++ cmake -DOSTREL_FUZZ=ON -DOSTREL_SANITIZE=ON ...
set -euo pipefail
packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
