#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless, then runs
# each fuzz target for a bounded time (FUZZ_SECONDS, 45 by default; 0 runs
# each target once over its seed corpus). With CI=true warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
scripts/fuzz.sh "${FUZZ_SECONDS:-45}"
