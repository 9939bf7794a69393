#!/usr/bin/env bash
# One clock per press: with TZ naming a zone that the C runtime cannot read
# (it falls back to UTC) while Wine's clock follows it, the date folder and the
# file names still agree with the report's "Shot Date" and "Shot Time": all of
# them come from the one reading of the system's local time.
. "$(dirname "$0")/app_lib.sh"

BASE_UNIX=$WINEPREFIX/drive_c/TamrikClock

write_settings "[ORBILUXSettings.general_]
bDisplaySplash_=FALSE
screenTarget=0
[ORBILUXSettings.key_]
keyAction=1
logType=1
bEnableShotKey_=TRUE
[ORBILUXSettings.output_]
baseDirName=C:\\TamrikClock
bDateDir=TRUE
nPictureFormat=2
bpp=3
scale=100
[ORBILUXSettings]
simpleMode=TRUE"

# Nine hours from UTC, and a name the C runtime's own TZ parser cannot read.
export TZ=Asia/Tokyo

rm -rf "$BASE_UNIX"
start_focus_window
start_tamrik
focus_window
xdotool key Print
report=
for _ in $(seq 1 60); do
    report=$(find "$BASE_UNIX" -name 'MN*.txt' 2>/dev/null | head -1 || true)
    [ -n "$report" ] && break
    sleep 0.5
done
[ -n "$report" ] || fail "no report after the press"
sleep 1
picture=$(find "$BASE_UNIX" -name 'MN*.jpg' 2>/dev/null | head -1 || true)
[ -n "$picture" ] || fail "no picture after the press"

shot_date=$(tr -d '\r' <"$report" | awk -F'\t| +' '/^Shot Date:/ {print $NF}')
shot_time=$(tr -d '\r' <"$report" | awk -F'\t| +' '/^Shot Time:/ {print $NF}')
[ -n "$shot_date" ] && [ -n "$shot_time" ] || fail "no shot date or time in $report"
IFS=: read -r h m s <<<"$shot_time"
half=$(printf '%03x' $(((10#$h * 60 + 10#$m) * 2 + 10#$s / 30)))
day=${shot_date//\//}
echo "report: $shot_date $shot_time; files: ${picture#"$BASE_UNIX"/} ${report#"$BASE_UNIX"/}"
[ "$(basename "$(dirname "$picture")")" = "$day" ] || fail "date folder $(dirname "$picture") is not the shot date $day"
case "$(basename "$picture")" in "MN${day}_00_${half}"1.jpg) ;; *) fail "picture $(basename "$picture") is not named after $shot_time ($half)" ;; esac
[ "$(basename "$report" .txt)" = "$(basename "$picture" .jpg)" ] || fail "report and picture names differ"
pass "folder, names and report share one reading of the clock ($shot_date $shot_time)"

rc=0
stop_tamrik || rc=$?
[ "$rc" -eq 1 ] || fail "Exit gave $rc"
rm -rf "$BASE_UNIX"
pass "Exit gives 1"
