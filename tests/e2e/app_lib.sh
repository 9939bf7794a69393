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
PDF_DIR=${TAMRIK_PDF_DIR:-}  # where the test printer puts its PDFs
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

# The settings a press test starts from: no splash, the whole desktop, files
# only, a JPEG at 24 bits and 100 % (the defaults written out) into the test's
# own folder (see use_base_folder), easy mode. Each argument section.key=value
# sets one value ("" names the top section: .simpleMode=FALSE); a bare
# section.key leaves that key out.
write_press_settings() {
    local -a entries=(general_.bDisplaySplash_=FALSE general_.screenTarget=0
        key_.keyAction=1 key_.logType=0 key_.bEnableShotKey_=TRUE)
    [ -z "${BASE_WIN:-}" ] || entries+=("output_.baseDirName=$BASE_WIN")
    entries+=(output_.nPictureFormat=2 output_.bpp=3 output_.scale=100 .simpleMode=TRUE)
    local arg name i found
    for arg; do
        name=${arg%%=*}
        found=
        for i in "${!entries[@]}"; do
            [ "${entries[$i]%%=*}" = "$name" ] || continue
            found=1
            if [ "$arg" = "$name" ]; then unset "entries[$i]"; else entries[$i]=$arg; fi
        done
        [ -n "$found" ] || [ "$arg" = "$name" ] || entries+=("$arg")
    done
    # Sections in the order they first come, the top section last.
    local -a sections=()
    local entry section text=
    for entry in "${entries[@]}"; do
        name=${entry%%=*}
        section=${name%.*}
        [ -n "$section" ] || continue
        case " ${sections[*]} " in *" $section "*) ;; *) sections+=("$section") ;; esac
    done
    sections+=("")
    for section in "${sections[@]}"; do
        local lines=
        for entry in "${entries[@]}"; do
            name=${entry%%=*}
            [ "${name%.*}" = "$section" ] && lines+="${name##*.}=${entry#*=}"$'\n'
        done
        [ -n "$lines" ] && text+="[ORBILUXSettings${section:+.$section}]"$'\n'$lines
    done
    write_settings "${text%$'\n'}"
}

# The test's output folder C:\<name>: BASE_WIN as the program names it,
# BASE_UNIX as the shell reaches it.
use_base_folder() {
    BASE_WIN="C:\\$1"
    BASE_UNIX=$WINEPREFIX/drive_c/$1
}
output_files() { find "$BASE_UNIX" -type f 2>/dev/null | sort; }

# Waits until the function $3 (with any further arguments) lists at least $1
# lines, for at most $2 seconds.
wait_lines() {
    local want=$1 seconds=$2
    shift 2
    for _ in $(seq 1 $((seconds * 4))); do
        [ "$("$@" | wc -l)" -ge "$want" ] && return 0
        sleep 0.25
    done
    return 1
}
wait_files() { wait_lines "$1" 30 output_files; }  # count
# Waits (at most $1 seconds) until the function $2 lists something, and prints
# the first line it lists.
first_listed() {
    local seconds=$1
    shift
    wait_lines 1 "$seconds" "$@" && "$@" | head -1
}

# Runs the command given until it succeeds, for at most $1 seconds.
wait_until() {
    local seconds=$1
    shift
    for _ in $(seq 1 $((seconds * 4))); do
        "$@" && return 0
        sleep 0.25
    done
    return 1
}
# Waits until what the command prints has stayed the same for $1 seconds (at
# most $2 seconds); while the command fails, nothing counts as still.
wait_still() {
    local still_for=$1 seconds=$2 last= now= still=0
    shift 2
    for _ in $(seq 1 $((seconds * 2))); do
        if now=$("$@") && [ "$now" = "$last" ]; then
            still=$((still + 1))
            [ "$still" -ge $((still_for * 2)) ] && return 0
        else
            still=0
        fi
        last=$now
        sleep 0.5
    done
    return 1
}
tray_icon_shown() { [ "$(wintool tray-icons)" -ge 1 ]; }
# The settings sheet (a dialog of class #32770; the program shows no other
# while the tests ask).
sheet_count() { wintool count-class "#32770"; }
sheet_shown() { [ "$(sheet_count)" -ge 1 ]; }
no_sheet() { [ "$(sheet_count)" = 0 ]; }
wait_sheet() { wait_until 10 sheet_shown; }
close_sheet() {  # 1 OK, 2 Cancel
    wintool click-class "#32770" "$1" || fail "no button $1 on the sheet"
    wait_until 10 no_sheet || fail "the sheet stayed open"
}
no_balloon() { [ "$(wintool balloon-count)" -eq 0 ]; }

# A JPEG that starts with SOI, ends with EOI and decodes.
jpeg_whole() {
    [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = ffd8 ] || return 1
    [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = ffd9 ] || return 1
    identify "$1" >/dev/null 2>&1
}

# The PDFs of the test printer: how many there are, and those newer than the
# mark file $1.
pdf_count() { find "${PDF_DIR:?the test environment sets TAMRIK_PDF_DIR}" -maxdepth 1 -name '*.pdf' 2>/dev/null | wc -l; }
new_pdfs() { find "${PDF_DIR:?the test environment sets TAMRIK_PDF_DIR}" -maxdepth 1 -name '*.pdf' -newer "$1" 2>/dev/null | sort; }
# Waits for a PDF newer than the mark file $1 that opens and prints its path
# (at most $2 seconds).
wait_new_pdf() {
    local pdf
    for _ in $(seq 1 $(($2 * 2))); do
        for pdf in $(new_pdfs "$1"); do
            pdfinfo "$pdf" >/dev/null 2>&1 && { echo "$pdf"; return 0; }
        done
        sleep 0.5
    done
    return 1
}
# A mark file for new_pdfs, a second older than anything that comes after it.
pdf_mark() {
    touch "$WORK/$1"
    sleep 1
}

# The settings file as UTF-8 text, whichever encoding the program kept.
settings_text() {
    if [ "$(head -c 2 "$SETTINGS_FILE" | od -An -tx1 | tr -d ' ')" = fffe ]; then
        iconv -f UTF-16LE -t UTF-8 "$SETTINGS_FILE" | sed '1s/^\xEF\xBB\xBF//' | tr -d '\r'
    else
        tr -d '\r' <"$SETTINGS_FILE"
    fi
}

start_tamrik() {  # [command-line arguments]
    wine "$TAMRIK_EXE" "$@" >"$WORK/tamrik.log" 2>&1 &
    TAMRIK_PID=$!
    wintool wait "$MAIN_CAPTION" 30 || fail "the hidden main dialog did not appear${*:+ after a start with $*}"
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

# Exit, which must end the program with 1; $1 names the moment for the failure.
exit_tamrik() {
    local rc=0
    stop_tamrik || rc=$?
    [ "$rc" -eq 1 ] || fail "${1:-Exit} gave $rc"
}

# A fresh start for the next case of a test: the program stopped, the output
# folder gone, the program started again with the settings file as it is now,
# its start-up splash gone and the focus window in front.
begin_case() {
    stop_tamrik >/dev/null 2>&1 || true
    rm -rf "$BASE_UNIX"
    start_tamrik
    wintool wait-no-class TamrikSplashWnd 10 || true
    focus_window
}

# A key press (Print Screen unless named) with the focus window in front.
press() {
    focus_window
    xdotool key "${1:-Print}"
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
