#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (the tree the fuzz targets live in too) and runs every test
# there; a leak, an invalid access or undefined behaviour fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh asan
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 900
