#!/usr/bin/env bash
# A print run of one picture page and two text pages on the cups-pdf default
# printer becomes one PDF "Tamrik prints the DESKTOP." with three pages, page
# numbers where the header asks for them, both bands and rules, window titles
# and program names with their ampersands, and the picture in its colour
# mode: printMode 3 prints the white screen black, printMode 0 leaves it
# white. The test driver is the PrintE2E case of win_tests.exe.
. "$(dirname "$0")/driver_lib.sh"
out=$build/print_e2e
mkdir -p "$out"

# Runs the driver for one print mode and prints the path of its PDF.
print_run() {
    local mode=$1 mark=PRINTE2E${1}X$$X$RANDOM
    run_driver 'PrintE2E.*' "$out/driver_$mode.log" TAMRIK_PRINT_E2E_MARK="$mark" TAMRIK_PRINT_E2E_MODE="$mode"
    pdf_with_mark "$mark" || fail "no PDF for printMode $mode (mark $mark)"
}

# Brightness 0..255 of the rendered page at a fraction of its width and height.
brightness() {
    /usr/bin/python3 -c '
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("L")
w, h = im.size
print(im.getpixel((int(w * float(sys.argv[2])), int(h * float(sys.argv[3])))))
' "$@"
}

check_run() {
    local mode=$1 pdf
    pdf=$(print_run "$mode")
    echo "print_job_test: printMode $mode -> $pdf"
    pdfinfo "$pdf" >"$out/info_$mode.txt"
    grep -q '^Title: *Tamrik prints the DESKTOP\.$' "$out/info_$mode.txt" || fail "title: $(grep Title "$out/info_$mode.txt")"
    grep -q '^Pages: *3$' "$out/info_$mode.txt" || fail "pages: $(grep Pages "$out/info_$mode.txt")"
    for n in 1 2 3; do
        pdftotext -f $n -l $n "$pdf" - | tr -s ' ' >"$out/page${n}_$mode.txt"
        grep -q "page $n / 3" "$out/page${n}_$mode.txt" || fail "page $n has no '$n / 3'"
        grep -q "FOOTER tester" "$out/page${n}_$mode.txt" || fail "page $n has no footer"
        grep -q "2024/05/06" "$out/page${n}_$mode.txt" || fail "page $n has no date"
        # A doubled ampersand in a band prints one.
        grep -q "Total & count" "$out/page${n}_$mode.txt" || fail "page $n: 'Total && count' did not print as 'Total & count'"
        # Token values print as they are: no "&" is taken for an underline marker.
        grep -q "\[Q&A - Notepad\]" "$out/page${n}_$mode.txt" ||
            fail "page $n: the window title 'Q&A - Notepad' printed as '$(grep -o '\[Q.*Notepad\]' "$out/page${n}_$mode.txt")'"
        grep -q "\[R&D.exe\]" "$out/page${n}_$mode.txt" || fail "page $n: the program 'R&D.exe' did not print as it is"
    done
    pdftoppm -r 50 -png -f 1 -l 1 "$pdf" "$out/page1_$mode"
    local png
    png=$(ls "$out"/page1_"$mode"*.png | head -1)
    # The screen's white right half, and the paper beside the picture.
    local screen paper
    screen=$(brightness "$png" 0.75 0.20)
    paper=$(brightness "$png" 0.03 0.20)
    echo "print_job_test: printMode $mode: screen white area -> $screen, paper margin -> $paper ($png)"
    [ "$paper" -gt 200 ] || fail "the margin is not blank"
    if [ "$mode" = 3 ]; then
        [ "$screen" -lt 60 ] || fail "printMode 3 did not print white as black"
    else
        [ "$screen" -gt 200 ] || fail "printMode 0 changed white"
    fi
}

check_run 3
check_run 0
echo "print_job_test: PASS"
