#!/bin/sh
# Builds the program and its tests with ThreadSanitizer in a folder of their own and runs the
# tests there: the worker thread, the cancel of a running statement and the ODBC layer under the
# real drivers, then the rest of the suite (widgets on the offscreen platform). Exits non-zero
# when anything fails or a data race is reported.
# Qt, unixODBC and the drivers are not built with ThreadSanitizer: what it cannot see inside them
# is listed in tsan.supp, which names only those libraries.
# Usage: scripts/sanitize-thread.sh [build folder]   (default: build-tsan)
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$source_dir/build-tsan"}
flags="-fsanitize=thread -fno-omit-frame-pointer"
launcher=""
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi

# shellcheck disable=SC2086  # $launcher is a list of options
cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug -DTESSORY_BUILD_BENCH=OFF $launcher \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
cmake --build "$build_dir" -j"${TESSORY_JOBS:-2}"

# ignore_noninstrumented_modules leaves out what the drivers, loaded and unloaded by the driver
# manager, do through the C library; tsan.supp names the libraries loaded with the program.
# die_after_fork=0: a test that starts a process (fork, then exec at once) may start threads
# afterwards; the child never runs our code.
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1} die_after_fork=0 ignore_noninstrumented_modules=1 suppressions=$source_dir/scripts/tsan.supp"
export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
# First the layers without widgets: the worker thread, the statement cancel and the ODBC layer on
# every driver; then the windows, offscreen. The whole suite takes about 3 minutes here.
ctest --output-on-failure -j"${TESSORY_JOBS:-2}" --timeout 600 -L '^(core|engines|data|files)'
ctest --output-on-failure -j"${TESSORY_JOBS:-2}" --timeout 600 -LE '^(core|engines|data|files)'
