#!/usr/bin/env bash
# Hotkey presses from outside: Print Screen with each key action, the sequence
# numbers of two presses in one half minute, the shot key and its override,
# a shot key switched off, and the tray menu's hotkey item.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikE2E

settings_with() {  # keyAction logType nPictureFormat
    write_press_settings general_.bDisplaySplash_=TRUE "general_.screenTarget=${SCREEN_TARGET:-0}" \
        "key_.keyAction=$1" "key_.logType=$2" "key_.bEnableShotKey_=${SHOT_KEY:-TRUE}" "output_.nPictureFormat=$3"
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
pdf_mark mark0
xdotool key Print
pdf=$(wait_new_pdf "$WORK/mark0" 60) || fail "Print Screen with keyAction 0 made no PDF"
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
press
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
pdf_mark mark2
xdotool key Print
pdf=$(wait_new_pdf "$WORK/mark2" 60) || fail "Print Screen with keyAction 2 made no PDF"
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
exit_tamrik
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
sleep 1  # the posted command has been handled
press
xdotool key ctrl+alt+Print
sleep 5
[ -z "$(output_files)" ] || fail "a key worked while the hotkeys were switched off"
wintool post "$MAIN_CAPTION" 32775
sleep 1  # the posted command has been handled
press
wait_files 1 || fail "Print Screen did nothing after the hotkeys were switched on again"
pass "the hotkey item switches both keys off and on again"

exit_tamrik
rm -rf "$BASE_UNIX"
