#!/usr/bin/env bash
# Hotkey presses from outside: Print Screen with each key action, the sequence
# numbers of two presses in one half minute, the shot key and its override,
# a shot key switched off, and the tray menu's hotkey item.
. "$(dirname "$0")/app_lib.sh"

BASE_UNIX=$WINEPREFIX/drive_c/TamrikE2E
PDF_DIR=${TAMRIK_PDF_DIR:?the test environment sets TAMRIK_PDF_DIR}

settings_with() {  # keyAction logType nPictureFormat [extra INI lines]
    write_settings "[ORBILUXSettings.general_]
bDisplaySplash_=TRUE
screenTarget=${SCREEN_TARGET:-0}
[ORBILUXSettings.key_]
keyAction=$1
logType=$2
bEnableShotKey_=${SHOT_KEY:-TRUE}
[ORBILUXSettings.output_]
baseDirName=C:\\TamrikE2E
nPictureFormat=$3
bpp=3
scale=100
[ORBILUXSettings]
simpleMode=TRUE"
}

pdf_count() { find "$PDF_DIR" -maxdepth 1 -name '*.pdf' 2>/dev/null | wc -l; }
output_files() { find "$BASE_UNIX" -type f 2>/dev/null | sort; }

# Waits for a new PDF after $1 PDFs and prints its path once it stops growing.
wait_new_pdf() {
    local before=$1 pdf= size=-1
    for _ in $(seq 1 120); do
        if [ "$(pdf_count)" -gt "$before" ]; then
            pdf=$(ls -t "$PDF_DIR"/*.pdf | head -1)
            local now
            now=$(stat -c %s "$pdf")
            [ "$now" = "$size" ] && [ "$now" -gt 0 ] && { echo "$pdf"; return 0; }
            size=$now
        fi
        sleep 0.5
    done
    return 1
}

wait_files() {  # count
    for _ in $(seq 1 60); do
        [ "$(output_files | wc -l)" -ge "$1" ] && return 0
        sleep 0.5
    done
    return 1
}

begin_case() {
    stop_tamrik >/dev/null 2>&1 || true
    rm -rf "$BASE_UNIX"
    start_tamrik
    wintool wait-no-class TamrikSplashWnd 10 || true
    focus_window
}

# Presses within one half minute: wait when the boundary is too near.
away_from_half_minute_boundary() {
    local s
    s=$(date +%S)
    s=$((10#$s % 30))
    if [ "$s" -gt 18 ]; then sleep $((31 - s)); fi
}

start_focus_window

# --- keyAction 0: one PDF of one page, no files -------------------------------
settings_with 0 0 2
begin_case
before=$(pdf_count)
xdotool key Print
pdf=$(wait_new_pdf "$before") || fail "Print Screen with keyAction 0 made no PDF"
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || fail "the PDF has $pages pages, not 1"
sleep 2
[ -z "$(output_files)" ] || fail "keyAction 0 wrote files: $(output_files)"
pass "keyAction 0 prints one page and writes no file"

# --- keyAction 1: files only; two presses give sequence 1 and 2 -----------------
settings_with 1 0 2
begin_case
before=$(pdf_count)
away_from_half_minute_boundary
xdotool key Print
wait_files 1 || fail "Print Screen with keyAction 1 wrote no file"
sleep 1
focus_window
xdotool key Print
wait_files 2 || fail "the second press wrote no file"
sleep 3
mapfile -t files < <(output_files)
[ "${#files[@]}" -eq 2 ] || fail "expected two files, found: ${files[*]}"
first=$(basename "${files[0]}")
second=$(basename "${files[1]}")
[[ "$first" =~ ^MN[0-9]{8}_00_[0-9a-f]{3}1\.jpg$ ]] || fail "first file is $first"
[[ "$second" =~ ^MN[0-9]{8}_00_[0-9a-f]{3}2\.jpg$ ]] || fail "second file is $second"
[ "${first%1.jpg}" = "${second%2.jpg}" ] || fail "the two presses fell into different half minutes: $first $second"
[ "$(pdf_count)" -eq "$before" ] || fail "keyAction 1 printed"
pass "keyAction 1 writes files only; two presses in one half minute: $first, $second"

# --- keyAction 2: the files first, then the PDF -------------------------------
settings_with 2 1 1
begin_case
before=$(pdf_count)
xdotool key Print
pdf=$(wait_new_pdf "$before") || fail "Print Screen with keyAction 2 made no PDF"
wait_files 2 || fail "keyAction 2 did not write the picture and the report"
png=$(output_files | grep '\.png$' | head -1)
txt=$(output_files | grep '\.txt$' | head -1)
[ -n "$png" ] && [ -n "$txt" ] || fail "expected a PNG and a report: $(output_files)"
[ "$(stat -c %Y "$png")" -le "$(stat -c %Y "$pdf")" ] || fail "the PDF is older than the picture file"
pass "keyAction 2 writes $(basename "$png") and the report, then prints"

# --- the shot key: whole desktop as JPEG with the full report, no printing ------
SCREEN_TARGET=2 settings_with 0 0 2
cp "$SETTINGS_FILE" "$WORK/settings-before.ini"
begin_case
before=$(pdf_count)
xdotool key ctrl+alt+Print
wait_files 2 || fail "the shot key wrote no files: $(output_files)"
sleep 4
jpg=$(output_files | grep '\.jpg$' | head -1)
txt=$(output_files | grep '\.txt$' | head -1)
[ -n "$jpg" ] || fail "the shot key wrote no JPEG: $(output_files)"
[ -n "$txt" ] || fail "the shot key wrote no report"
size=$(identify -format '%wx%h' "$jpg")
screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
[ "$size" = "$screen" ] || fail "the shot is $size, the desktop $screen"
report=$(iconv -f CP932 -t UTF-8 "$txt")
grep -q "| システムログ |" <<<"$report" || fail "the report lacks the system log heading"
grep -q "| アプリケーションログ |" <<<"$report" || fail "the report lacks the application log heading"
[ "$(pdf_count)" -eq "$before" ] || fail "the shot key printed"
rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit gave $rc"
cmp -s "$SETTINGS_FILE" "$WORK/settings-before.ini" || fail "the settings file changed"
pass "the shot key saves the whole desktop ($size) with both log headings, prints nothing, changes no setting"

# --- the shot key switched off ------------------------------------------------
SHOT_KEY=FALSE settings_with 0 0 2
begin_case
before=$(pdf_count)
xdotool key ctrl+alt+Print
sleep 6
[ -z "$(output_files)" ] || fail "a disabled shot key wrote files"
[ "$(pdf_count)" -eq "$before" ] || fail "a disabled shot key printed"
pass "bEnableShotKey_ FALSE: Alt+Ctrl+Print Screen does nothing"

# --- the tray menu's hotkey item: off, nothing happens; on again, it works -----
settings_with 1 0 2
begin_case
wintool post "$MAIN_CAPTION" 32775
sleep 0.5
focus_window
xdotool key Print
xdotool key ctrl+alt+Print
sleep 5
[ -z "$(output_files)" ] || fail "a key worked while the hotkeys were switched off"
wintool post "$MAIN_CAPTION" 32775
sleep 0.5
focus_window
xdotool key Print
wait_files 1 || fail "Print Screen did nothing after the hotkeys were switched on again"
pass "the hotkey item switches both keys off and on again"

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit gave $rc"
rm -rf "$BASE_UNIX"
