#!/usr/bin/env bash
# A press whose files cannot be written (a plain file stands where the base
# folder should be) shows one balloon at the tray icon naming the folder and
# the reason, leaves no file behind, and still prints. Once the folder can be
# made, the next press writes its files and shows no balloon. The balloon is
# kept as a screenshot in build/windows/e2e-shots for a person to look at.
. "$(dirname "$0")/app_lib.sh"

BASE_UNIX=$WINEPREFIX/drive_c/TamrikNotice
PDF_DIR=${TAMRIK_PDF_DIR:?the test environment sets TAMRIK_PDF_DIR}
SHOTS=$TAMRIK_BUILD_DIR/e2e-shots
mkdir -p "$SHOTS"

write_settings "[ORBILUXSettings.general_]
bDisplaySplash_=FALSE
screenTarget=0
[ORBILUXSettings.key_]
keyAction=2
logType=1
bEnableShotKey_=TRUE
[ORBILUXSettings.output_]
baseDirName=C:\\TamrikNotice
bDateDir=TRUE
nPictureFormat=2
bpp=3
scale=100
[ORBILUXSettings.extras_]
notifyAfterSave=FALSE
[ORBILUXSettings]
simpleMode=TRUE"

new_pdfs() { find "$PDF_DIR" -maxdepth 1 -name '*.pdf' -newer "$1" 2>/dev/null | sort; }
wait_pdf() {  # mark: a new PDF that opens
    for _ in $(seq 1 120); do
        for f in $(new_pdfs "$1"); do
            pdfinfo "$f" >/dev/null 2>&1 && return 0
        done
        sleep 0.5
    done
    return 1
}
leftovers() {
    find "$WINEPREFIX/drive_c" -maxdepth 3 \( -name '~*.tmp' -o -name 'MN*.jpg' -o -name 'MN*.txt' \) 2>/dev/null |
        grep -v '/windows/' || true
}

rm -rf "$BASE_UNIX"
echo blocker >"$BASE_UNIX"
before=$(leftovers)
touch "$WORK/mark1"
sleep 1
start_focus_window
start_tamrik
for _ in $(seq 1 40); do [ "$(wintool tray-icons)" -ge 1 ] && break; sleep 0.25; done
[ "$(wintool balloon-count)" -eq 0 ] || fail "a balloon before any press"

focus_window
xdotool key Print
text=$(wintool wait-balloon 20) || fail "the blocked press showed no balloon"
import -window root "$SHOTS/save-failure-balloon.png" 2>/dev/null || true
echo "balloon: $text"
case "$text" in *'C:\TamrikNotice\2'*) ;; *) fail "the balloon does not name the date folder: $text" ;; esac
case "$text" in *"A file of the same name"*) ;; *) fail "the balloon does not give the reason: $text" ;; esac
[ "$(wintool balloon-count)" -eq 1 ] || fail "more than one balloon for one press"
pass "blocked press: one balloon naming the folder and the reason"

wait_pdf "$WORK/mark1" || fail "the blocked press did not print"
pass "the blocked press still printed"
[ "$(cat "$BASE_UNIX")" = blocker ] || fail "the blocking file was changed"
[ "$(leftovers)" = "$before" ] || fail "the blocked press left files: $(leftovers)"
pass "nothing written, nothing left behind"

# The folder can be made again: files, a print, and no balloon.
rm -f "$BASE_UNIX"
for _ in $(seq 1 80); do [ "$(wintool balloon-count)" -eq 0 ] && break; sleep 0.5; done
[ "$(wintool balloon-count)" -eq 0 ] || fail "the balloon never closed"
touch "$WORK/mark2"
sleep 1
focus_window
xdotool key Print
wait_pdf "$WORK/mark2" || fail "the second press did not print"
for _ in $(seq 1 20); do [ "$(find "$BASE_UNIX" -name 'MN*.txt' | wc -l)" -ge 1 ] && break; sleep 0.5; done
jpgs=$(find "$BASE_UNIX" -name 'MN*.jpg' | wc -l)
txts=$(find "$BASE_UNIX" -name 'MN*.txt' | wc -l)
[ "$jpgs" -eq 1 ] && [ "$txts" -eq 1 ] || fail "the second press wrote $jpgs pictures and $txts reports"
if wintool wait-balloon 4 >/dev/null; then fail "a balloon after a press that wrote its files"; fi
pass "after the fault clears: picture, report and print, no balloon"

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit gave $rc"
rm -rf "$BASE_UNIX"
pass "Exit gives 1"
