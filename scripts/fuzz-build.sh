#!/usr/bin/env bash
# Builds the named libFuzzer targets with clang under ASan+UBSan into build-fuzz/ (installing
# clang first when missing). Sourced by the run-*-fuzz.sh scripts, from the repository root.
# Usage: . scripts/fuzz-build.sh TARGET...
scripts/install-fuzz-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DOSTREL_FUZZ=ON -DOSTREL_SANITIZE=ON \
  -DOSTREL_TESTS=OFF -DOSTREL_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "$@"
