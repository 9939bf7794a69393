#!/usr/bin/env bash
# The printer queue is stopped when a print run starts: the program neither
# crashes nor hangs, and once the queue runs again the held job and the next
# run both come out as PDFs that open. The queue is always started again.
. "$(dirname "$0")/app_lib.sh"

QUEUE=${TAMRIK_PRINTER:?the test environment sets TAMRIK_PRINTER}

restart_queue_and_clean() {
    cupsenable "$QUEUE" 2>/dev/null || true
    cupsaccept "$QUEUE" 2>/dev/null || true
    cleanup
}
trap restart_queue_and_clean EXIT

write_press_settings key_.keyAction=0

queue_jobs() { lpstat -o "$QUEUE" 2>/dev/null | wc -l; }

# Waits for more than $1 PDFs, each of which stopped growing and opens.
wait_pdfs() {
    local pdf
    for _ in $(seq 1 80); do
        if [ "$(pdf_count)" -gt "$1" ] && [ "$(queue_jobs)" -eq 0 ]; then
            sleep 1
            for pdf in $(new_pdfs "$WORK/start-mark"); do pdfinfo "$pdf" >/dev/null 2>&1 || continue 2; done
            return 0
        fi
        sleep 0.5
    done
    return 1
}

pdf_mark start-mark
start_focus_window
start_tamrik
focus_window

before=$(pdf_count)
cupsdisable "$QUEUE"
xdotool key Print
sleep 8
kill -0 "$TAMRIK_PID" 2>/dev/null || fail "the program ended while the queue was stopped"
[ "$(pdf_count)" -eq "$before" ] || fail "a PDF came out of a stopped queue"
held=$(queue_jobs)
echo "jobs held by the stopped queue: $held"
pass "print run into a stopped queue: no crash, nothing printed"

cupsenable "$QUEUE"
if [ "$held" -gt 0 ]; then
    wait_pdfs "$before" || fail "the held job did not print after the queue was started"
    pass "the held job printed after cupsenable"
fi

before=$(pdf_count)
press
wait_pdfs "$before" || fail "no PDF from the run after the queue was started"
for pdf in $(new_pdfs "$WORK/start-mark"); do pdfinfo "$pdf" >/dev/null 2>&1 || fail "a PDF does not open: $pdf"; done
pass "the next run prints: $(new_pdfs "$WORK/start-mark" | wc -l) new PDFs, all open"

exit_tamrik
pass "Exit gives 1"
