#!/usr/bin/env bash
# A press whose files cannot be written (a plain file stands where the base
# folder should be) shows one balloon at the tray icon naming the folder and
# the reason, leaves no file behind, and still prints. Once the folder can be
# made, the next press writes its files and shows no balloon. The balloon is
# kept as a screenshot in build/windows/e2e-shots for a person to look at.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikNotice
SHOTS=$TAMRIK_BUILD_DIR/e2e-shots
mkdir -p "$SHOTS"

write_press_settings key_.keyAction=2 key_.logType=1 output_.bDateDir=TRUE extras_.notifyAfterSave=FALSE

leftovers() {
    find "$WINEPREFIX/drive_c" -maxdepth 3 \( -name '~*.tmp' -o -name 'MN*.jpg' -o -name 'MN*.txt' \) 2>/dev/null |
        grep -v '/windows/' || true
}

rm -rf "$BASE_UNIX"
echo blocker >"$BASE_UNIX"
before=$(leftovers)
pdf_mark mark1
start_focus_window
start_tamrik
wait_until 10 tray_icon_shown || true
no_balloon || fail "a balloon before any press"

press
text=$(wintool wait-balloon 20) || fail "the blocked press showed no balloon"
import -window root "$SHOTS/save-failure-balloon.png" 2>/dev/null || true
echo "balloon: $text"
case "$text" in *'C:\TamrikNotice\2'*) ;; *) fail "the balloon does not name the date folder: $text" ;; esac
case "$text" in *"A file of the same name"*) ;; *) fail "the balloon does not give the reason: $text" ;; esac
[ "$(wintool balloon-count)" -eq 1 ] || fail "more than one balloon for one press"
pass "blocked press: one balloon naming the folder and the reason"

wait_new_pdf "$WORK/mark1" 60 >/dev/null || fail "the blocked press did not print"
pass "the blocked press still printed"
[ "$(cat "$BASE_UNIX")" = blocker ] || fail "the blocking file was changed"
[ "$(leftovers)" = "$before" ] || fail "the blocked press left files: $(leftovers)"
pass "nothing written, nothing left behind"

# The folder can be made again: files, a print, and no balloon.
rm -f "$BASE_UNIX"
wait_until 40 no_balloon || fail "the balloon never closed"
pdf_mark mark2
press
wait_new_pdf "$WORK/mark2" 60 >/dev/null || fail "the second press did not print"
for _ in $(seq 1 20); do [ "$(find "$BASE_UNIX" -name 'MN*.txt' | wc -l)" -ge 1 ] && break; sleep 0.5; done
jpgs=$(find "$BASE_UNIX" -name 'MN*.jpg' | wc -l)
txts=$(find "$BASE_UNIX" -name 'MN*.txt' | wc -l)
[ "$jpgs" -eq 1 ] && [ "$txts" -eq 1 ] || fail "the second press wrote $jpgs pictures and $txts reports"
if wintool wait-balloon 4 >/dev/null; then fail "a balloon after a press that wrote its files"; fi
pass "after the fault clears: picture, report and print, no balloon"

exit_tamrik
rm -rf "$BASE_UNIX"
pass "Exit gives 1"
