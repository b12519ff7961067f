#!/usr/bin/env bash
# Installs what the program needs, builds it, registers the sample database and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-packages.sh" "$root/scripts/packages-run.txt"
"$root/scripts/build.sh" "$root/build" Release -DTESSORY_BUILD_TESTS=OFF -DTESSORY_BUILD_BENCH=OFF
"$root/scripts/register-sample-dsn.sh"
exec "$root/build/tessory"
