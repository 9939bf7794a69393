#!/usr/bin/env bash
# Print runs that overlap other work. Two presses in quick succession, the
# second while the first run is still printing: each press that was taken
# gives one whole picture file and one PDF of one page that renders. Exit sent
# while a run prints: the program ends with 1 and every PDF that comes out opens.
. "$(dirname "$0")/app_lib.sh"

BASE_UNIX=$WINEPREFIX/drive_c/TamrikE2E
PDF_DIR=${TAMRIK_PDF_DIR:?the test environment sets TAMRIK_PDF_DIR}
QUEUE=${TAMRIK_PRINTER:?the test environment sets TAMRIK_PRINTER}

settings_with() {  # keyAction logType
    write_settings "[ORBILUXSettings.general_]
bDisplaySplash_=FALSE
screenTarget=0
[ORBILUXSettings.key_]
keyAction=$1
logType=$2
bEnableShotKey_=TRUE
[ORBILUXSettings.output_]
baseDirName=C:\\TamrikE2E
nPictureFormat=2
bpp=3
scale=100
[ORBILUXSettings]
simpleMode=TRUE"
}

output_files() { find "$BASE_UNIX" -type f 2>/dev/null | sort; }
new_pdfs() { find "$PDF_DIR" -maxdepth 1 -name '*.pdf' -newer "$1" 2>/dev/null | sort; }
queue_jobs() { lpstat -o "$QUEUE" 2>/dev/null | wc -l; }

# Waits until the queue is empty and the new PDFs and files stop changing.
wait_settled() {  # mark
    local last= now= still=0
    for _ in $(seq 1 120); do
        now=$( (new_pdfs "$1" | xargs -r stat -c '%n %s'; output_files | xargs -r stat -c '%n %s') | md5sum)
        if [ "$now" = "$last" ] && [ "$(queue_jobs)" -eq 0 ]; then
            still=$((still + 1))
            [ "$still" -ge 6 ] && return 0
        else
            still=0
        fi
        last=$now
        sleep 0.5
    done
    return 1
}

start_focus_window

# --- a capture while a print run is going -----------------------------------------
settings_with 2 0
rm -rf "$BASE_UNIX"
touch "$WORK/mark1"
sleep 1
start_tamrik
focus_window
xdotool key Print
sleep 0.7
xdotool key Print
sleep 3
wait_settled "$WORK/mark1" || fail "the PDFs did not settle"
mapfile -t pdfs < <(new_pdfs "$WORK/mark1")
jpgs=$(output_files | grep -c '\.jpg$' || true)
[ "${#pdfs[@]}" -ge 1 ] || fail "two presses printed nothing"
[ "${#pdfs[@]}" -eq "$jpgs" ] || fail "${#pdfs[@]} PDFs for $jpgs picture files"
n=0
for pdf in "${pdfs[@]}"; do
    n=$((n + 1))
    pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
    [ "$pages" = 1 ] || fail "$pdf has '$pages' pages, not 1"
    pdftoppm -r 20 -png -f 1 -l 1 "$pdf" "$WORK/render$n" || fail "page 1 of $pdf does not render"
    [ -s "$(ls "$WORK"/render$n*.png | head -1)" ] || fail "page 1 of $pdf rendered nothing"
done
for f in $(output_files); do
    case "$(basename "$f")" in ~* | *.tmp) fail "temporary file left: $f" ;; esac
    identify "$f" >/dev/null 2>&1 || fail "not a whole picture: $f"
done
rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit gave $rc"
pass "two quick presses (keyAction 2): ${#pdfs[@]} PDFs of one page that render, $jpgs whole JPEGs"

# --- Exit while a print run is going ----------------------------------------------
settings_with 0 2
touch "$WORK/mark2"
sleep 1
start_tamrik
focus_window
xdotool key Print
sleep 0.3
rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit during a print run gave $rc"
wait_settled "$WORK/mark2" || fail "the PDFs did not settle after Exit"
count=0
for pdf in $(new_pdfs "$WORK/mark2"); do
    pdfinfo "$pdf" >/dev/null 2>&1 || fail "a half-written PDF after Exit: $pdf"
    count=$((count + 1))
done
pass "Exit during a print run gives 1; $count PDF(s) came out and open"
rm -rf "$BASE_UNIX"
