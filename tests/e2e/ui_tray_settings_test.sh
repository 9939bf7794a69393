#!/usr/bin/env bash
# The settings command of the running program opens the sheet "設定": Cancel
# writes nothing; OK (Tab from the tree to OK, then Enter) writes the whole
# record to the settings file, and the program goes on running.
. "$(dirname "$0")/app_lib.sh"

SHEET="設定"
rm -rf "$SETTINGS_DIR"
start_tamrik
wintool wait-no-class TamrikSplashWnd 8 || true

# Cancel: the sheet closes and no file appears.
wintool post "$MAIN_CAPTION" 57601 || fail "the settings command could not be sent"
wintool wait-visible "$SHEET" 15 || fail "the settings sheet did not open"
wintool post "$SHEET" 2 || fail "Cancel could not be sent"
wintool wait-gone "$SHEET" 10 || fail "Cancel did not close the sheet"
[ ! -f "$SETTINGS_FILE" ] || fail "Cancel wrote the settings file"
pass "Cancel closes the sheet and writes nothing"

# OK from the keyboard: Tab leaves the tree for the OK button.
wintool post "$MAIN_CAPTION" 57601 || fail "the settings command could not be sent again"
wintool wait-visible "$SHEET" 15 || fail "the settings sheet did not open again"
sleep 1
sheet_x=$(xdotool search --name "^$SHEET\$" | head -1)
[ -n "$sheet_x" ] && xdotool windowfocus --sync "$sheet_x" 2>/dev/null || true
# An OK posted while another control has the focus is only an Enter for that control.
wintool post "$SHEET" 1
sleep 0.5
wintool wait "$SHEET" 1 || fail "an OK command away from the OK button closed the sheet"
xdotool key Tab
sleep 0.3
xdotool key Return
wintool wait-gone "$SHEET" 10 || fail "Enter on the OK button did not close the sheet"
for _ in $(seq 1 30); do [ -f "$SETTINGS_FILE" ] && break; sleep 0.1; done
[ -f "$SETTINGS_FILE" ] || fail "OK did not write the settings file"
text=$(iconv -f UTF-16LE -t UTF-8 "$SETTINGS_FILE" 2>/dev/null || cat "$SETTINGS_FILE")
for key in simpleMode screenTarget printVirtualKeyCode_ fontFace nPictureFormat; do
    grep -q "$key=" <<<"$text" || fail "the saved file has no $key"
done
pass "OK saves the whole record"
kill -0 "$TAMRIK_PID" 2>/dev/null || fail "the program ended with the sheet"
wintool wait "$MAIN_CAPTION" 1 || fail "the main dialog is gone"
pass "the program runs on after the sheet"
echo "1 passed, 0 failed"
