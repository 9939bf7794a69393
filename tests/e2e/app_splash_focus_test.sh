#!/usr/bin/env bash
# Starting the program while another application is active: that application
# stays the foreground window; only the splash (topmost, never activated) and
# the tray icon appear.
. "$(dirname "$0")/app_lib.sh"

start_focus_window
before=$(wintool foreground)
case "$before" in *focus.txt*) ;; *) fail "the focus window is not in the foreground: $before" ;; esac

wine "$TAMRIK_EXE" >"$WORK/tamrik.log" 2>&1 &
TAMRIK_PID=$!
wintool wait-class TamrikSplashWnd 30 || fail "no start-up splash"
for _ in 1 2 3 4 5; do
    now=$(wintool foreground)
    if [ "$now" != "$before" ]; then
        wintool foreground x >&2 || true
        wintool list | grep -v "class=\[IME\]" >&2 || true
        fail "the foreground moved to $now while the splash showed"
    fi
    sleep 0.3
done
wintool wait "$MAIN_CAPTION" 10 || fail "no main dialog"
wintool wait-no-class TamrikSplashWnd 8 || fail "the splash did not close"
now=$(wintool foreground)
[ "$now" = "$before" ] || fail "after start-up the foreground is $now"
pass "the splash never took the foreground from $before"

# The X side agrees: the focus window still has the keyboard focus.
[ "$(xdotool getwindowfocus 2>/dev/null)" = "$FOCUS_XID" ] || echo "note: X focus moved (no window manager)"

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit ended the program with code $rc"
