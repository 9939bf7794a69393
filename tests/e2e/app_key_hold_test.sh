#!/usr/bin/env bash
# One action per physical press: Print Screen held down for 2 s (the keyboard
# repeats it all the while) writes one picture; two separate presses 0.5 s
# apart still write two, and three quick taps three; the shot key held down
# writes one picture and report.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikHold
write_press_settings

pictures() { find "$BASE_UNIX" -type f -name '*.jpg' 2>/dev/null | wc -l; }

# Waits until the number of pictures has stayed the same for 3 s (at most 60 s)
# and prints it.
settled_pictures() {
    wait_still 3 60 pictures || true
    pictures
}

rm -rf "$BASE_UNIX"
start_focus_window
start_tamrik
wintool wait-no-class TamrikSplashWnd 10 || true
focus_window

xdotool keydown Print
sleep 2
xdotool keyup Print
held=$(settled_pictures)
echo "pictures from a 2 s hold: $held"
[ "$held" -eq 1 ] || fail "holding Print Screen for 2 s wrote $held pictures, not 1"
pass "a 2 s hold of Print Screen writes one picture"

press
sleep 0.5
xdotool key Print
both=$(settled_pictures)
[ "$both" -eq 3 ] || fail "two presses 0.5 s apart wrote $((both - 1)) pictures, not 2"
pass "two presses 0.5 s apart write two pictures"

# Quick taps, each one sooner than the keyboard could repeat: every one is a
# press, even while the program is still busy reading the screen of the last.
focus_window
xdotool key --delay 50 Print Print Print
taps=$(settled_pictures)
[ "$taps" -eq 6 ] || fail "three quick taps wrote $((taps - 3)) pictures, not 3"
pass "three quick taps write three pictures"

# The shot key held down: one picture and one report.
focus_window
xdotool keydown ctrl+alt+Print
sleep 2
xdotool keyup ctrl+alt+Print
shots=$(settled_pictures)
reports=$(find "$BASE_UNIX" -type f -name '*.txt' | wc -l)
[ "$shots" -eq 7 ] && [ "$reports" -eq 1 ] ||
    fail "holding the shot key for 2 s wrote $((shots - 6)) pictures and $reports reports, not 1 and 1"
pass "a 2 s hold of the shot key writes one picture and one report"

exit_tamrik
rm -rf "$BASE_UNIX"
