#!/usr/bin/env bash
# Runs the sound layer's fuzz target (container length readers, then open and decode) under
# ASan+UBSan for SECONDS (default 300), seeded with tiny files of every container made by
# ffmpeg. Builds into build-fuzz.
# Usage: scripts/run-sound-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-300}"
. scripts/fuzz-build.sh fuzz_sound_decode
work="$(mktemp -d)"
mkdir -p "$work/corpus"
while IFS=: read -r ext args; do
  # shellcheck disable=SC2086
  ffmpeg -nostdin -v error -y -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.15" $args "$work/corpus/seed.$ext"
done <<'LIST'
mp3:-c:a libmp3lame -b:a 32k
mp2:-c:a mp2 -b:a 64k
wav:-c:a pcm_s16le
ogg:-c:a libvorbis
wma:-c:a wmav2 -b:a 32k
flac:-c:a flac
aiff:-c:a pcm_s16be
aac:-c:a aac -b:a 32k -f adts
m4a:-c:a aac -b:a 32k
opus:-c:a libopus -b:a 32k
mp4:-c:a alac
LIST
cd "$work"
"$OLDPWD/build-fuzz/platform/sound/fuzz/fuzz_sound_decode" -max_total_time="$secs" -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 corpus
echo "corpus and findings in $work"
