#!/usr/bin/env bash
# Builds every fuzz/*_fuzz.cpp with clang's libFuzzer against the portable core
# and runs each in turn, one at a time and at the lowest priority, for a bounded
# time. Stops at the first crash.
#
#   scripts/fuzz.sh [target ...]        targets by name, with or without "_fuzz"
#   FUZZ_SECONDS=600                    time per target (default 120)
#   FUZZ_TARGETS="picture devmode"      the same as naming targets
#   FUZZ_TIMEOUT=60                     seconds one input may take (default 60)
#
# Each run starts from the seeds kept in fuzz/corpus/<target>/ and from the
# working corpus in build/fuzz/corpus/<target>/, which it grows; crash inputs
# land in build/fuzz/crashes/. The summary gives each target's executions,
# executions per second, coverage (cov and ft of the final stats) and corpus.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/build/fuzz
seconds=${FUZZ_SECONDS:-120}
# Wall-clock time: at the lowest priority on a busy machine an input of a few
# milliseconds can wait seconds for the processor, so the limit is generous.
timeout=${FUZZ_TIMEOUT:-60}
mkdir -p "$out/obj" "$out/corpus" "$out/crashes"
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -I"$top")

# The chosen targets.
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || read -r -a wanted <<<"${FUZZ_TARGETS:-}"
targets=()
if [ ${#wanted[@]} -eq 0 ]; then
    targets=("$top"/fuzz/*_fuzz.cpp)
else
    for name in "${wanted[@]}"; do
        name=${name%.cpp}
        name=${name%_fuzz}
        src=$top/fuzz/${name}_fuzz.cpp
        [ -f "$src" ] || { echo "fuzz: no target $name (fuzz/${name}_fuzz.cpp)"; exit 2; }
        targets+=("$src")
    done
fi

# Whether obj is older than its source or any header it included last time.
stale() {
    local src=$1 obj=$2 dep=${2%.o}.d
    [ -f "$obj" ] && [ -f "$dep" ] && [ "$src" -ot "$obj" ] || return 0
    local f
    for f in $(sed -e 's/^[^:]*://' -e 's/\\$//' "$dep"); do
        [ -e "$f" ] && [ "$f" -nt "$obj" ] && return 0
    done
    return 1
}

# The portable core, compiled once with clang.
objs=()
for src in "$top"/{base,image,settings,capture,print,sysinfo,output,settings_ui}/*.cpp; do
    [ -f "$src" ] || continue
    obj=$out/obj/$(echo "${src#$top/}" | tr '/' '_').o
    if stale "$src" "$obj"; then
        clang++ "${flags[@]}" -MMD -MF "${obj%.o}.d" -c "$src" -o "$obj"
    fi
    objs+=("$obj")
done

summary=()
for target in "${targets[@]}"; do
    name=$(basename "$target" .cpp)
    clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$top" \
        "$target" "${objs[@]}" -lpng -ljpeg -lz -lpthread -o "$out/$name"
    work=$out/corpus/$name
    seeds=$top/fuzz/corpus/$name
    mkdir -p "$work"
    corpora=("$work")
    [ -d "$seeds" ] && corpora+=("$seeds")
    log=$out/$name.log
    echo "fuzz: $name for ${seconds}s"
    nice -n 19 "$out/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout="$timeout" -print_final_stats=1 \
        -artifact_prefix="$out/crashes/$name-" "${corpora[@]}" >"$log" 2>&1 ||
        {
            tail -40 "$log"
            echo "fuzz: $name FAILED (log $log)"
            exit 1
        }
    runs=$(sed -n 's/^stat::number_of_executed_units:\s*//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec:\s*//p' "$log" | tail -1)
    final=$(grep -E '^#[0-9]+\s+DONE' "$log" | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$final")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$final")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<<"$final")
    files=$(find "$work" -type f | wc -l)
    summary+=("$name: ${runs:-?} executions in ${seconds}s (${speed:-?}/s), cov ${cov:-?} ft ${ft:-?},\
 corpus ${corp:-?} (${files} files in build/fuzz/corpus), no crash")
done
printf 'fuzz: %s\n' "${summary[@]}"
