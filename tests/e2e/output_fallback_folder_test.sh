#!/usr/bin/env bash
# Neither the pictures nor the documents folder can be found (both shell
# folders point at a drive that does not exist) and no base folder is set: a
# press writes its picture under the local application-data folder, in
# Tamrik\Captures\<date>, which it creates, and nowhere else.
. "$(dirname "$0")/app_lib.sh"

KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
LOCAL_UNIX=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local
CAPTURES_UNIX=$LOCAL_UNIX/Tamrik/Captures
[ ! -e "$WINEPREFIX/dosdevices/q:" ] || fail "drive Q: is mapped; the test needs a missing drive"

# The shell folders come back whatever happens.
saved_value() {  # name: the stored value, or nothing
    { wine reg query "$KEY" /v "$1" 2>/dev/null || true; } | tr -d '\r' |
        awk '/REG_/ { sub(/^.*REG_[A-Z_]+ +/, ""); print }'
}
PICTURES_SAVED=$(saved_value "My Pictures")
PERSONAL_SAVED=$(saved_value Personal)
echo "shell folders before: [$PICTURES_SAVED] [$PERSONAL_SAVED]"
restore_shell_folders() {
    for pair in "My Pictures|$PICTURES_SAVED" "Personal|$PERSONAL_SAVED"; do
        name=${pair%%|*}
        value=${pair#*|}
        if [ -n "$value" ]; then
            wine reg add "$KEY" /v "$name" /t REG_EXPAND_SZ /d "$value" /f >/dev/null 2>&1 || true
        else
            wine reg delete "$KEY" /v "$name" /f >/dev/null 2>&1 || true
        fi
    done
}
trap 'restore_shell_folders; cleanup' EXIT
wine reg add "$KEY" /v "My Pictures" /t REG_EXPAND_SZ /d 'Q:\TamrikGone\Pictures' /f >/dev/null 2>&1 ||
    fail "could not point the pictures folder away"
wine reg add "$KEY" /v Personal /t REG_EXPAND_SZ /d 'Q:\TamrikGone\Documents' /f >/dev/null 2>&1 ||
    fail "could not point the documents folder away"

write_press_settings output_.bDateDir=TRUE  # and no base folder

rm -rf "$LOCAL_UNIX/Tamrik"
touch "$WORK/mark"
start_focus_window
start_tamrik
press
captures() { find "$CAPTURES_UNIX" -name 'MN*.jpg' 2>/dev/null; }
picture=$(first_listed 30 captures) || fail "no picture under $CAPTURES_UNIX"
echo "picture: ${picture#"$WINEPREFIX"/}"
case "$(basename "$(dirname "$picture")")" in [0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]) ;; *) fail "not in a date folder: $picture" ;; esac
stray=$(find "$WINEPREFIX/drive_c" / -xdev -maxdepth 2 -newer "$WORK/mark" -name 'MN*.jpg' 2>/dev/null || true)
[ -z "$stray" ] || fail "pictures elsewhere: $stray"
pass "the picture went to Tamrik\\Captures under the local application-data folder"

exit_tamrik
rm -rf "$LOCAL_UNIX/Tamrik"
pass "Exit gives 1"
