#!/usr/bin/env bash
# Screenshots of every page of the settings sheet, in a Wine virtual desktop
# so that frames and captions show. The pictures land in build/ui-shots for a
# person to look at; the test checks that each was taken and that the sheet
# area is not empty.
. "$(dirname "$0")/driver_lib.sh"
tests_exe=${UI_TESTS_EXE:-$exe}
out=$src/build/ui-shots
mkdir -p "$out"
rm -f "$out"/ready-* "$out"/done-* "$out"/*.png

if ! command -v import >/dev/null || ! command -v identify >/dev/null; then
    echo "ImageMagick is missing: no screenshots taken"
    exit 0
fi

export TAMRIK_UI_SHOTS="Z:${out//\//\\}"
wine explorer /desktop=shots,1280x800 "$tests_exe" --gtest_filter='UiShots.*' >"$out/run.log" 2>&1 &
runner=$!

expected=(0-easy 1-monitor 2-key 3-layout 4-format 5-picture 5-extras 6-format-editing 7-format-line-refused
    8-layout-refused 9-extras-refused 10-tray-menu-ja 11-tray-menu-neutral)
status=0
for name in "${expected[@]}"; do
    if ! wait_driver_file "$out/ready-$name" "$runner"; then
        echo "no shot for $name"
        status=1
        break
    fi
    import -window root "$out/$name.png"
    touch "$out/done-$name"
done
wait "$runner" || status=1
# The desktop's own background is one colour: a sheet on it makes many.
for name in "${expected[@]}"; do
    [ -f "$out/$name.png" ] || continue
    colours=$(identify -format '%k' "$out/$name.png")
    least=8
    case "$name" in *tray-menu*) least=3 ;; esac  # a menu is black text on white
    if [ "$colours" -lt "$least" ]; then
        echo "$name.png looks empty ($colours colours)"
        status=1
    fi
done
grep -E '^\[  (PASSED|FAILED|SKIPPED)' "$out/run.log" || true
[ "$status" = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$status"
