#!/usr/bin/env bash
# A press with the clipboard switched on leaves its picture on the clipboard:
# the X side reads it back (Wine hands the clipboard's bitmap to X as
# image/bmp) and its pixels equal the saved PNG's. The word after saving is a
# balloon naming the file and its folder; with it switched off a press shows
# no balloon and leaves the clipboard alone.
. "$(dirname "$0")/app_lib.sh"

command -v xclip >/dev/null || fail "xclip is missing (scripts/setup.sh installs it)"
use_base_folder TamrikExtras
SHOTS=$TAMRIK_BUILD_DIR/e2e-shots
mkdir -p "$SHOTS"
PY=/usr/bin/python3

settings() {  # copyToClipboard notifyAfterSave
    write_press_settings output_.bDateDir=TRUE output_.nPictureFormat=1 "extras_.copyToClipboard=$1" \
        "extras_.notifyAfterSave=$2"
}
pngs() { find "$BASE_UNIX" -name 'MN*.png' 2>/dev/null | sort; }
wait_pngs() { wait_lines "$1" 30 pngs; }  # count

rm -rf "$BASE_UNIX"
settings TRUE TRUE
# Something else on the clipboard first, so a stale picture cannot pass.
printf 'before the press' | xclip -selection clipboard >/dev/null 2>&1
start_focus_window
start_tamrik
wait_until 10 tray_icon_shown || true

press
wait_pngs 1 || fail "the press wrote no picture"
png=$(pngs | head -1)
name=$(basename "$png")

text=$(wintool wait-balloon 20) || fail "no balloon after the press wrote its picture"
import -window root "$SHOTS/saved-balloon.png" 2>/dev/null || true
echo "balloon: $text"
case "$text" in *"$name"*) ;; *) fail "the balloon does not name $name: $text" ;; esac
case "$text" in *'C:\TamrikExtras\2'*) ;; *) fail "the balloon does not name the folder: $text" ;; esac
pass "the balloon names the file and its folder"

targets=
for _ in $(seq 1 20); do
    targets=$(xclip -selection clipboard -t TARGETS -o 2>/dev/null || true)
    case "$targets" in *image/bmp*) break ;; esac
    sleep 0.5
done
case "$targets" in *image/bmp*) ;; *) fail "the clipboard offers no picture: $targets" ;; esac
xclip -selection clipboard -t image/bmp -o >"$WORK/clip.bmp" || fail "the clipboard's picture could not be read"
$PY - "$WORK/clip.bmp" "$png" <<'PYEOF' || fail "the clipboard's picture is not the saved one"
import sys
from PIL import Image, ImageChops
clip = Image.open(sys.argv[1]).convert("RGB")
saved = Image.open(sys.argv[2]).convert("RGB")
print("clipboard", clip.size, "file", saved.size)
if clip.size != saved.size:
    sys.exit(1)
box = ImageChops.difference(clip, saved).getbbox()
print("differing box:", box)
sys.exit(0 if box is None else 1)
PYEOF
pass "the clipboard holds the press's picture, pixel for pixel"

# The next press, while the balloon still shows: the balloon is the program's
# own and is not in the picture, which equals the first one but for a caret.
[ "$(wintool balloon-count)" -ge 1 ] || echo "note: the balloon had already gone"
press
wait_pngs 2 || fail "the second press wrote no picture"
second=$(pngs | tail -1)
sleep 1
$PY - "$png" "$second" <<'PYEOF' || fail "the balloon of the first press is in the second picture"
import sys
from PIL import Image, ImageChops
a = Image.open(sys.argv[1]).convert("L")
b = Image.open(sys.argv[2]).convert("L")
diff = ImageChops.difference(a, b).point(lambda v: 255 if v > 16 else 0)
changed = sum(1 for v in diff.getdata() if v)
print("pixels that differ between the two presses:", changed, "in", diff.getbbox())
sys.exit(0 if changed < 400 else 1)
PYEOF
pass "the balloon of a press is not in the next press's picture"

exit_tamrik

# Both switched off: a file, no balloon, and the clipboard keeps what it had.
wait_until 40 no_balloon || true
settings FALSE FALSE
printf 'kept' | xclip -selection clipboard >/dev/null 2>&1
start_tamrik
press
wait_pngs 2 || fail "the second press wrote no picture"
if wintool wait-balloon 4 >/dev/null; then fail "a balloon with the word after saving switched off"; fi
[ "$(xclip -selection clipboard -o 2>/dev/null)" = kept ] || fail "the clipboard changed with copying switched off"
pass "switched off: no balloon, the clipboard untouched"

exit_tamrik
rm -rf "$BASE_UNIX"
# xclip stays to serve what it put on the clipboard; it must not outlive the test.
pkill -x xclip 2>/dev/null || true
