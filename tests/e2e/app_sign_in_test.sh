#!/usr/bin/env bash
# Start at sign-in: the settings sheet's box adds the program's Run value (the
# quoted path of the running program) with OK, Cancel leaves the registry as it
# was, the box shows what the registry says, unchecking removes the value, and
# Initialize removes it too.
. "$(dirname "$0")/app_lib.sh"

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
VALUE='Tamrik Screen Print'
BOX=1087  # the easy page's start-at-sign-in box

run_value() {
    wine reg query "$RUN_KEY" /v "$VALUE" 2>/dev/null | tr -d '\r' |
        awk -v n="$VALUE" 'index($0, n) { sub(/.*REG_SZ[ \t]*/, ""); print }'
}
remove_value() { wine reg delete "$RUN_KEY" /v "$VALUE" /f >/dev/null 2>&1 || true; }
sign_in_cleanup() {
    remove_value
    cleanup
}
trap sign_in_cleanup EXIT
remove_value

open_sheet() {
    wintool post "$MAIN_CAPTION" 57601 || fail "could not send Settings"
    wait_sheet || fail "the settings sheet did not open"
}
no_run_value() { [ -z "$(run_value)" ]; }
box() { wintool checked-class "#32770" $BOX; }

write_settings "[ORBILUXSettings]
simpleMode=TRUE"
start_tamrik
wintool wait-no-class TamrikSplashWnd 10 || true
expected="\"$(winepath -w "$TAMRIK_EXE")\""

open_sheet
[ "$(box)" = 0 ] || fail "the box is checked with no Run value"
wintool click-class "#32770" $BOX
close_sheet 2
[ -z "$(run_value)" ] || fail "Cancel added the Run value"
pass "Cancel leaves the Run key alone"

open_sheet
wintool click-class "#32770" $BOX
close_sheet 1
value=$(run_value)
[ "$value" = "$expected" ] || fail "the Run value is [$value], not [$expected]"
pass "OK adds the Run value $value"

open_sheet
[ "$(box)" = 1 ] || fail "the box does not show the Run value"
wintool click-class "#32770" $BOX
close_sheet 2
[ "$(run_value)" = "$expected" ] || fail "Cancel removed the Run value"
open_sheet
wintool click-class "#32770" $BOX
close_sheet 1
[ -z "$(run_value)" ] || fail "unchecking and OK left the Run value"
pass "the box shows the Run value; unchecking removes it with OK only"

# A value written by someone else shows too, and Initialize removes it.
wine reg add "$RUN_KEY" /v "$VALUE" /t REG_SZ /d '"C:\elsewhere\tamrik.exe"' /f >/dev/null 2>&1
open_sheet
[ "$(box)" = 1 ] || fail "the box does not show a value written from outside"
close_sheet 2
wintool post "$MAIN_CAPTION" 32785
wintool wait-visible "Default Setting" 10 || fail "Initialize asked nothing"
wintool post "Default Setting" 1
wintool wait-gone "Default Setting" 5 || fail "the question stayed"
wait_until 5 no_run_value || fail "Initialize left the Run value"
pass "Initialize removes the Run value"

exit_tamrik
