#!/usr/bin/env bash
# Runs the controller definition-file fuzz target (the MIDI definition loader of both controllers
# and the keyboard map loader) under ASan+UBSan for SECONDS (default 300), seeded with small
# definition files of every row kind and a dictionary of their element names and keywords.
# Builds into build-fuzz.
# Usage: scripts/run-controllers-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-300}"
. scripts/fuzz-build.sh fuzz_definitionfile
work="$(mktemp -d)"
mkdir -p "$work/corpus"
row() {  # group midino chan key sensitivity range rangelo rangeup miditype
  printf '<ROW><control_group>%s</control_group><control_midino>%s</control_midino><midichan>%s</midichan>' "$1" "$2" "$3"
  printf '<control_key>%s</control_key><sensitivity>%s</sensitivity><range>%s</range>' "$4" "$5" "$6"
  printf '<rangelo>%s</rangelo><rangeup>%s</rangeup><miditype>%s</miditype></ROW>\n' "$7" "$8" "$9"
}
{
  echo '<?xml version="1.0" encoding="UTF-8"?><DATAPACKET>'
  row INPUT 60 144 BTNPLAYA 127 0 0 0 ""
  row INPUT 7 176 POTVOLUMENA 127 64 1 127 CtrlI
  row INPUT 301 176 POTCROSSFADER 127 0 0 0 Ctrl
  row INPUT 224 224 POTPITCHA 127 0 255 255 Ctrl
  row INPUT 5 192 BTNLOADA 63 0 0 0 ""
  row OUTPUT 60 144 SPLAYA 127 0 0 0 ""
  row OUTPUT 61 144 "" 1 0 0 0 ""
  echo '</DATAPACKET>'
} > "$work/corpus/midi.xml"
{
  echo '<root><x/>'
  row POTJOGAADJUST 0 0 "" 3 0 0 0 ""
  row VALORBENDB 0 0 "" 8 0 0 0 ""
  row DELCHANNEL 0 0 "" 176 0 0 0 ""
  row LEDS 0 0 ON 0 0 0 0 ""
  row MODO 0 0 SINGLE 0 0 0 0 ""
  row CONFIG 0 0 CHARDISPLAY 0 0 0 0 ""
  row DTEXTOA 3 0 B0013C7F9000 0 0 0 0 Double
  row DBPMA 5 0 "" 0 0 0 0 Single
  row POTJOGBNOLIST 0 0 "" 0 0 0 0 ""
  echo '</root>'
} > "$work/corpus/options.xml"
{
  echo '<DATAPACKET>'
  row INPUT 32 144 BTNPLAYA 127 0 0 0 ""
  row INPUT 162 144 BTNSHIFTA 127 0 0 0 ""
  row INPUT 300 144 BTNCUEA 127 0 0 0 ""
  echo '</DATAPACKET>'
} > "$work/corpus/teclado.key"
cat > "$work/dict" <<'DICT'
"<ROW>"
"</ROW>"
"<control_midino>"
"</control_midino>"
"<control_group>"
"</control_group>"
"<midichan>"
"</midichan>"
"<control_key>"
"</control_key>"
"<sensitivity>"
"</sensitivity>"
"<range>"
"<rangelo>"
"<rangeup>"
"<miditype>"
"INPUT"
"OUTPUT"
"DTEXTOA"
"Double"
"Single"
"CtrlI"
"Ctrl"
"MODO"
"SINGLE"
"CARGAA"
"LEDS"
"CONFIG"
"CHARDISPLAY"
"DELCHANNEL"
"VALORBENDA"
"POTJOGAADJUST"
"DBPMA"
"DMSECB"
"144"
"176"
"224"
"248"
"301"
"65535"
"2147483647"
"<![CDATA["
"]]>"
"&#48;"
DICT
cd "$work"
"$OLDPWD/build-fuzz/controllers/fuzz_definitionfile" -max_total_time="$secs" -max_len=16384 -timeout=10 \
  -rss_limit_mb=2048 -dict=dict -print_final_stats=1 corpus
echo "corpus and findings in $work"
