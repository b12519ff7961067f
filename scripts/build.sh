#!/usr/bin/env bash
# Configures and builds into the given folder with the given build type.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder="${1:-$root/build}"
type="${2:-Release}"
cmake -S "$root" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${@:3}"
cmake --build "$folder" -j"$(nproc)"
