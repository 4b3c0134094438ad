#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer and runs it.
#   sanitize.sh [ctest arguments...]     e.g. sanitize.sh -L unit   (default: every test)
# Build folder: build-sanitize (or $SELVANO_SANITIZE_DIR). Any sanitizer report fails the test
# that produced it.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${SELVANO_SANITIZE_DIR:-build-sanitize}
jobs=${SELVANO_JOBS:-$(nproc)}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DSELVANO_SANITIZE=ON >/dev/null
cmake --build "$dir" -j"$jobs"
export QT_QPA_PLATFORM=offscreen
# Leaks are reported by the fuzz programs; here a report of any other kind stops the test.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$dir"
ctest --output-on-failure -j"$jobs" "$@"
