#!/usr/bin/env bash
# Runs the tag and MPEG reader fuzz targets (fuzz_tid3v2, fuzz_id3v2, fuzz_id3v1, fuzz_mpeginfo)
# under ASan+UBSan, SECONDS each (default 120), one after the other. Seeds: tags of every kind
# written by our own writers, and mp3 files with ID3v2.3 and 2.4 tags made by ffmpeg.
# Builds into build-fuzz.
# Usage: scripts/run-tag-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-120}"
targets=(fuzz_tid3v2 fuzz_id3v2 fuzz_id3v1 fuzz_mpeginfo)
. scripts/fuzz-build.sh "${targets[@]}" fuzz_tagseeds
work="$(mktemp -d)"
mkdir -p "$work/seeds"
build-fuzz/library/fuzz/fuzz_tagseeds "$work/seeds"
for v in 3 4; do
  ffmpeg -nostdin -v error -y -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.2" \
    -c:a libmp3lame -b:a 32k -id3v2_version "$v" -metadata title="Título ☂" -metadata artist="Артист" \
    -metadata genre="(17)" -metadata track="2/5" -metadata comment="c" "$work/seeds/ffmpeg$v.mp3"
done
status=0
for t in "${targets[@]}"; do
  mkdir -p "$work/$t"
  cp "$work"/seeds/* "$work/$t/"
  echo "== $t"
  (cd "$work" && "$OLDPWD/build-fuzz/library/fuzz/$t" -max_total_time="$secs" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/$t-" "$work/$t") || status=$?
done
echo "corpora and findings in $work"
exit $status
