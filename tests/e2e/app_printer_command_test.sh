#!/usr/bin/env bash
# The tray menu's printer command: cancelled it writes nothing; confirmed it
# saves the printer group alone and leaves every other section as it was.
. "$(dirname "$0")/app_lib.sh"

utf16_settings() {  # writes the INI text as UTF-16LE with a byte-order mark, as the program keeps it
    mkdir -p "$SETTINGS_DIR"
    { printf '\xff\xfe'; printf '%s\n' "$1" | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$SETTINGS_FILE"
}
# The file's sections other than the printer group, as text.
other_sections() {
    iconv -f UTF-16LE -t UTF-8 "$SETTINGS_FILE" | tr -d '\r' | sed '1s/^\xef\xbb\xbf//' |
        awk '/^\[/ {skip = ($0 == "[ORBILUXSettings.printer_]")} !skip'
}

utf16_settings "[ORBILUXSettings.general_]
bDisplaySplash_=FALSE
screenTarget=2
[ORBILUXSettings.format_]
fontFace=MS UI Gothic
fontSize=14
[ORBILUXSettings.format_.headStrings]
Count=1
Item.0=ヘッダ \$date
[ORBILUXSettings.key_]
keyAction=1
[ORBILUXSettings]
simpleMode=FALSE"
cp "$SETTINGS_FILE" "$WORK/before.ini"
other_sections >"$WORK/before.txt"
start_tamrik
wintool wait-no-class TamrikSplashWnd 10 || true

wintool post "$MAIN_CAPTION" 32777
wintool wait-visible "Print Setup" 10 || fail "the printer command showed no print set-up dialog"
wintool post "Print Setup" 2
wintool wait-gone "Print Setup" 5 || fail "Cancel did not close the dialog"
sleep 0.5
cmp -s "$SETTINGS_FILE" "$WORK/before.ini" || fail "a cancelled printer dialog wrote the settings file"
pass "a cancelled printer dialog writes nothing"

wintool post "$MAIN_CAPTION" 32777
wintool wait-visible "Print Setup" 10 || fail "no print set-up dialog the second time"
wintool post "Print Setup" 1
wintool wait-gone "Print Setup" 5 || fail "OK did not close the dialog"
for _ in $(seq 1 20); do cmp -s "$SETTINGS_FILE" "$WORK/before.ini" || break; sleep 0.25; done
text=$(iconv -f UTF-16LE -t UTF-8 "$SETTINGS_FILE" | tr -d '\r')
grep -q '^\[ORBILUXSettings.printer_\]' <<<"$text" || fail "no printer section after OK"
grep -q '^bSetPrinter_=TRUE' <<<"$text" || fail "the confirmed printer is not marked as chosen"
grep -q "^printername_=${TAMRIK_PRINTER:-TamrikPDF}" <<<"$text" || fail "the printer name is not stored"
other_sections >"$WORK/after.txt"
diff -u "$WORK/before.txt" "$WORK/after.txt" >&2 || fail "the printer command changed other sections"
pass "a confirmed printer dialog saves the printer group alone"

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit gave $rc"
