# Shared part of the shell tests that run a case of win_tests.exe as the driver
# and look at what it leaves behind (sourced, not run).
set -euo pipefail
src=${TAMRIK_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
build=${TAMRIK_BUILD_DIR:-$src/build/windows}
exe=$build/win_tests.exe
DRIVER_TEST=$(basename "$0" .sh)

fail() {
    echo "$DRIVER_TEST: FAIL: $*" >&2
    exit 1
}

# Outside the test environment, run the calling test inside it.
if [ -z "${TAMRIK_TESTENV:-}" ]; then
    exec bash "$src/scripts/testenv.sh" run -- bash "$0" "$@"
fi
[ -f "$exe" ] || fail "no $exe"

# Runs the driver's cases $1 with the further NAME=value arguments in its
# environment, its output in the file $2; one case must have passed.
run_driver() {  # filter log [NAME=value ...]
    local filter=$1 log=$2
    shift 2
    # Wine's helper processes keep inherited descriptors open: no pipes here.
    env "$@" "$src/scripts/wine-run.sh" "$exe" --gtest_filter="$filter" >"$log" 2>&1 </dev/null ||
        { cat "$log" >&2; fail "driver $filter"; }
    grep -q '\[  PASSED  \] 1 test' "$log" || { cat "$log" >&2; fail "driver $filter skipped"; }
}

# Waits (at most 60 s) for the file $1 that the driver running as process $2
# makes; gives up at once when the driver ends without it.
wait_driver_file() {  # file pid
    for _ in $(seq 1 600); do
        [ -e "$1" ] && return 0
        kill -0 "$2" 2>/dev/null || break
        sleep 0.1
    done
    [ -e "$1" ]
}

# Prints the PDF of the test printer whose first page holds the text $1, once
# cups-pdf has written it (at most 60 s).
pdf_with_mark() {
    local f
    for _ in $(seq 1 120); do
        for f in "${TAMRIK_PDF_DIR:?}"/*.pdf; do
            [ -f "$f" ] || continue
            if pdftotext -f 1 -l 1 "$f" - 2>/dev/null | grep -q "$1"; then
                echo "$f"
                return 0
            fi
        done
        sleep 0.5
    done
    return 1
}
