#!/usr/bin/env bash
# Installs what the tests need, builds, and runs the whole suite with CTest. The PostgreSQL
# cluster the database tests use is started and stopped by CTest fixtures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-packages.sh" "$root/scripts/packages-run.txt" "$root/scripts/packages-test.txt"
"$root/scripts/build.sh" "$root/build-test" Debug
cd "$root/build-test"
ctest --output-on-failure -j2 --timeout 600
if [[ -x "$root/scripts/sanitize-core.sh" ]]; then
    "$root/scripts/sanitize-core.sh"
fi
