#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ (clang) and runs each for SECONDS over its seed corpus
# (tests/fuzz/corpus/<target>/) and its kept regressions (tests/fuzz/regressions/<target>/). Every new
# crashing, hanging or failing input is written to build-fuzz/findings/<target>/ (ZORBETH_FUZZ_FINDINGS
# moves it); the run fails when there is one. Keep a finding by fixing its cause and copying the input
# to tests/fuzz/regressions/<target>/, which the normal test suite replays. Targets run side by side,
# one per processor.
set -euo pipefail
if [ $# -ne 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
    echo "usage: scripts/fuzz.sh SECONDS" >&2
    exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
findings="${ZORBETH_FUZZ_FINDINGS:-$build/findings}"
source "$root/scripts/cmake-common.sh" "$build"
cmake -S "$root" -B "$build" -DZORBETH_FUZZ=ON -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_COMPILER=clang++ \
    "${cmake_generator_args[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Qt keeps caches until exit, so leaks are not looked for (as in the sanitizer suite). Qt asks for
# whatever size a hostile "@Variant" setting claims and copes when it is refused, as the system's
# malloc refuses it: the sanitizer refuses it too instead of calling it a crash. It refuses anything
# over 2 GB on every machine: where memory is large enough for the claim to be granted, the sanitizer
# fills the bookkeeping of gigabytes and the run stops at its memory limit.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1:allocator_may_return_null=1:max_allocation_size_mb=2048"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# One target: SECONDS of fuzzing; its summary line goes to $build/fuzz-<target>.result, and a non-zero
# exit tells of a new finding or a crash.
run_target() {
    local exe=$1 target=${1##*/fuzz_}
    # New inputs go to a scratch corpus, so the seeds in the repository stay as they are.
    local work="$build/corpus/$target"
    mkdir -p "$work" "$findings/$target"
    local inputs=("$work" "$root/tests/fuzz/corpus/$target")
    [ -d "$root/tests/fuzz/regressions/$target" ] && inputs+=("$root/tests/fuzz/regressions/$target")
    local log="$build/fuzz-$target.log"
    # Findings of earlier runs stay where they are until dealt with; only new ones count.
    local before status=0 runs found
    before=$(find "$findings/$target" -type f | wc -l)
    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -detect_leaks=0 -print_final_stats=1 \
        -artifact_prefix="$findings/$target/" "${inputs[@]}" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(($(find "$findings/$target" -type f | wc -l) - before))
    printf '%-20s %12s runs  %3s findings\n' "$target" "${runs:-?}" "$found" >"$build/fuzz-$target.result"
    if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
        {
            echo "fuzz_$target found a problem (log: $log):"
            grep -E "ERROR|SUMMARY|broken promise|Test unit written" "$log" | head -20 || true
        } >&2
        return 1
    fi
}

# The targets run side by side, one per processor; each is single-threaded.
targets=()
for exe in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$exe" ] && [ -x "$exe" ] && targets+=("$exe")
done
failed=()
declare -A running=()
finish_one() {
    local pid
    wait -n -p pid && status=0 || status=$?
    [ "$status" -ne 0 ] && failed+=("${running[$pid]}")
    unset "running[$pid]"
}
for exe in "${targets[@]}"; do
    while [ ${#running[@]} -ge "$(nproc)" ]; do
        finish_one
    done
    run_target "$exe" &
    running[$!]=${exe##*/fuzz_}
done
while [ ${#running[@]} -gt 0 ]; do
    finish_one
done
for exe in "${targets[@]}"; do
    cat "$build/fuzz-${exe##*/fuzz_}.result"
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing found problems in: ${failed[*]}; inputs in $findings" >&2
    exit 1
fi
