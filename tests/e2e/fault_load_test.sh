#!/usr/bin/env bash
# Load: Print Screen pressed as fast as xdotool can, fifty times saving files
# and a few times saving and printing. Presses that find a capture running are
# dropped and leave nothing behind; every file there is whole, every PDF opens,
# the memory of the process comes back near where it was, and the program still
# answers Exit with 1.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikE2E
MEMORY_MARGIN_KB=$((30 * 1024))

settings_with() { write_press_settings "key_.keyAction=$1" "key_.logType=$2"; }

pdf_list() { find "$PDF_DIR" -maxdepth 1 -name '*.pdf' 2>/dev/null | sort; }

# The names and sizes in the output and PDF folders.
folders_state() { { find "$BASE_UNIX" "$PDF_DIR" -maxdepth 2 -printf '%p %s\n' 2>/dev/null || true; } | sort | md5sum; }
# Waits until the output folder has not changed for $1 seconds (at most $2 s).
wait_quiet() { wait_still "$1" "$2" folders_state; }

# Resident memory (kB) of the Wine process running tamrik.exe.
tamrik_rss() {
    local pid best=0 kb
    for pid in $(pgrep -f 'tamrik\.exe' || true); do
        kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
        [ "${kb:-0}" -gt "$best" ] && best=$kb
    done
    echo "$best"
}

check_outputs() {
    local f
    while read -r f; do
        [ -n "$f" ] || continue
        case "$(basename "$f")" in
            ~* | *.tmp) fail "temporary file left: $f" ;;
            *.jpg) jpeg_whole "$f" || fail "not a whole JPEG: $f" ;;
            *.png) pngcheck -q "$f" >/dev/null 2>&1 || identify "$f" >/dev/null 2>&1 || fail "not a whole PNG: $f" ;;
            *.txt) [ -s "$f" ] || fail "empty report: $f" ;;
            *) fail "unexpected file: $f" ;;
        esac
    done < <(output_files)
}

start_focus_window

# --- fifty presses saving JPEG files --------------------------------------------
settings_with 1 0
rm -rf "$BASE_UNIX"
start_tamrik
focus_window
xdotool key Print   # warm-up: the first capture fills the caches
for _ in $(seq 1 60); do [ -n "$(output_files)" ] && break; sleep 0.5; done
wait_quiet 2 20 || true
rss_before=$(tamrik_rss)
focus_window
keys=()
for _ in $(seq 1 50); do keys+=(Print); done
xdotool key --delay 0 "${keys[@]}"
wait_quiet 4 60 || fail "the output folder kept changing"
rss_after=$(tamrik_rss)
check_outputs
count=$(output_files | wc -l)
distinct=$(output_files | xargs -n1 basename | sort -u | wc -l)
[ "$count" -ge 2 ] || fail "fifty presses gave $count files"
[ "$count" -le 51 ] || fail "fifty presses gave $count files"
[ "$count" -eq "$distinct" ] || fail "file names repeat"
echo "memory: VmRSS before ${rss_before} kB, after ${rss_after} kB"
[ "$rss_before" -gt 0 ] || fail "could not read the memory of tamrik.exe"
[ "$rss_after" -le $((rss_before + MEMORY_MARGIN_KB)) ] ||
    fail "memory grew from ${rss_before} kB to ${rss_after} kB"
exit_tamrik "Exit after the load"
pass "50 presses (keyAction 1): $count whole files, distinct names, no temporary; VmRSS ${rss_before} -> ${rss_after} kB; Exit 1"

# --- a few presses saving and printing ------------------------------------------
settings_with 2 0
rm -rf "$BASE_UNIX"
pdfs_before=$(pdf_list)
start_tamrik
focus_window
xdotool key --delay 0 Print Print Print Print Print
sleep 3
wait_quiet 5 70 || fail "the output and PDF folders kept changing"
check_outputs
[ -n "$(output_files)" ] || fail "five presses with keyAction 2 wrote no file"
new_pdfs=$(comm -13 <(echo "$pdfs_before") <(pdf_list) | sed '/^$/d')
[ -n "$new_pdfs" ] || fail "five presses with keyAction 2 printed nothing"
npdf=0
while read -r pdf; do
    pdfinfo "$pdf" >/dev/null 2>&1 || fail "a PDF does not open: $pdf"
    npdf=$((npdf + 1))
done <<<"$new_pdfs"
exit_tamrik "Exit after the printing load"
pass "5 presses (keyAction 2): $(output_files | wc -l) whole files, $npdf PDFs that open; Exit 1"
rm -rf "$BASE_UNIX"
