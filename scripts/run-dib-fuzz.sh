#!/usr/bin/env bash
# Runs the stored-image loader's fuzz target under ASan+UBSan for SECONDS (default 300),
# seeded with stored images and Windows bitmaps of every pixel format. Builds into build-fuzz.
# Usage: scripts/run-dib-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-300}"
. scripts/fuzz-build.sh fuzz_dibload fuzz_dibseeds
work="$(mktemp -d)"
mkdir -p "$work/corpus"
build-fuzz/engine/dib/fuzz_dibseeds "$work/corpus"
cd "$work"
"$OLDPWD/build-fuzz/engine/dib/fuzz_dibload" -max_total_time="$secs" -max_len=8192 -timeout=10 \
  -rss_limit_mb=4096 -print_final_stats=1 corpus
echo "corpus and findings in $work"
