#!/usr/bin/env bash
# The tray menu's settings commands, sent to the hidden main dialog: Initialize
# (cancelled, then confirmed), the switch to detail and back to easy mode, and
# the settings-busy guard while the About box is open.
. "$(dirname "$0")/app_lib.sh"

value_of() {  # section key
    settings_text | awk -v s="[$1]" -v k="$2" '$0 == s {in_s = 1; next} /^\[/ {in_s = 0} in_s && index($0, k "=") == 1 {print substr($0, length(k) + 2)}'
}
saved_mode_is() { [ "$(value_of ORBILUXSettings simpleMode)" = "$1" ]; }  # TRUE or FALSE
question() {  # caption answer(1 OK, 2 Cancel)
    wintool wait-visible "$1" 10 || fail "no question \"$1\""
    wintool post "$1" "$2" || fail "could not answer \"$1\""
    wintool wait-gone "$1" 5 || fail "the question \"$1\" stayed"
}

write_settings "[ORBILUXSettings.key_]
keyAction=2
printVirtualKeyCode_=112
keyKind=1
[ORBILUXSettings]
simpleMode=FALSE"
cp "$SETTINGS_FILE" "$WORK/original.ini"
start_tamrik
wintool wait-no-class TamrikSplashWnd 10 || true

# Initialize, cancelled: nothing changes, nothing is written.
wintool post "$MAIN_CAPTION" 32785
question "Default Setting" 2
sleep 0.5
cmp -s "$SETTINGS_FILE" "$WORK/original.ini" || fail "a cancelled Initialize wrote the settings file"
pass "a cancelled Initialize changes nothing"

# Initialize, confirmed: the file holds the defaults, easy mode included.
wintool post "$MAIN_CAPTION" 32785
question "Default Setting" 1
wait_until 5 saved_mode_is TRUE || fail "after Initialize simpleMode is $(value_of ORBILUXSettings simpleMode)"
[ "$(value_of ORBILUXSettings.key_ keyAction)" = 0 ] || fail "after Initialize keyAction is not 0"
[ "$(value_of ORBILUXSettings.key_ printVirtualKeyCode_)" = 44 ] || fail "after Initialize the print key is not 44"
[ "$(value_of ORBILUXSettings.format_ fontFace)" = "MS UI Gothic" ] || fail "after Initialize the font is not MS UI Gothic"
pass "Initialize writes the defaults"

# Detail mode: the toggle saves the whole record with simpleMode FALSE.
wintool post "$MAIN_CAPTION" 32783
wait_until 5 saved_mode_is FALSE || fail "the detail switch did not save simpleMode FALSE"
pass "the switch to detail mode saves simpleMode FALSE"

# Easy mode asks first; cancelled it keeps the detail mode.
wintool post "$MAIN_CAPTION" 32784
question "Easy Setting" 2
sleep 0.5
saved_mode_is FALSE || fail "a cancelled easy switch changed the mode"
wintool post "$MAIN_CAPTION" 32784
question "Easy Setting" 1
wait_until 5 saved_mode_is TRUE || fail "the easy switch did not save simpleMode TRUE"
[ "$(value_of ORBILUXSettings.key_ keyKind)" = 0 ] || fail "the easy switch did not reset keyKind"
[ "$(value_of ORBILUXSettings.format_ fontSize)" = 11 ] || fail "the easy switch did not set the font size 11"
pass "the switch to easy mode asks, then saves the easy values"

# While the About box is open the other settings commands wait for nothing:
# Setting is ignored and Initialize asks no question.
wintool post "$MAIN_CAPTION" 57664
wintool wait-visible "About" 10 || fail "no About box"
dialogs=$(wintool count-class "#32770")
wintool post "$MAIN_CAPTION" 57601
wintool post "$MAIN_CAPTION" 32785
sleep 1.5
[ "$(wintool count-class "#32770")" -eq "$dialogs" ] || fail "a settings command opened a window while About was open"
wintool post "About" 1
wintool wait-gone "About" 5 || fail "OK did not close the About box"
pass "while About is open, Setting and Initialize do nothing"

exit_tamrik
