#!/usr/bin/env bash
# A whole-desktop capture under Wine equals an independent grab of the same X
# screen taken right after it, while a window with a fixed pattern covers the
# screen: same size as the X screen, every pixel the same.
. "$(dirname "$0")/driver_lib.sh"

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

winwork=$(winepath -w "$work" 2>/dev/null)
TAMRIK_CAPTURE_OUT=$winwork bash "$src/scripts/wine-run.sh" "$exe" \
    --gtest_filter=CaptureScreen.WholeDesktopIsTheScreenPixelForPixel >"$work/log" 2>&1 &
pid=$!

if ! wait_driver_file "$work/captured" "$pid"; then
    cat "$work/log"
    echo "FAIL: the capture did not finish"
    exit 1
fi

# The X side's own picture of the screen, while the pattern window still shows.
import -window root "$work/xscreen.png"
touch "$work/grabbed"
if ! wait "$pid"; then
    pid=
    cat "$work/log"
    echo "FAIL: the capture test failed"
    exit 1
fi
pid=

screen_size=$(xdpyinfo | awk '/dimensions:/ { print $2 }' | head -n 1)
capture_size=$(identify -format '%wx%h' "$work/capture.bmp")
if [ "$capture_size" != "$screen_size" ]; then
    echo "FAIL: capture is $capture_size, the X screen is $screen_size"
    exit 1
fi
differing=$(compare -metric AE "$work/capture.bmp" "$work/xscreen.png" null: 2>&1 || true)
if [ "$differing" != "0" ]; then
    echo "FAIL: $differing pixels differ from the X screen"
    exit 1
fi
echo "PASS: whole-desktop capture of $capture_size equals the X screen"
