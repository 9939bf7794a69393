#!/usr/bin/env bash
# `make demo`: shows one print and one shot under Wine, in the test
# environment (private display, cups-pdf printer). It builds nothing:
# build/windows/tamrik.exe must exist.
#
# The program starts with settings that print with a header and a footer and
# also write PNG files with a report (keyAction 2, nPictureFormat 1, logType 1).
# A Notepad window gets the focus, Print Screen is pressed, then the shot key
# (Alt+Ctrl+Print Screen). The PDF, a PNG of its first page, the image files
# and the reports are copied into build/demo/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe=$top/build/windows/tamrik.exe
out=$top/build/demo
[ -f "$exe" ] || { echo "demo: $exe is missing (make windows builds it)" >&2; exit 1; }

if [ -z "${TAMRIK_TESTENV:-}" ]; then
    exec bash "$top/scripts/testenv.sh" run -- bash "$0" "$@"
fi

export WINEDEBUG=${WINEDEBUG:--all}
say() { echo "demo: $*"; }

caption="ORBILUX Screen Print "
appdata=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming
settings_dir=$appdata/Tamrik
settings_file=$settings_dir/PrintSettings.ini
pictures=$WINEPREFIX/drive_c/TamrikDemo
work=$(mktemp -d "${TMPDIR:-/tmp}/tamrik-demo.XXXXXX")
wintool=$top/build/windows/app_wintool.exe
tamrik_pid=
notepad_pid=

cleanup() {
    if [ -n "$tamrik_pid" ]; then kill "$tamrik_pid" 2>/dev/null || true; fi
    if [ -n "$notepad_pid" ]; then kill "$notepad_pid" 2>/dev/null || true; fi
    rm -rf "$settings_dir"
    if [ -d "$work/settings-backup" ]; then cp -a "$work/settings-backup" "$settings_dir"; fi
    rm -rf "$work"
}
trap cleanup EXIT

if [ ! -f "$wintool" ] || [ "$top/tests/e2e/app_wintool.c" -nt "$wintool" ]; then
    x86_64-w64-mingw32-gcc -O1 -municode -o "$wintool" "$top/tests/e2e/app_wintool.c" -lshell32 -luser32
fi
wt() { wine "$wintool" "$@" | tr -d '\r'; }

rm -rf "$out" "$pictures"
mkdir -p "$out"
if [ -d "$settings_dir" ]; then cp -a "$settings_dir" "$work/settings-backup"; fi
mkdir -p "$settings_dir"
sed 's/$/\r/' >"$settings_file" <<'INI'
[ORBILUXSettings.general_]
bDisplaySplash_=TRUE
screenTarget=0
[ORBILUXSettings.printer_]
enableHead=TRUE
enableFoot=TRUE
[ORBILUXSettings.format_]
fontFace=MS UI Gothic
fontSize=11
[ORBILUXSettings.format_.headStrings]
Count=2
Item.0=\BTamrik Screen Print demo|\R$date $time
Item.1=$computer / $user|\R$program
[ORBILUXSettings.format_.footStrings]
Count=1
Item.0=$window|\C$page / $maxpage
[ORBILUXSettings.key_]
keyAction=2
logType=1
[ORBILUXSettings.output_]
baseDirName=C:\TamrikDemo
nPictureFormat=1
bpp=3
scale=100
[ORBILUXSettings]
simpleMode=TRUE
INI
say "settings: $settings_file"

pdfs_before=$(ls "$TAMRIK_PDF_DIR" 2>/dev/null | wc -l)

say "starting $exe"
wine "$exe" >"$work/tamrik.log" 2>&1 &
tamrik_pid=$!
wt wait "$caption" 30 || { say "the program did not start"; exit 1; }
wt wait-no-class TamrikSplashWnd 10 || true

say "opening Notepad with some text and giving it the focus"
cat >"$work/notes.txt" <<'TXT'
Tamrik Screen Print demo

Print Screen prints this screen with a header and a footer
and saves it as a PNG file with a computer report.
Alt+Ctrl+Print Screen saves the whole desktop with a full report.
TXT
wine notepad "$(winepath -w "$work/notes.txt")" >/dev/null 2>&1 &
notepad_pid=$!
xid=
for _ in $(seq 1 100); do
    xid=$(xdotool search --onlyvisible --name "notes.txt" 2>/dev/null | head -1 || true)
    [ -n "$xid" ] && break
    sleep 0.2
done
[ -n "$xid" ] || { say "Notepad did not appear"; exit 1; }
focus() {
    xdotool windowactivate "$xid" 2>/dev/null || true
    xdotool windowfocus --sync "$xid" 2>/dev/null || true
    sleep 0.5
}
focus

say "pressing Print Screen"
xdotool key Print
# The PDF appears when the spooler has finished the job.
pdf=
for _ in $(seq 1 120); do
    if [ "$(ls "$TAMRIK_PDF_DIR" 2>/dev/null | wc -l)" -gt "$pdfs_before" ]; then
        pdf=$(ls -t "$TAMRIK_PDF_DIR"/*.pdf 2>/dev/null | head -1)
        # wait until cups-pdf has finished writing it
        sleep 1
        break
    fi
    sleep 0.5
done
sleep 2

say "pressing Alt+Ctrl+Print Screen (the shot key)"
focus
files_before=$(find "$pictures" -type f 2>/dev/null | wc -l)
xdotool key ctrl+alt+Print
for _ in $(seq 1 60); do
    [ "$(find "$pictures" -type f 2>/dev/null | wc -l)" -gt "$files_before" ] && break
    sleep 0.5
done
sleep 2

say "stopping"
wt post "$caption" 57665 || true
wait "$tamrik_pid" 2>/dev/null || true
tamrik_pid=
kill "$notepad_pid" 2>/dev/null || true
notepad_pid=

echo
if [ -n "$pdf" ] && [ -f "$pdf" ]; then
    cp "$pdf" "$out/print.pdf"
    pdftoppm -r 50 -png -f 1 -l 1 "$out/print.pdf" "$out/print-page" >/dev/null 2>&1 || true
    say "PDF:        $out/print.pdf ($(pdfinfo "$out/print.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}') pages; from $pdf)"
    for png in "$out"/print-page*.png; do [ -f "$png" ] && say "first page: $png"; done
else
    say "no PDF arrived in $TAMRIK_PDF_DIR"
fi
if [ -d "$pictures" ]; then
    mkdir -p "$out/files"
    find "$pictures" -type f | sort | while read -r f; do
        cp "$f" "$out/files/"
        say "file:       $out/files/$(basename "$f") (written to C:${f#"$WINEPREFIX/drive_c"})"
    done
else
    say "no image files were written under $pictures"
fi
