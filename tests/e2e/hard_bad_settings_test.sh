#!/usr/bin/env bash
# The real program started with the worst settings files: random bytes, every
# enumeration out of range, a base folder that is a file, and band sizes, font
# size and templates beyond any page. Each time it must come up, answer Print
# Screen, and leave complete files (and a whole PDF) or none.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikHard
RANDOM_BYTES=$TAMRIK_SOURCE_DIR/tests/data/hard/random_bytes.bin

# The file is one whole picture of the kind its name says.
complete_picture() {
    local f=$1 size
    size=$(stat -c %s "$f")
    case "$f" in
    *.bmp)
        [ "$(head -c 2 "$f")" = BM ] || return 1
        [ "$(od -An -tu4 -j2 -N4 "$f" | tr -d ' ')" = "$size" ] ;;
    *.png)
        [ "$(head -c 8 "$f" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 1
        [ "$(tail -c 8 "$f" | head -c 4)" = IEND ] ;;
    *.jpg)
        [ "$(head -c 2 "$f" | od -An -tx1 | tr -d ' \n')" = ffd8 ] || return 1
        [ "$(tail -c 2 "$f" | od -An -tx1 | tr -d ' \n')" = ffd9 ] ;;
    *) return 1 ;;
    esac
}

# The program is alive: its hidden main dialog is there and the process runs.
still_running() {
    kill -0 "$TAMRIK_PID" 2>/dev/null || fail "tamrik.exe is gone: $*"
    wintool wait "$MAIN_CAPTION" 5 || fail "the main dialog is gone: $*"
}

start_focus_window

# --- random bytes, then the two sections that ask for files ---------------------
mkdir -p "$SETTINGS_DIR"
{
    cat "$RANDOM_BYTES"
    printf '\r\n[ORBILUXSettings.key_]\r\nkeyAction=1\r\n'
    printf '[ORBILUXSettings.output_]\r\nbaseDirName=C:\\TamrikHard\r\nnPictureFormat=0\r\n'
} >"$SETTINGS_FILE"
begin_case
xdotool key Print
wait_files 1 || fail "with random bytes in the settings Print Screen wrote no file"
sleep 2
still_running "after random bytes"
mapfile -t files < <(output_files)
[ "${#files[@]}" -eq 1 ] || fail "expected one picture, found: ${files[*]}"
complete_picture "${files[0]}" || fail "$(basename "${files[0]}") is not a complete BMP"
pass "random bytes in the settings: the program runs and writes $(basename "${files[0]}")"

# --- every enumeration out of range, keyAction 1 ---------------------------------
write_settings "[ORBILUXSettings.general_]
bDisplaySplash_=TRUE
screenTarget=7
[ORBILUXSettings.key_]
keyAction=1
keyKind=5
logType=9
[ORBILUXSettings.output_]
baseDirName=C:\\TamrikHard
printMode=12
nPictureFormat=1
bpp=17
scale=100000"
begin_case
xdotool key Print
wait_files 2 || fail "out-of-range settings wrote $(output_files | wc -l) files, not a picture and a report"
sleep 2
still_running "after out-of-range settings"
png=$(output_files | grep '\.png$' | head -1)
txt=$(output_files | grep '\.txt$' | head -1)
[ -n "$png" ] && [ -n "$txt" ] || fail "expected a PNG and a report: $(output_files)"
complete_picture "$png" || fail "$(basename "$png") is not a complete PNG"
[ -z "$(output_files | grep '/~')" ] || fail "a temporary file was left: $(output_files)"
screen_w=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
png_w=$(identify -format '%w' "$png")
[ "$png_w" -eq $((screen_w * 150 / 100)) ] || fail "scale 100000 gave width $png_w for a screen $screen_w wide"
pass "out-of-range enumerations: whole desktop at 150 % in $(basename "$png") and the report"

# --- a base folder that is a file: nothing, then mended, a file -----------------
write_press_settings key_.logType=1 output_.bDateDir=TRUE
begin_case
printf 'not a folder' >"$BASE_UNIX"
xdotool key Print
sleep 6
still_running "after a press with a file as the base folder"
[ -f "$BASE_UNIX" ] && [ "$(cat "$BASE_UNIX")" = "not a folder" ] || fail "the file in the folder's place changed"
[ -z "$(find "$WINEPREFIX/drive_c" -maxdepth 1 -name 'TamrikHard?*' -print -quit)" ] ||
    fail "something was written beside the file"
rm -f "$BASE_UNIX"
mkdir -p "$BASE_UNIX"
press
wait_files 2 || fail "once the folder was there Print Screen wrote $(output_files | wc -l) files"
sleep 2
jpg=$(output_files | grep '\.jpg$' | head -1)
[ -n "$jpg" ] || fail "no JPEG after the folder was mended: $(output_files)"
complete_picture "$jpg" || fail "$(basename "$jpg") is not a complete JPEG"
pass "a file as base folder writes nothing; a folder in its place gets $(basename "$jpg")"

# --- printing with band sizes, font size and a template beyond any page ----------
long_line=$(printf '$window|\\B$page%.0s' $(seq 1 700))
write_settings "[ORBILUXSettings.printer_]
enableHead=TRUE
enableFoot=TRUE
lineHeightHead=2147483647
marginHead=-2147483648
lineHeightFoot=-2147483648
marginFoot=2147483647
[ORBILUXSettings.format_]
fontSize=4000000000
[ORBILUXSettings.format_.headStrings]
Count=2
Item.0=$long_line
Item.1=\\B\\I\\U\\L\\R\\C\\|$\\
[ORBILUXSettings.format_.footStrings]
Count=4294967295
Item.0=$long_line
[ORBILUXSettings.key_]
keyAction=2
[ORBILUXSettings.output_]
baseDirName=C:\\TamrikHard
nPictureFormat=1
[ORBILUXSettings]
simpleMode=FALSE"
begin_case
before=$(pdf_count)
xdotool key Print
wait_files 1 || fail "printing settings beyond any page: no picture file"
pdf=
for _ in $(seq 1 120); do
    if [ "$(pdf_count)" -gt "$before" ]; then
        pdf=$(ls -t "$PDF_DIR"/*.pdf | head -1)
        pdfinfo "$pdf" >/dev/null 2>&1 && break
    fi
    sleep 0.5
done
[ -n "$pdf" ] || fail "printing settings beyond any page: no PDF"
pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || fail "the PDF has $pages pages, not 1"
still_running "after printing with settings beyond any page"
png=$(output_files | grep '\.png$' | head -1)
complete_picture "$png" || fail "$(basename "$png") is not a complete PNG"
pass "band sizes, font size and template beyond any page: $(basename "$png") and a one-page PDF"

exit_tamrik
rm -rf "$BASE_UNIX"
