#!/usr/bin/env bash
# Runs the bitmap list reader's fuzz target under ASan+UBSan for SECONDS (default 300), seeded
# with lists of pictures of every BMP depth and a few broken lists. Builds into build-fuzz.
# Usage: scripts/run-bitmaplist-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-300}"
. scripts/fuzz-build.sh fuzz_bitmaplist fuzz_bitmaplistseeds
work="$(mktemp -d)"
mkdir -p "$work/corpus"
build-fuzz/snkins/vr/fuzz_bitmaplistseeds "$work/corpus"
cd "$work"
QT_QPA_PLATFORM=offscreen "$OLDPWD/build-fuzz/snkins/vr/fuzz_bitmaplist" -max_total_time="$secs" -max_len=16384 \
  -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 corpus
echo "corpus and findings in $work"
