#!/usr/bin/env bash
# The program's own windows never show in its pictures: the second of two quick
# presses, taken while the first press's "printing" splash is on the screen,
# and a press 1 s after start-up, while the start-up splash shows, both equal a
# picture of the same still screen where the splash was.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikOwn

settings_with_splash() { write_press_settings "general_.bDisplaySplash_=$1" output_.nPictureFormat=0; }
pictures() { find "$BASE_UNIX" -type f -name '*.bmp' 2>/dev/null | sort; }
wait_pictures() { wait_lines "$1" 30 pictures; }  # count

# Pixels of the splash bitmap $3 that the picture $1 shows where the splash
# stands when centred on the screen, and that the still screen $2 does not.
splash_pixels() {
    /usr/bin/python3 - "$1" "$2" "$3" <<'EOF'
import sys
from PIL import Image
import numpy as np
shot = np.asarray(Image.open(sys.argv[1]).convert("RGB")).astype(np.int32)
still = np.asarray(Image.open(sys.argv[2]).convert("RGB")).astype(np.int32)
splash = np.asarray(Image.open(sys.argv[3]).convert("RGB")).astype(np.int32)
height, width = still.shape[:2]
h, w = splash.shape[:2]
left, top = width // 2 - w // 2, height // 2 - h // 2
def same(a, b):
    return np.all(a == b, axis=2)
area = (slice(top, top + h), slice(left, left + w))
print(int(np.count_nonzero(same(shot[area], splash) & ~same(still[area], splash))))
EOF
}

start_focus_window

# --- the "printing" splash of the first of two quick presses -----------------
settings_with_splash TRUE
rm -rf "$BASE_UNIX"
start_tamrik
wintool wait-no-class TamrikSplashWnd 10 || fail "the start-up splash did not close"
press
sleep 0.3
xdotool key Print
wait_pictures 2 || fail "two quick presses wrote $(pictures | wc -l) pictures"
wintool wait-no-class TamrikSplashWnd 10 || fail "the printing splashes did not close"
sleep 0.5
import -window root "$WORK/still.png"
second=$(pictures | tail -1)
found=$(splash_pixels "$second" "$WORK/still.png" "$TAMRIK_SOURCE_DIR/resources/splash_print.bmp")
echo "printing-splash pixels in the second quick picture: $found"
[ "$found" -eq 0 ] || fail "the second picture shows $found pixels of the first press's splash"
pass "the second of two quick presses does not show the first one's splash"
stop_tamrik || true

# --- the start-up splash ------------------------------------------------------
# The focus window keeps the focus: the splash never takes it.
settings_with_splash FALSE
rm -rf "$BASE_UNIX"
focus_window
wine "$TAMRIK_EXE" >"$WORK/tamrik.log" 2>&1 &
TAMRIK_PID=$!
wintool wait-class TamrikSplashWnd 30 || fail "no start-up splash"
shown=$(date +%s%3N)
wintool wait "$MAIN_CAPTION" 30 || fail "the hidden main dialog did not appear"
late=$(($(date +%s%3N) - shown))
if [ "$late" -lt 1000 ]; then sleep "$(((1000 - late) / 1000)).$(printf '%03d' $(((1000 - late) % 1000)))"; fi
xdotool key Print
echo "pressed $(($(date +%s%3N) - shown)) ms after the start-up splash showed"
# A splash still there after the press has been queued was there for the
# capture: the press is handled before the splash's timer. (While the screen is
# read it is off the screen for a moment, so look more than once.)
wintool wait-class TamrikSplashWnd 3 || fail "the start-up splash closed before the press"
wait_pictures 1 || fail "the press after start-up wrote no picture"
wintool wait-no-class TamrikSplashWnd 10 || fail "the start-up splash did not close"
sleep 0.5
import -window root "$WORK/still.png"
found=$(splash_pixels "$(pictures | head -1)" "$WORK/still.png" "$TAMRIK_SOURCE_DIR/resources/splash_start.bmp")
echo "start-up splash pixels in a picture taken 1 s after start-up: $found"
[ "$found" -eq 0 ] || fail "the picture shows $found pixels of the start-up splash"
pass "a press 1 s after start-up does not show the start-up splash"

exit_tamrik
rm -rf "$BASE_UNIX"
