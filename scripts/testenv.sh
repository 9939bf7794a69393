#!/usr/bin/env bash
# The test environment every display or printer test runs in: its own Xvfb
# display, cupsd with a cups-pdf queue "TamrikPDF" as the default printer whose
# PDFs land in build/testenv/pdf, and a Wine prefix inside the build folder with
# a Japanese font standing in for "MS UI Gothic".
#
#   testenv.sh run -- CMD...   start (or join) the environment, run CMD, stop it
#   testenv.sh start | stop    by hand; `start` prints the env file to source
#
# Runs nest: a `run` inside a running environment joins it, and the last one
# out stops what the first one started.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$top/build/testenv
envfile=$dir/env.sh
mkdir -p "$dir"

export WINEDEBUG=-all
# A crashing test ends at once instead of waiting in the crash debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX=$dir/wineprefix
queue=TamrikPDF
pdfdir=$dir/pdf
screen=${TAMRIK_SCREEN:-1280x1024x24}

log() { echo "testenv: $*" >&2; }

start_xvfb() {
    local d
    for d in $(seq 91 120); do
        [ -e /tmp/.X11-unix/X$d ] || [ -e /tmp/.X$d-lock ] && continue
        Xvfb :$d -screen 0 "$screen" -nolisten tcp -ac >"$dir/xvfb.log" 2>&1 &
        echo $! >"$dir/xvfb.pid"
        for _ in $(seq 1 50); do
            if DISPLAY=:$d xdpyinfo >/dev/null 2>&1; then
                echo ":$d"
                return 0
            fi
            sleep 0.1
        done
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    done
    log "no display could be started"
    return 1
}

start_cups() {
    if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
        mkdir -p /run/cups
        cupsd
        touch "$dir/cupsd.ours"
        for _ in $(seq 1 50); do
            lpstat -r 2>/dev/null | grep -q 'is running' && break
            sleep 0.1
        done
    fi
    mkdir -p "$pdfdir"
    chmod 1777 "$pdfdir"
    # An instance configuration of cups-pdf: the queue's PDFs go to our folder.
    cat >/etc/cups/cups-pdf-tamrik.conf <<CONF
Out $pdfdir
AnonDirName $pdfdir
UserPrefix
Grp lpadmin
Log $dir
LogType 1
CONF
    if ! lpstat -v "$queue" >/dev/null 2>&1; then
        lpadmin -p "$queue" -E -v cups-pdf:/tamrik -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
            lpadmin -p "$queue" -E -v cups-pdf:/tamrik -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    fi
    cupsenable "$queue" 2>/dev/null || true
    cupsaccept "$queue" 2>/dev/null || true
    lpadmin -d "$queue"
}

prepare_prefix() {
    if [ ! -f "$WINEPREFIX/.tamrik-ready" ]; then
        log "creating the Wine prefix (first time only, this takes a while)"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        # Japanese dialogs: a Japanese font answers for "MS UI Gothic".
        local reg=$dir/fonts.reg
        printf '%s\r\n' 'REGEDIT4' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
            '"MS UI Gothic"="IPAGothic"' '"MS Gothic"="IPAGothic"' '"MS PGothic"="IPAPGothic"' '' \
            '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
            '"MS UI Gothic"="IPAGothic"' '' >"$reg"
        wine regedit "$reg" >/dev/null 2>&1 || true
        wineserver -w
        touch "$WINEPREFIX/.tamrik-ready"
    fi
}

do_start() {
    exec 9>"$dir/lock"
    flock 9
    local users=0
    [ -f "$dir/users" ] && users=$(cat "$dir/users")
    if [ "$users" -gt 0 ] && [ -f "$envfile" ] && [ -f "$dir/xvfb.pid" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then
        echo $((users + 1)) >"$dir/users"
        flock -u 9
        return 0
    fi
    rm -f "$dir/cupsd.ours"
    local display
    display=$(start_xvfb)
    start_cups
    export DISPLAY=$display
    prepare_prefix
    # One wineserver for the whole run: it reads the printer list once.
    wineserver -k 2>/dev/null || true
    wineserver -p 2>/dev/null || true
    # Start Wine's own services now, outside any test's output pipe.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    cat >"$envfile" <<ENV
export DISPLAY=$display
export WINEPREFIX=$WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export TAMRIK_PDF_DIR=$pdfdir
export TAMRIK_PRINTER=$queue
export TAMRIK_TESTENV=1
ENV
    echo 1 >"$dir/users"
    flock -u 9
}

do_stop() {
    exec 9>"$dir/lock"
    flock 9
    local users=1
    [ -f "$dir/users" ] && users=$(cat "$dir/users")
    users=$((users - 1))
    if [ "$users" -gt 0 ]; then
        echo "$users" >"$dir/users"
        flock -u 9
        return 0
    fi
    echo 0 >"$dir/users"
    wineserver -k 2>/dev/null || true
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid"
    fi
    if [ -f "$dir/cupsd.ours" ]; then
        pkill -x cupsd 2>/dev/null || true
        rm -f "$dir/cupsd.ours"
    fi
    rm -f "$envfile"
    flock -u 9
}

case "${1:-}" in
    start)
        do_start
        echo "$envfile"
        ;;
    stop)
        do_stop
        ;;
    run)
        shift
        [ "${1:-}" = "--" ] && shift
        do_start
        # shellcheck disable=SC1090
        . "$envfile"
        set +e
        "$@"
        rc=$?
        set -e
        do_stop
        exit $rc
        ;;
    *)
        echo "usage: $0 run -- CMD... | start | stop" >&2
        exit 2
        ;;
esac
