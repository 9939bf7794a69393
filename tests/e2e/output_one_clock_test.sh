#!/usr/bin/env bash
# One clock per press: with TZ naming a zone that the C runtime cannot read
# (it falls back to UTC) while Wine's clock follows it, the date folder and the
# file names still agree with the report's "Shot Date" and "Shot Time": all of
# them come from the one reading of the system's local time.
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikClock
write_press_settings key_.logType=1 output_.bDateDir=TRUE

# Nine hours from UTC, and a name the C runtime's own TZ parser cannot read.
export TZ=Asia/Tokyo

rm -rf "$BASE_UNIX"
start_focus_window
start_tamrik
press
reports() { find "$BASE_UNIX" -name 'MN*.txt' 2>/dev/null; }
report=$(first_listed 30 reports) || fail "no report after the press"
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

exit_tamrik
rm -rf "$BASE_UNIX"
pass "Exit gives 1"
