#!/usr/bin/env bash
# Builds every fuzz/*_fuzz.cpp with clang's libFuzzer against the portable core
# and runs each for a bounded time (FUZZ_SECONDS, default 120). Prints the
# executions each target reached; stops at the first crash.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/build/fuzz
seconds=${FUZZ_SECONDS:-120}
mkdir -p "$out/obj" "$out/corpus"
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -I"$top")

# The portable core, compiled once with clang.
objs=()
for src in "$top"/{base,image,settings,capture,print,sysinfo,output,settings_ui}/*.cpp; do
    [ -f "$src" ] || continue
    obj=$out/obj/$(echo "${src#$top/}" | tr '/' '_').o
    if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ]; then
        clang++ "${flags[@]}" -c "$src" -o "$obj"
    fi
    objs+=("$obj")
done

summary=()
for target in "$top"/fuzz/*_fuzz.cpp; do
    [ -f "$target" ] || continue
    name=$(basename "$target" .cpp)
    clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -I"$top" "$target" "${objs[@]}" \
        -lpng -ljpeg -lz -lpthread -o "$out/$name"
    mkdir -p "$out/corpus/$name"
    log=$out/$name.log
    echo "fuzz: $name for ${seconds}s"
    "$out/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        "$out/corpus/$name" >"$log" 2>&1 || { tail -40 "$log"; echo "fuzz: $name FAILED"; exit 1; }
    runs=$(sed -n 's/^stat::number_of_executed_units:\s*//p' "$log" | tail -1)
    summary+=("$name: ${runs:-?} executions in ${seconds}s, no crash")
done
printf 'fuzz: %s\n' "${summary[@]}"
