#!/usr/bin/env bash
# Installs what the tests need, checks the layering and formatting of the sources, builds, and
# runs the whole suite with CTest; then builds and checks the Debian package, runs the tests
# of the widget-free layers under AddressSanitizer and UndefinedBehaviorSanitizer, and the whole
# suite under ThreadSanitizer. The PostgreSQL and MariaDB servers the database tests use are
# started and stopped by CTest fixtures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-packages.sh" "$root/scripts/packages-run.txt" "$root/scripts/packages-test.txt"
"$root/scripts/check-source.sh"
"$root/scripts/build.sh" "$root/build-test" Debug
cd "$root/build-test"
ctest --output-on-failure -j2 --timeout 600
"$root/scripts/check-package.sh" "$root/build-package"
if [[ -x "$root/scripts/sanitize-core.sh" ]]; then
    "$root/scripts/sanitize-core.sh"
fi
"$root/scripts/sanitize-thread.sh"  # the whole suite under ThreadSanitizer, in build-tsan
"$root/scripts/fuzz.sh" "$root/build-fuzz"  # bounded libFuzzer runs of the widget-free layers
