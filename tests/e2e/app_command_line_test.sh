#!/usr/bin/env bash
# The command line for scripts: /help and unknown options with their exit codes
# and usage text; /exit with no copy running; /print starting the program and
# capturing once it is ready; /shot, /print, /settings, an unknown option and
# no option against the running copy; a command refused while the sheet is
# open; /exit ending the running copy; /settings starting the program.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikCmdE2E
rm -rf "$BASE_UNIX"
write_press_settings output_.nPictureFormat=1 output_.scale=25

# Runs tamrik.exe with the arguments; RC and OUT (both output streams) afterwards.
run() {
    set +e
    OUT=$(wine "$TAMRIK_EXE" "$@" 2>&1 </dev/null | tr -d '\r')
    RC=${PIPESTATUS[0]}
    set -e
}
expect_rc() {  # code what
    [ "$RC" = "$1" ] || fail "$2: exit code $RC, not $1 (output: $OUT)"
}
# /exit (in the form given) is delivered with 0, and the running copy ends
# with 1, as after the tray's Exit.
exit_by_command_line() {
    local rc=0
    run "$1"
    expect_rc 0 "$1 against the running copy"
    wait "$TAMRIK_PID" || rc=$?
    TAMRIK_PID=
    [ "$rc" = 1 ] || fail "the running copy ended with $rc after $1, not 1 as after the tray's Exit"
}
copies() { wintool list | grep -c "caption=\[$MAIN_CAPTION\]" || true; }
pictures() { find "$BASE_UNIX" -name '*.png' 2>/dev/null | wc -l; }
more_pictures_than() { [ "$(pictures)" -gt "$1" ]; }
wait_pictures() { wait_until 20 more_pictures_than "$1"; }  # more than N

# ---- No copy running ----
wintool wait-gone "$MAIN_CAPTION" 5 || fail "a copy of the program was already running"
for form in /help -? --HELP /Help; do
    run "$form"
    expect_rc 0 "$form"
    case "$OUT" in *"Usage: tamrik.exe"*) ;; *) fail "$form printed no usage: $OUT" ;; esac
done
[ "$(copies)" = 0 ] || fail "/help started the program"
pass "/help, -?, --HELP and /Help print the usage and exit with 0"

run /nonsense
expect_rc 2 "an unknown option"
case "$OUT" in *'"/nonsense"'*"Usage:"*) ;; *) fail "an unknown option was not named with the usage: $OUT" ;; esac
run /print /shot
expect_rc 2 "two options"
run /exit
expect_rc 1 "/exit with no copy running"
[ "$(copies)" = 0 ] || fail "an option that failed started the program"
pass "an unknown option and two options exit with 2, /exit with no copy with 1; nothing starts"

# /print starts the program and captures once it is ready (key action: file).
start_tamrik /PRINT
wait_pictures 0 || fail "/print with no copy running captured nothing"
pass "/print with no copy running starts the program and captures ($(pictures) picture)"

# ---- Against the running copy ----
before=$(pictures)
run -shot
expect_rc 0 "-shot against the running copy"
wait_pictures "$before" || fail "-shot was delivered but nothing was captured"
before=$(pictures)
run --print
expect_rc 0 "--print against the running copy"
wait_pictures "$before" || fail "--print was delivered but nothing was captured"
pass "-shot and --print are delivered (exit 0) and capture ($(pictures) pictures)"

run
expect_rc 0 "no option with a copy running"
run /bogus
expect_rc 2 "an unknown option with a copy running"
sleep 0.5
[ "$(copies)" = 1 ] || fail "$(copies) copies run after a start without an option"
kill -0 "$TAMRIK_PID" || fail "the running copy ended"
pass "no option ends silently with 0, an unknown one with 2; the running copy stays alone"

run /settings
expect_rc 0 "/settings against the running copy"
wait_sheet || fail "/settings opened no settings sheet"
before=$(pictures)
run /shot
expect_rc 1 "/shot while the settings sheet is open"
run /exit
expect_rc 1 "/exit while the settings sheet is open"
run /settings
expect_rc 0 "/settings while the sheet is open"
sleep 1
[ "$(pictures)" = "$before" ] || fail "a capture ran while the settings sheet was open"
[ "$(sheet_count)" = 1 ] || fail "a second /settings opened a second sheet"
close_sheet 2
pass "/settings opens the sheet; while it is open /shot and /exit are refused with 1"

exit_by_command_line /EXIT
wintool wait-gone "$MAIN_CAPTION" 5 || fail "the main dialog stayed after /exit"
pass "/exit is delivered (exit 0) and the running copy ends"

# /settings with no copy running starts the program with its sheet open.
start_tamrik --settings
wait_sheet || fail "/settings with no copy running opened no sheet"
close_sheet 2
exit_by_command_line /exit
pass "/settings with no copy running starts the program with the sheet open"
rm -rf "$BASE_UNIX"
