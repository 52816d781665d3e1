#!/usr/bin/env bash
# Installs what is needed, builds Zorbeth and runs the whole test suite headless, then the same
# suite built with AddressSanitizer and UndefinedBehaviorSanitizer (ZORBETH_SANITIZERS=0 skips that),
# then every fuzz target for ZORBETH_FUZZ_SECONDS seconds (default 10; 0 skips them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
if [ "${ZORBETH_SANITIZERS:-1}" != 0 ]; then
    bash "$root/scripts/test-sanitizers.sh"
fi
fuzz_seconds=${ZORBETH_FUZZ_SECONDS:-10}
if [ "$fuzz_seconds" != 0 ]; then
    bash "$root/scripts/fuzz.sh" "$fuzz_seconds"
fi
