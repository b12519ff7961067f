#!/usr/bin/env bash
# Checks the sources before anything is built: no include runs upwards through the layers, and
# every C++ file is formatted as .clang-format says.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
python3 scripts/check-layers.py
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "sources: layers and formatting are clean"
