#!/usr/bin/env bash
# The tray icon: it is added (the refresh timer retries while the shell's tray
# is not there yet) and comes back within five seconds after the shell lost it.
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

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit ended the program with code $rc"
