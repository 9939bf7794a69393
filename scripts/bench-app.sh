#!/usr/bin/env bash
# Whole-program benchmarks, each judged against a reference taken in the same
# run:
#   1. peak memory of a per-monitor capture of three 3840x2160 monitors and its
#      saving run, as a multiple of the raw pixel bytes, and that saving run on
#      one thread per core against one thread (build/bench/capture_memory_bench);
#   2. a press under Wine (bench/win32/press_latency_bench.exe) on 1920x1080 and
#      3840x2160 desktops (the plain Xvfb root, and a busy one showing a
#      photo-like picture and text), JPEG and PNG, logType 0 and 1: press to the
#      last picture file against grab + encode, the user-interface thread kept
#      beyond the grab, and the grab of the second of two presses 100 ms apart
#      against a single grab;
#   3. the resident program's processor time over a minute without presses.
# The Wine runs use their own Xvfb and their own copy of the test Wine prefix,
# so the shared test environment is never touched.
#
#   scripts/bench-app.sh                     BENCH_REPEATS=7 (medians of that many presses)
#   BENCH_WIN_BUILD=dir                      Windows build tree (default build/windows)
#   BENCH_NATIVE_BUILD=dir                   native build tree without sanitizers (default build/bench)
#   BENCH_MARKDOWN=file                      also write the tables there
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
repeats=${BENCH_REPEATS:-7}
native=${BENCH_NATIVE_BUILD:-$top/build/bench}
winbuild=${BENCH_WIN_BUILD:-$top/build/windows}
prefix=$top/build/bench-prefix
work=$top/build/bench-app
mkdir -p "$work"
md=$(mktemp)
parallel=
trap 'rm -f "$md"' EXIT

# ---- 1. peak memory ----
if [ -x "$native/capture_memory_bench" ]; then
    echo "| format | raw MB | peak (operator new) MB | ratio | peak RSS growth MB | ratio |" >>"$md"
    echo "|---|---:|---:|---:|---:|---:|" >>"$md"
    for fmt in jpeg png; do
        rm -rf "$work/memory" && mkdir -p "$work/memory"
        line=$("$native/capture_memory_bench" "$fmt" "$work/memory" "$repeats" | tr '\n' ' ')
        get() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$line"; }
        echo "| $fmt | $(get raw_mb) | $(get new_peak_mb) | $(get new_ratio) | $(get rss_peak_mb) | $(get rss_ratio) |" >>"$md"
        parallel+="| $fmt | $(get threads) | $(get serial_ms) | $(get parallel_ms) | $(get parallel_ratio) |"$'\n'
    done
    rm -rf "$work/memory"
    echo >>"$md"
    echo "| three 3840x2160 monitors | threads | one thread ms | side by side ms | ratio |" >>"$md"
    echo "|---|---:|---:|---:|---:|" >>"$md"
    printf '%s' "$parallel" >>"$md"
    echo >>"$md"
else
    echo "bench-app: $native/capture_memory_bench not built (make bench); memory skipped" >&2
fi

# ---- 2. press-to-file latency under Wine ----
if [ ! -f "$winbuild/build.ninja" ]; then
    cmake -S "$top" -B "$winbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
fi
cmake --build "$winbuild" -j "$(nproc)" --target press_latency_bench >/dev/null
exe=$winbuild/press_latency_bench.exe

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$prefix" ] && [ -d "$top/build/testenv/wineprefix" ]; then
    cp -a "$top/build/testenv/wineprefix" "$prefix"
fi

xvfb_pid=
stop_display() {
    wineserver -k 2>/dev/null || true  # this prefix's server only
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    fi
}
trap 'stop_display; rm -f "$md"' EXIT

start_display() {  # $1 = WIDTHxHEIGHT
    local d
    for d in $(seq 150 170); do
        [ -e /tmp/.X11-unix/X$d ] || [ -e /tmp/.X$d-lock ] && continue
        Xvfb :$d -screen 0 "$1x24" -nolisten tcp -ac >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 1 50); do
            if DISPLAY=:$d xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=:$d
                return 0
            fi
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    done
    echo "bench-app: no display could be started" >&2
    return 1
}

# The busy desktop on the root window: drawn like the image benchmark's screen,
# with a larger photo-like area so that the picture is harder to compress.
busy_picture=$work/busy-3840x2160.png
if [ ! -s "$busy_picture" ]; then
    magick=$(command -v convert)
    font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    [ -f "$font" ] || font=$(fc-match -f '%{file}' sans 2>/dev/null || true)
    text=$(fold -s -w 110 /usr/share/common-licenses/GPL-3 | head -n 140)
    "$magick" -size 3840x2160 xc:'#ececec' -fill '#2b4a78' -draw "rectangle 0,0 640,2160" \
        \( -size 3840x30 gradient:'#3a6ea5-#a9c8ea' \) -geometry +0+0 -composite \
        \( -seed 42 -size 1400x1000 plasma:fractal \) -geometry +2300+90 -composite \
        -font "$font" -pointsize 13 -fill '#1e1e1e' -annotate +660+56 "$text" -annotate +1500+56 "$text" \
        "$busy_picture"
fi

echo "| desktop | format | logType | grab ms | encode ms | press to last picture ms | / (grab + encode) | UI thread beyond the grab ms | second press's grab ms | / single grab |" >>"$md"
echo "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|" >>"$md"
for desktop in 1920x1080 3840x2160 3840x2160-busy; do
    size=${desktop%-busy}
    start_display "$size"
    if [ "$desktop" != "$size" ]; then
        display -window root "$busy_picture" >/dev/null 2>&1 || true
    fi
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true  # Wine's services start outside the timing
    for fmt in jpeg png; do
        for logtype in 0 1; do
            out=$work/press.out
            wine "$exe" "$fmt" "$logtype" "$repeats" </dev/null >"$out" 2>&1 || { cat "$out" >&2; exit 1; }
            line=$(grep 'grab_ms=' "$out")
            get() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p" <<<"$line"; }
            echo "| $desktop | $fmt | $logtype | $(get grab_ms) | $(get encode_ms) | $(get file_ms) | $(get file_ratio) | $(get key_over_grab_ms) | $(get second_grab_ms) | $(get second_ratio) |" >>"$md"
        done
    done
    stop_display
done
echo >>"$md"

# ---- 3. idle: the resident program between presses ----
tamrik_exe=$winbuild/tamrik.exe
if [ -f "$tamrik_exe" ]; then
    start_display 1920x1080
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    wine "$tamrik_exe" </dev/null >/dev/null 2>&1 &
    sleep 8  # start-up and its splash are over
    pid=$(pgrep -f 'tamrik\.exe' | head -1 || true)
    if [ -n "$pid" ]; then
        ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
        hz=$(getconf CLK_TCK)
        before=$(ticks "$pid")
        sleep 60
        after=$(ticks "$pid")
        echo "| idle minute | processor time ms | share of the minute |" >>"$md"
        echo "|---|---:|---:|" >>"$md"
        awk -v b="$before" -v a="$after" -v hz="$hz" \
            'BEGIN { ms = (a - b) * 1000 / hz; printf "| tamrik.exe, no presses | %.0f | %.3f %% |\n", ms, ms / 600 }' >>"$md"
    fi
    wineserver -k 2>/dev/null || true
    stop_display
fi

echo
echo "Application benchmarks, $(date -u +%Y-%m-%d), $(nproc) cores, medians of $repeats runs"
echo
cat "$md"
[ -n "${BENCH_MARKDOWN:-}" ] && cp "$md" "$BENCH_MARKDOWN"
exit 0
