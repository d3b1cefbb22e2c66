#!/usr/bin/env bash
# Runs the skin engine's two fuzz targets under ASan+UBSan for SECONDS each (default 300):
# the graphics pack reader and the skin description reader, seeded with packs and skin files
# of our own. Builds into build-fuzz.
# Usage: scripts/run-skin-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-300}"
. scripts/fuzz-build.sh fuzz_vspack fuzz_vsini fuzz_vsseeds
work="$(mktemp -d)"
mkdir -p "$work/packs" "$work/skins" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
build-fuzz/snkins/vs/fuzz_vsseeds "$work/packs" "$work/skins"
cd "$work"
# Qt keeps a few objects for the process's life: leaks are not what these targets look for.
# A smaller quarantine keeps the widget target several times faster (freed blocks are still
# caught while they are recent).
export ASAN_OPTIONS="detect_leaks=0:quarantine_size_mb=32${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
"$OLDPWD/build-fuzz/snkins/vs/fuzz_vspack" -max_total_time="$secs" -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 packs
"$OLDPWD/build-fuzz/snkins/vs/fuzz_vsini" -max_total_time="$secs" -max_len=2048 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -dict="$OLDPWD/snkins/vs/fuzz_vsini.dict" skins
echo "corpora and findings in $work"
