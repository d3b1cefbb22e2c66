#!/usr/bin/env bash
# Runs the tempo analyser's and the /proc/stat reader's fuzz targets under ASan+UBSan for
# SECONDS each (default 120). Builds into build-fuzz.
# Usage: scripts/run-bpm-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-120}"
. scripts/fuzz-build.sh fuzz_tempoanalyser fuzz_proccpustat
work="$(mktemp -d)"
mkdir -p "$work/tempo" "$work/stat"
printf 'cpu  1 2 3 4 5 6 7 8 9 10\ncpu0 1 2 3 4\nintr 5\n' > "$work/stat/seed"
build-fuzz/platform/bpm/fuzz_tempoanalyser -max_total_time="$secs" -max_len=200000 -len_control=0 -timeout=20 \
  -rss_limit_mb=4096 -print_final_stats=1 "$work/tempo"
build-fuzz/platform/sys/fuzz_proccpustat -max_total_time="$secs" -max_len=4096 -timeout=10 \
  -print_final_stats=1 "$work/stat"
echo "corpora and findings in $work"
