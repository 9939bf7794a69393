#!/usr/bin/env bash
# Print runs that overlap other work. Two presses in quick succession, the
# second while the first run is still printing: each press that was taken
# gives one whole picture file and one PDF of one page that renders. Exit sent
# while a run prints: the program ends with 1 and every PDF that comes out opens.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikE2E
QUEUE=${TAMRIK_PRINTER:?the test environment sets TAMRIK_PRINTER}

settings_with() { write_press_settings "key_.keyAction=$1" "key_.logType=$2"; }
queue_jobs() { lpstat -o "$QUEUE" 2>/dev/null | wc -l; }

# The new PDFs and the files with their sizes; fails while the queue holds jobs.
print_state() {  # mark
    (new_pdfs "$1" | xargs -r stat -c '%n %s'; output_files | xargs -r stat -c '%n %s') | md5sum
    [ "$(queue_jobs)" -eq 0 ]
}
# Waits until the queue is empty and the new PDFs and files stop changing.
wait_settled() { wait_still 3 60 print_state "$1"; }  # mark

start_focus_window

# --- a capture while a print run is going -----------------------------------------
settings_with 2 0
rm -rf "$BASE_UNIX"
pdf_mark mark1
start_tamrik
press
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
exit_tamrik
pass "two quick presses (keyAction 2): ${#pdfs[@]} PDFs of one page that render, $jpgs whole JPEGs"

# --- Exit while a print run is going ----------------------------------------------
settings_with 0 2
pdf_mark mark2
start_tamrik
press
sleep 0.3
exit_tamrik "Exit during a print run"
wait_settled "$WORK/mark2" || fail "the PDFs did not settle after Exit"
count=0
for pdf in $(new_pdfs "$WORK/mark2"); do
    pdfinfo "$pdf" >/dev/null 2>&1 || fail "a half-written PDF after Exit: $pdf"
    count=$((count + 1))
done
pass "Exit during a print run gives 1; $count PDF(s) came out and open"
rm -rf "$BASE_UNIX"
