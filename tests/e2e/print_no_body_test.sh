#!/usr/bin/env bash
# A header gap that leaves the page no body, and a report with no room for one
# line: the run prints one page, its header and footer bands alone, with no
# picture turned inside out over the footer and no sheet per report line. The
# test driver is the PrintE2E.PageWithoutBody case of win_tests.exe.
. "$(dirname "$0")/driver_lib.sh"
out=$build/print_no_body_e2e
mkdir -p "$out"

mark=NOBODY$$X$RANDOM
run_driver 'PrintE2E.PageWithoutBody' "$out/driver.log" TAMRIK_PRINT_E2E_NOBODY_MARK="$mark"
pdf=$(pdf_with_mark "$mark") || fail "no PDF (mark $mark)"
echo "print_no_body_test: $pdf"

pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ] || fail "$pages pages, not 1"
pdftotext -f 1 -l 1 "$pdf" - | tr -s ' ' >"$out/page1.txt"
grep -q "HEAD $mark" "$out/page1.txt" || fail "no header band"
grep -q "FOOT 1 / 1" "$out/page1.txt" || fail "no footer band"

rm -f "$out"/page1*.png
pdftoppm -r 50 -png -f 1 -l 1 "$pdf" "$out/page1"
png=$(ls "$out"/page1*.png | head -1)
# The share of dark pixels: band texts and one rule are a trace, a picture a block.
dark=$(/usr/bin/python3 -c '
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("L")
px = im.getdata()
print("%.4f" % (sum(1 for p in px if p < 128) / len(px)))
' "$png")
echo "print_no_body_test: dark share of page 1: $dark ($png)"
/usr/bin/python3 -c 'import sys; sys.exit(0 if float(sys.argv[1]) < 0.01 else 1)' "$dark" ||
    fail "page 1 is $dark dark: something beside the bands was drawn"
echo "print_no_body_test: PASS"
