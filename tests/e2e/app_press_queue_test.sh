#!/usr/bin/env bash
# A press reads the screen at once and leaves the rest to the press worker:
#   - the main window keeps answering while a slow press (256 colours at 150 %,
#     PNG, with the report) is being written;
#   - the second of two presses under a second apart shows the screen as it was then,
#     not as it was once the first press had been written;
#   - quick presses keep their order: sequence numbers follow the presses, and
#     each report names the window that was in front at its own press.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikQueue
# Without the word after saving: a press while that balloon shows first waits
# for it to leave the screen (the balloon test covers that), and these presses
# follow each other closely.
write_press_settings key_.logType=1 output_.nPictureFormat=1 output_.bpp=2 output_.scale=150 \
    extras_.notifyAfterSave=FALSE

pictures() { find "$BASE_UNIX" -type f -name '*.png' 2>/dev/null | sort; }
reports() { find "$BASE_UNIX" -type f -name '*.txt' 2>/dev/null | wc -l; }
pictures_and_reports() { [ "$(pictures | wc -l)" -ge "$1" ] && [ "$(reports)" -ge "$1" ]; }
# Waits (at most 90 s) until n pictures and n reports are there.
wait_pictures_and_reports() {
    wait_until 90 pictures_and_reports "$1" ||
        fail "expected $1 pictures and reports, found $(pictures | wc -l) and $(reports)"
}

rm -rf "$BASE_UNIX"
xsetroot -solid '#404040'
start_focus_window
start_tamrik
wintool wait-no-class TamrikSplashWnd 10 || true
focus_window

# 1. The main window answers while a slow press is written.
xdotool key Print
answer=$(wintool responsive "$MAIN_CAPTION" 3)
wait_pictures_and_reports 1
echo "during the press: $answer"
count=$(sed -n 's/.*answers=\([0-9]*\).*/\1/p' <<<"$answer")
slowest=$(sed -n 's/.*slowest_ms=\([0-9]*\).*/\1/p' <<<"$answer")
[ "${count:-0}" -ge 10 ] && [ "${slowest:-99999}" -lt 800 ] ||
    fail "the main window did not keep answering during the press ($answer)"
pass "the main window answers within 0.8 s all through a slow press"
rm -rf "$BASE_UNIX"

# 2. Two presses 0.6 s apart with the screen changed in between: the second
# picture shows the change, although it is gone before the first press has
# been written. (The pauses leave a loaded machine time to read each screen.)
focus_window
xdotool key Print
sleep 0.45
xsetroot -solid '#ff00ff'
sleep 0.15
xdotool key Print
sleep 0.6
xsetroot -solid '#404040'
wait_pictures_and_reports 2
mapfile -t two < <(pictures)
magenta() {
    /usr/bin/python3 - "$1" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB")
print(sum(1 for r, g, b in im.getdata() if r > 200 and g < 60 and b > 200))
PY
}
first=$(magenta "${two[0]}")
second=$(magenta "${two[1]}")
echo "magenta pixels: first press $first, second press $second"
[ "$first" -lt 1000 ] || fail "the first picture shows the change made after its press"
[ "$second" -gt 100000 ] || fail "the second picture does not show the screen of its press"
pass "two presses 0.6 s apart give two pictures of two different screens"
rm -rf "$BASE_UNIX"

# 3. Four quick presses, the window in front retitled before each: four
# pictures and reports numbered in press order, each report naming its title.
focus_window
for n in 1 2 3 4; do
    wintool retitle-foreground "Press number $n" || fail "the window in front could not be retitled"
    xdotool key Print
    sleep 0.6  # the key has reached the program before the next title
done
wait_pictures_and_reports 4
# Names sort by the half minute of the press, then by the sequence number.
mapfile -t reps < <(find "$BASE_UNIX" -type f -name '*.txt' | sort)
for n in 1 2 3 4; do
    report=${reps[$((n - 1))]}
    grep -q "Window Text:.*Press number $n" "$report" ||
        fail "report $n does not name the title of its own press: $(grep 'Window Text' "$report" || true)"
    ls "${report%.txt}.png" >/dev/null 2>&1 || fail "picture $n is missing beside its report"
done
pass "quick presses are written in press order, each with its own moment"

exit_tamrik
rm -rf "$BASE_UNIX"
