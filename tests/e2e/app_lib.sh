# Shared helpers of the shell's end-to-end tests (sourced, not run). The tests
# start the real tamrik.exe under Wine and watch it only from outside: windows
# found by caption or class, exit codes, files, PDFs and the settings file.
set -euo pipefail

APP_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TAMRIK_SOURCE_DIR=${TAMRIK_SOURCE_DIR:-$(cd "$APP_E2E_DIR/../.." && pwd)}
TAMRIK_BUILD_DIR=${TAMRIK_BUILD_DIR:-$TAMRIK_SOURCE_DIR/build/windows}
TAMRIK_EXE=${TAMRIK_EXE:-$TAMRIK_BUILD_DIR/tamrik.exe}

# Outside the test environment, run the calling test inside it.
if [ -z "${TAMRIK_TESTENV:-}" ]; then
    exec bash "$TAMRIK_SOURCE_DIR/scripts/testenv.sh" run -- env TAMRIK_SOURCE_DIR="$TAMRIK_SOURCE_DIR" \
        TAMRIK_BUILD_DIR="$TAMRIK_BUILD_DIR" TAMRIK_EXE="$TAMRIK_EXE" bash "$0" "$@"
fi

export WINEDEBUG=${WINEDEBUG:--all}
MAIN_CAPTION="ORBILUX Screen Print "
APPDATA_DIR=$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming
SETTINGS_DIR=$APPDATA_DIR/Tamrik
SETTINGS_FILE=$SETTINGS_DIR/PrintSettings.ini
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tamrik-e2e.XXXXXX")
TAMRIK_PID=
FOCUS_PID=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
pass() { echo "ok: $*"; }

# The window tool, built once per build folder.
WINTOOL=$TAMRIK_BUILD_DIR/app_wintool.exe
if [ ! -f "$WINTOOL" ] || [ "$APP_E2E_DIR/app_wintool.c" -nt "$WINTOOL" ]; then
    x86_64-w64-mingw32-gcc -O1 -municode -o "$WINTOOL" "$APP_E2E_DIR/app_wintool.c" -lshell32 -luser32
fi
wintool() { wine "$WINTOOL" "$@" | tr -d '\r'; }

# The tests own the settings folder while they run; what was there comes back.
backup_settings() {
    rm -rf "$WORK/settings-backup"
    if [ -d "$SETTINGS_DIR" ]; then cp -a "$SETTINGS_DIR" "$WORK/settings-backup"; fi
}
restore_settings() {
    rm -rf "$SETTINGS_DIR"
    if [ -d "$WORK/settings-backup" ]; then cp -a "$WORK/settings-backup" "$SETTINGS_DIR"; fi
}

# Writes a settings file from the given INI text (UTF-8 text, CRLF line ends).
write_settings() {
    mkdir -p "$SETTINGS_DIR"
    printf '%s\n' "$1" | sed 's/$/\r/' >"$SETTINGS_FILE"
}

start_tamrik() {
    wine "$TAMRIK_EXE" >"$WORK/tamrik.log" 2>&1 &
    TAMRIK_PID=$!
    wintool wait "$MAIN_CAPTION" 30 || fail "the hidden main dialog did not appear"
}

# Sends Exit and returns the exit code of the program.
stop_tamrik() {
    local rc=0
    [ -n "$TAMRIK_PID" ] || return 0
    wintool post "$MAIN_CAPTION" 57665 || true
    wait "$TAMRIK_PID" || rc=$?
    TAMRIK_PID=
    return $rc
}

# A Wine window of the test's own with the keyboard focus: registered hotkeys
# fire only while a Wine window has it.
start_focus_window() {
    echo "Tamrik end-to-end focus window" >"$WORK/focus.txt"
    wine notepad "$(winepath -w "$WORK/focus.txt")" >/dev/null 2>&1 &
    FOCUS_PID=$!
    local id=
    for _ in $(seq 1 100); do
        id=$(xdotool search --onlyvisible --name "focus.txt" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || fail "the focus window did not appear"
    FOCUS_XID=$id
    focus_window
}
focus_window() {
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        xdotool windowactivate "$FOCUS_XID" 2>/dev/null || true
        xdotool windowfocus --sync "$FOCUS_XID" 2>/dev/null || true
        sleep 0.3
        case "$(wintool foreground)" in *focus.txt*) return 0 ;; esac
    done
    echo "note: the focus window did not become the foreground window" >&2
}

cleanup() {
    if [ -n "$TAMRIK_PID" ]; then
        wintool post "$MAIN_CAPTION" 57665 >/dev/null 2>&1 || true
        sleep 1
        kill "$TAMRIK_PID" 2>/dev/null || true
    fi
    if [ -n "$FOCUS_PID" ]; then kill "$FOCUS_PID" 2>/dev/null || true; fi
    restore_settings
    rm -rf "$WORK"
}
trap cleanup EXIT
backup_settings
