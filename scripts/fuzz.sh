#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ (clang) and runs each for SECONDS over its seed corpus
# (tests/fuzz/corpus/<target>/) and its kept regressions (tests/fuzz/regressions/<target>/). Every new
# crashing, hanging or failing input is written to build-fuzz/findings/<target>/ (ZORBETH_FUZZ_FINDINGS
# moves it); the run fails when there is one. Keep a finding by fixing its cause and copying the input
# to tests/fuzz/regressions/<target>/, which the normal test suite replays.
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
# malloc refuses it: the sanitizer refuses it too instead of calling it a crash.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=()
summary=""
for exe in "$build"/tests/fuzz/fuzz_*; do
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    target=${exe##*/fuzz_}
    # New inputs go to a scratch corpus, so the seeds in the repository stay as they are.
    work="$build/corpus/$target"
    mkdir -p "$work" "$findings/$target"
    inputs=("$work" "$root/tests/fuzz/corpus/$target")
    [ -d "$root/tests/fuzz/regressions/$target" ] && inputs+=("$root/tests/fuzz/regressions/$target")
    log="$build/fuzz-$target.log"
    # Findings of earlier runs stay where they are until dealt with; only new ones count.
    before=$(find "$findings/$target" -type f | wc -l)
    status=0
    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -detect_leaks=0 -print_final_stats=1 \
        -artifact_prefix="$findings/$target/" "${inputs[@]}" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(($(find "$findings/$target" -type f | wc -l) - before))
    summary+=$(printf '%-20s %12s runs  %3s findings' "$target" "${runs:-?}" "$found")$'\n'
    if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
        failed+=("$target")
        echo "fuzz_$target found a problem (log: $log):" >&2
        grep -E "ERROR|SUMMARY|broken promise|Test unit written" "$log" | head -20 >&2 || true
    fi
done
printf '%s' "$summary"
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing found problems in: ${failed[*]}; inputs in $findings" >&2
    exit 1
fi
