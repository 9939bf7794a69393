#!/usr/bin/env bash
# Whole-program benchmarks, each judged against a reference taken in the same
# run:
#   1. peak memory of a per-monitor capture of three 3840x2160 monitors and its
#      saving run, as a multiple of the raw pixel bytes (build/bench/capture_memory_bench);
#   2. press-to-file latency under Wine (bench/win32/press_latency_bench.exe) on
#      1920x1080 and 3840x2160 desktops, JPEG and PNG, logType 0, as a multiple
#      of the time the encode step alone takes on the same picture.
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
trap 'rm -f "$md"' EXIT

# ---- 1. peak memory ----
if [ -x "$native/capture_memory_bench" ]; then
    echo "| format | raw MB | peak (operator new) MB | ratio | peak RSS growth MB | ratio |" >>"$md"
    echo "|---|---:|---:|---:|---:|---:|" >>"$md"
    for fmt in jpeg png; do
        rm -rf "$work/memory" && mkdir -p "$work/memory"
        line=$("$native/capture_memory_bench" "$fmt" "$work/memory")
        get() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$line"; }
        echo "| $fmt | $(get raw_mb) | $(get new_peak_mb) | $(get new_ratio) | $(get rss_peak_mb) | $(get rss_ratio) |" >>"$md"
    done
    rm -rf "$work/memory"
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

echo "| desktop | format | press ms | encode ms | press / encode | capture ms | text pages ms | saving run ms |" >>"$md"
echo "|---|---|---:|---:|---:|---:|---:|---:|" >>"$md"
for size in 1920x1080 3840x2160; do
    start_display "$size"
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true  # Wine's services start outside the timing
    for fmt in jpeg png; do
        out=$work/press.out
        wine "$exe" "$fmt" "$repeats" </dev/null >"$out" 2>&1 || { cat "$out" >&2; exit 1; }
        line=$(grep 'press_ms=' "$out")
        get() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$line"; }
        echo "| ${line%% *} | $fmt | $(get press_ms) | $(get encode_ms) | $(get ratio) | $(get capture_ms) | $(get text_ms) | $(get save_ms) |" >>"$md"
    done
    stop_display
done

echo
echo "Application benchmarks, $(date -u +%Y-%m-%d), $(nproc) cores, medians of $repeats presses"
echo
cat "$md"
[ -n "${BENCH_MARKDOWN:-}" ] && cp "$md" "$BENCH_MARKDOWN"
exit 0
