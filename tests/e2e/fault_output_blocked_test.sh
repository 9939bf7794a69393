#!/usr/bin/env bash
# The output folder stops taking files between two presses: the date folder is
# replaced by a plain file of the same name (chmod does not stop Wine running
# as root). The blocked press leaves no temporary or partial file and does not
# end the program; once the folder is back the next press writes a whole JPEG.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikE2E
write_press_settings output_.bDateDir=TRUE

rm -rf "$BASE_UNIX"
start_focus_window
start_tamrik
press
wait_files 1 || fail "the first press wrote no file"
sleep 2
first=$(output_files | head -1)
jpeg_whole "$first" || fail "the first file is not a whole JPEG: $first"
date_dir=$(dirname "$first")
[ "$date_dir" != "$BASE_UNIX" ] || fail "bDateDir did not give a date folder: $first"
pass "first press: $(basename "$date_dir")/$(basename "$first")"

# Block the folder: a file stands where the date folder was.
mv "$date_dir" "$WORK/saved-date-dir"
echo "blocker" >"$date_dir"
press
sleep 6
[ "$(cat "$date_dir")" = blocker ] || fail "the blocking file was changed"
leftovers=$(find "$BASE_UNIX" "$WINEPREFIX/drive_c" -maxdepth 2 \( -name '*.tmp' -o -name '~*' -o -name 'MN*.jpg' \) \
    2>/dev/null | grep -v "^$date_dir\$" || true)
[ -z "$leftovers" ] || fail "the blocked press left files: $leftovers"
kill -0 "$TAMRIK_PID" 2>/dev/null || fail "the program ended after the blocked press"
wintool wait "$MAIN_CAPTION" 5 || fail "the main dialog is gone after the blocked press"
pass "blocked press: no file, no temporary, the program still runs"

# The folder is back: the next press writes a whole file next to the first.
rm -f "$date_dir"
mv "$WORK/saved-date-dir" "$date_dir"
press
wait_files 2 || fail "no file after the folder came back"
sleep 2
mapfile -t files < <(output_files)
[ "${#files[@]}" -eq 2 ] || fail "expected two files, found: ${files[*]}"
for f in "${files[@]}"; do
    jpeg_whole "$f" || fail "not a whole JPEG: $f"
    case "$(basename "$f")" in ~* | *.tmp) fail "temporary file left: $f" ;; esac
done
pass "after the fault clears: $(basename "${files[1]}") is a whole JPEG"

exit_tamrik
rm -rf "$BASE_UNIX"
pass "Exit gives 1"
