#!/usr/bin/env bash
# Installs what is needed, builds Zorbeth and starts it. Arguments go to the program (e.g. --folder DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
exec "$root/build/zorbeth" "$@"
