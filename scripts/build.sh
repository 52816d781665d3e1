#!/usr/bin/env bash
# Installs what is needed and builds Zorbeth into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
source "$root/scripts/cmake-common.sh" "$root/build"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_generator_args[@]}"
cmake --build "$root/build" -j"$(nproc)"
