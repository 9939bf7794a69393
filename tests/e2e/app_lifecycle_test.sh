#!/usr/bin/env bash
# Start-up and end of the program: the first start creates the settings folder
# and writes no file, a second copy ends at once with code 0 and no splash
# while the first runs on, and the Exit command ends the program with code 1.
. "$(dirname "$0")/app_lib.sh"

# First start with no settings folder.
rm -rf "$SETTINGS_DIR"
start_tamrik
for _ in $(seq 1 50); do [ -d "$SETTINGS_DIR" ] && break; sleep 0.1; done
[ -d "$SETTINGS_DIR" ] || fail "the settings folder was not created"
[ -z "$(ls -A "$SETTINGS_DIR")" ] || fail "the first start wrote into the settings folder: $(ls "$SETTINGS_DIR")"
pass "first start creates the settings folder and writes no file"

# The start-up splash closes by itself after about three seconds.
wintool wait-no-class TamrikSplashWnd 8 || fail "the start-up splash did not close by itself"
pass "the start-up splash closed by itself"

# A second copy: exit code 0, no splash, the first one unaffected.
wine "$TAMRIK_EXE" >"$WORK/second.log" 2>&1 &
second=$!
splashes=0
while kill -0 "$second" 2>/dev/null; do
    n=$(wintool count-class TamrikSplashWnd)
    [ "$n" -gt "$splashes" ] && splashes=$n
done
rc=0
wait "$second" || rc=$?
[ "$rc" -eq 0 ] || fail "the second copy ended with code $rc"
[ "$splashes" -eq 0 ] || fail "the second copy showed a splash"
kill -0 "$TAMRIK_PID" 2>/dev/null || fail "the first copy did not survive the second start"
wintool wait "$MAIN_CAPTION" 1 || fail "the first copy's main dialog is gone"
pass "a second copy ends with code 0 and leaves the first running"

# Exit from the tray menu's command.
rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit ended the program with code $rc, not 1"
wintool wait-gone "$MAIN_CAPTION" 5 || fail "the main dialog is still there after Exit"
[ -z "$(ls -A "$SETTINGS_DIR")" ] || fail "Exit saved settings: $(ls "$SETTINGS_DIR")"
pass "Exit ends the program with code 1 and saves nothing"
