#!/usr/bin/env bash
# The chosen printer cannot be opened at start-up (offline, or gone for now):
# a print run comes out on the default printer, and a later save of the
# settings still names the chosen printer, so it is used again once it opens.
. "$(dirname "$0")/app_lib.sh"

CHOSEN="Tamrik Offline Printer"
write_press_settings key_.keyAction=0 printer_.bSetPrinter_=TRUE "printer_.printername_=$CHOSEN"

pdf_mark mark
start_focus_window
start_tamrik
press
pdf=$(wait_new_pdf "$WORK/mark" 60) || fail "nothing came out on the default printer"
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

exit_tamrik
