#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ and runs it; any sanitizer report fails the run. Expects the packages installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-sanitize"
flags="-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
source "$root/scripts/cmake-common.sh" "$build"
# No build type: only the flags above, without debug information, to keep the build quick.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=None "${cmake_generator_args[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Leaks are not looked for: Qt, fontconfig and the platform plugin keep caches until exit.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
