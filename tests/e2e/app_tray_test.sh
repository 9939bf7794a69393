#!/usr/bin/env bash
# The tray icon: it is added (the refresh timer retries while the shell's tray
# is not there yet) and comes back within five seconds after the shell lost it;
# the mouse on the icon opens the tray menu or, double-clicked, the settings sheet.
. "$(dirname "$0")/app_lib.sh"

start_tamrik
icons=0
for _ in $(seq 1 60); do
    icons=$(wintool tray-icons)
    [ "$icons" -ge 1 ] && break
    sleep 0.25
done
[ "$icons" -ge 1 ] || fail "no tray icon after start-up"
pass "the tray icon is there"

for round in 1 2; do
    wintool tray-delete "$MAIN_CAPTION" 201 || fail "the shell did not know the icon (round $round)"
    [ "$(wintool tray-icons)" -eq 0 ] || fail "the icon did not go away (round $round)"
    start=$(date +%s.%N)
    back=0
    for _ in $(seq 1 35); do
        sleep 0.2
        if [ "$(wintool tray-icons)" -ge 1 ]; then back=1; break; fi
    done
    elapsed=$(awk -v a="$(date +%s.%N)" -v b="$start" 'BEGIN { printf "%.2f", a - b }')
    [ "$back" -eq 1 ] || fail "the icon did not come back (round $round)"
    # The refresh period is 5 s; allow for the time the probes themselves take.
    awk -v e="$elapsed" 'BEGIN { exit !(e <= 6.5) }' || fail "the icon came back only after $elapsed s"
    pass "the icon came back after $elapsed s (round $round)"
done

# Mouse on the icon: a right click opens the tray menu, a double click runs its
# first item, the settings sheet. The icon sits at the left of the stand-alone tray.
wintool wait-no-class TamrikSplashWnd 10 || true
tray=$(xdotool search --onlyvisible --name "Wine System Tray" | head -1)
[ -n "$tray" ] || fail "no visible Wine System Tray window"
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + 8)) $((Y + 8)) click 3
wintool wait-class "#32768" 5 || fail "a right click on the icon opened no menu"
xdotool key Escape
wintool wait-no-class "#32768" 5 || fail "Escape did not close the tray menu"
pass "a right click opens the tray menu"

backup=$WORK/settings-before-sheet
rm -rf "$backup"
if [ -d "$SETTINGS_DIR" ]; then cp -a "$SETTINGS_DIR" "$backup"; fi
dialogs=$(wintool count-class "#32770")
xdotool mousemove $((X + 8)) $((Y + 8)) click --repeat 2 --delay 80 1
for _ in $(seq 1 40); do [ "$(wintool count-class "#32770")" -gt "$dialogs" ] && break; sleep 0.25; done
[ "$(wintool count-class "#32770")" -gt "$dialogs" ] || fail "a double click on the icon opened no settings sheet"
wintool post-class "#32770" 2 || fail "could not cancel the settings sheet"
for _ in $(seq 1 20); do [ "$(wintool count-class "#32770")" -le "$dialogs" ] && break; sleep 0.25; done
[ "$(wintool count-class "#32770")" -le "$dialogs" ] || fail "Cancel did not close the settings sheet"
if [ -d "$backup" ]; then
    diff -r "$backup" "$SETTINGS_DIR" >/dev/null || fail "cancelling the sheet changed the settings"
else
    [ ! -f "$SETTINGS_FILE" ] || fail "cancelling the sheet wrote a settings file"
fi
pass "a double click opens the settings sheet; Cancel leaves the settings alone"

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit ended the program with code $rc"
