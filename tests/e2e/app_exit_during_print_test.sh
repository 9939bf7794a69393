#!/usr/bin/env bash
# Exit while a print run is still in the spooler: the tray icon goes at once,
# a copy started right after Exit runs (the single-instance lock is free), and
# the document still finishes in the background and comes out as a PDF.
# The run is made long by a spooler command that waits before handing the
# document to CUPS (Wine's port-to-command mapping), so the overlap is certain.
. "$(dirname "$0")/app_lib.sh"

QUEUE=${TAMRIK_PRINTER:?the test environment sets TAMRIK_PRINTER}
SPOOLER_KEY='HKCU\Software\Wine\Printing\Spooler'
HOLD=12  # seconds the spooler holds each document

slow_spooler_off() { wine reg delete "$SPOOLER_KEY" /v "CUPS:$QUEUE" /f >/dev/null 2>&1 || true; }
SECOND_PID=
finish() {
    slow_spooler_off
    if [ -n "$SECOND_PID" ] && kill -0 "$SECOND_PID" 2>/dev/null; then
        wintool post "$MAIN_CAPTION" 57665 >/dev/null 2>&1 || true
        sleep 1
        kill "$SECOND_PID" 2>/dev/null || true
    fi
    cleanup
}
trap finish EXIT
wine reg add "$SPOOLER_KEY" /v "CUPS:$QUEUE" /d "|sleep $HOLD; lp -d $QUEUE" /f >/dev/null 2>&1 ||
    fail "the spooler command could not be set"

write_press_settings key_.keyAction=0

pdf_mark mark
start_focus_window
start_tamrik
first=$TAMRIK_PID
press
# The document has reached the spooler once its command runs.
for _ in $(seq 1 100); do pgrep -f "sleep $HOLD; lp -d $QUEUE" >/dev/null && break; sleep 0.1; done
pgrep -f "sleep $HOLD; lp -d $QUEUE" >/dev/null || fail "the print run did not reach the spooler"
[ "$(wintool tray-icons)" -ge 1 ] || fail "no tray icon before Exit"

wintool post "$MAIN_CAPTION" 57665 || fail "Exit could not be sent"
t0=$(date +%s%N)
wintool wait-gone "$MAIN_CAPTION" 5 || fail "the main dialog is still there after Exit"
for _ in $(seq 1 20); do [ "$(wintool tray-icons)" -eq 0 ] && break; sleep 0.05; done
[ "$(wintool tray-icons)" -eq 0 ] || fail "the tray icon is still shown after Exit"
pass "Exit removed the tray icon at once"

# A second copy, started right away, runs.
wine "$TAMRIK_EXE" >"$WORK/second.log" 2>&1 &
SECOND_PID=$!
wintool wait "$MAIN_CAPTION" 30 || fail "the copy started right after Exit shows no main dialog"
t1=$(date +%s%N)
sleep 2
kill -0 "$SECOND_PID" 2>/dev/null || fail "the copy started right after Exit ended (code $(wait "$SECOND_PID"; echo $?))"
kill -0 "$first" 2>/dev/null || fail "the first copy ended before the second started: no overlap was tested"
pass "a copy started during the first one's last print runs ($(((t1 - t0) / 1000000)) ms from Exit to its dialog)"

# The first copy's document still comes out, and the copy then ends with 1.
rc=0
wait "$first" || rc=$?
[ "$rc" -eq 1 ] || fail "the first copy ended with $rc after Exit"
pdf=$(wait_new_pdf "$WORK/mark" 30) || fail "the document printing at Exit never came out"
pass "the document printing at Exit finished in the background: $(basename "$pdf")"

TAMRIK_PID=$SECOND_PID
SECOND_PID=
exit_tamrik "the second copy's Exit"
