#!/usr/bin/env bash
# Builds the screenshot tool and remakes the README screenshots in docs/
# under a virtual X display (1024 x 768), so real X11 fonts are used.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target screenshots -j2
xvfb-run -a -s "-screen 0 1024x768x24" build/bin/screenshots docs/
