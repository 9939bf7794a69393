#!/usr/bin/env bash
# The chosen printer cannot be opened at start-up (offline, or gone for now):
# a print run comes out on the default printer, and a later save of the
# settings still names the chosen printer, so it is used again once it opens.
. "$(dirname "$0")/app_lib.sh"

PDF_DIR=${TAMRIK_PDF_DIR:?the test environment sets TAMRIK_PDF_DIR}
CHOSEN="Tamrik Offline Printer"

write_settings "[ORBILUXSettings.general_]
bDisplaySplash_=FALSE
screenTarget=0
[ORBILUXSettings.key_]
keyAction=0
logType=0
[ORBILUXSettings.printer_]
bSetPrinter_=TRUE
printername_=$CHOSEN
[ORBILUXSettings]
simpleMode=TRUE"

# The settings file as UTF-8 text, whichever encoding the program kept.
settings_text() {
    if [ "$(head -c 2 "$SETTINGS_FILE" | od -An -tx1 | tr -d ' ')" = fffe ]; then
        iconv -f UTF-16LE -t UTF-8 "$SETTINGS_FILE" | tr -d '\r'
    else
        tr -d '\r' <"$SETTINGS_FILE"
    fi
}
new_pdfs() { find "$PDF_DIR" -maxdepth 1 -name '*.pdf' -newer "$WORK/mark" 2>/dev/null; }
touch "$WORK/mark"
sleep 1
start_focus_window
start_tamrik
focus_window
xdotool key Print
pdf=
for _ in $(seq 1 120); do
    pdf=$(new_pdfs | head -1)
    [ -n "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1 && break
    pdf=
    sleep 0.5
done
[ -n "$pdf" ] || fail "nothing came out on the default printer"
pass "the run printed on the default printer meanwhile: $(basename "$pdf")"

# Switching to the detail mode saves the whole record.
wintool post "$MAIN_CAPTION" 32783
for _ in $(seq 1 40); do settings_text | grep -q '^simpleMode=FALSE' && break; sleep 0.25; done
text=$(settings_text)
grep -q '^simpleMode=FALSE' <<<"$text" || fail "the mode switch did not save the settings"
grep -q "^printername_=$CHOSEN\$" <<<"$text" ||
    fail "the save replaced the chosen printer: $(grep '^printername_' <<<"$text")"
grep -q '^bSetPrinter_=TRUE' <<<"$text" || fail "the choice is no longer marked"
pass "the saved settings still name '$CHOSEN'"

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit gave $rc"
