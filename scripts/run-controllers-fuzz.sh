#!/usr/bin/env bash
# Runs the controller fuzz targets under ASan+UBSan, each for SECONDS (default 300): the
# definition-file loaders (the MIDI definition loader of both controllers and the keyboard map
# loader), the HID definition rows with an input report decoded through them into the dispatcher,
# and the HID report descriptor parser. Seeded with small files of every row kind, a dictionary of
# their element names and keywords, and the boot keyboard and mouse descriptors. Builds into
# build-fuzz.
# Usage: scripts/run-controllers-fuzz.sh [SECONDS] [TARGET...]
#        TARGET: fuzz_definitionfile fuzz_hiddefinition fuzz_reportdescriptor (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-300}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_definitionfile fuzz_hiddefinition fuzz_reportdescriptor)
. scripts/fuzz-build.sh "${targets[@]}"
work="$(mktemp -d)"
mkdir -p "$work/corpus" "$work/hid" "$work/descriptors"
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
{
  echo '<DATAPACKET>'
  row INPUT 9 144 BTNPLAYA 127 0 0 0 ""
  row INPUT 309 144 BTNPLAYB 63 0 0 0 ""
  row INPUT 3 176 POTJOGA 127 64 1 127 CtrlI
  row INPUT 4 176 POTVOLUMENA 127 60 100 20 Ctrl
  row OUTPUT 305 0 SHEADPHONESB 1 0 0 0 ""
  row OUTPUT 12 0 SPLAYA 1 0 0 0 ""
  row CONFIG 0 0 B0011 0 0 0 0 ""
  row CONFIG 0 0 L01 0 0 0 0 ""
  row CONFIG 0 0 M04051 0 0 0 0 ""
  row CONFIG 0 0 +0506 0 0 0 0 ""
  row CONFIG 0 0 S07 0 0 0 0 ""
  row CONFIG 0 0 X0203 128 64 10 250 ""
  row CONFIG 0 0 CHARDISPLAY 0 0 0 0 ""
  row MODO 0 0 SINGLE 0 0 0 0 ""
  row SPACES 0 0 "" 5 0 0 0 ""
  row NOSCROLL 0 0 "" 1 0 0 0 ""
  row DTEXTOA 1 16 "" 1 0 0 0 ""
  row DBPMA 2 3 "" 0 0 0 0 ""
  row SUMAR 3 0 "" 0 0 0 0 7
  row FIXED 40 9 "" 0 0 0 0 ""
  row FIXEDB 41 0 "" 0 0 0 0 ""
  row CADENAINI 0 0 B001FF 0 0 0 0 ""
  echo '</DATAPACKET>'
} > "$work/hid/deck.xml"
cat >> "$work/dict" <<'DICT'
"CONFIG"
"B0011"
"L01"
"M0405"
"+0506"
"S07"
"X0203"
"CARGAB"
"SPACES"
"NOSCROLL"
"DTEXTOB"
"DSELECTORA"
"DPITCHSIGNAMAS"
"DMINATOT"
"SUMAR"
"FIXED"
"FIXEDA"
"FIXTEXTO"
"CADENAINI"
"CADENATEXTO"
"SHEADPHONESB"
"309"
"520"
"521"
DICT
# HID 1.11 appendix B: the boot keyboard and mouse; and a controller with report IDs, Push, Pop
# and a long item
printf '\x05\x01\x09\x06\xa1\x01\x05\x07\x19\xe0\x29\xe7\x15\x00\x25\x01\x75\x01\x95\x08\x81\x02\x95\x01\x75\x08\x81\x01\x95\x05\x75\x01\x05\x08\x19\x01\x29\x05\x91\x02\x95\x01\x75\x03\x91\x01\x95\x06\x75\x08\x15\x00\x25\x65\x05\x07\x19\x00\x29\x65\x81\x00\xc0' > "$work/descriptors/keyboard"
printf '\x05\x01\x09\x02\xa1\x01\x09\x01\xa1\x00\x05\x09\x19\x01\x29\x03\x15\x00\x25\x01\x95\x03\x75\x01\x81\x02\x95\x01\x75\x05\x81\x01\x05\x01\x09\x30\x09\x31\x15\x81\x25\x7f\x75\x08\x95\x02\x81\x06\xc0\xc0' > "$work/descriptors/mouse"
printf '\x06\x00\xff\x09\x01\xa1\x01\x85\x01\x75\x08\x95\x08\x81\x02\xa4\x85\x02\x95\x14\x81\x02\xb4\x81\x02\x85\x03\x95\x20\x91\x02\xfe\x02\x00\xaa\xbb\xc0' > "$work/descriptors/controller"
cd "$work"
for t in "${targets[@]}"; do
  case "$t" in
    fuzz_definitionfile) bin="$OLDPWD/build-fuzz/controllers/$t"; seeds=corpus; opts=(-max_len=16384 -dict=dict) ;;
    fuzz_hiddefinition) bin="$OLDPWD/build-fuzz/controllers/$t"; seeds=hid; opts=(-max_len=16384 -dict=dict) ;;
    fuzz_reportdescriptor) bin="$OLDPWD/build-fuzz/platform/hid/$t"; seeds=descriptors; opts=(-max_len=4096) ;;
    *) echo "unknown target $t" >&2; exit 2 ;;
  esac
  echo "== $t"
  "$bin" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${opts[@]}" "$seeds"
done
echo "corpus and findings in $work"
