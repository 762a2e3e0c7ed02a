#!/usr/bin/env bash
# Builds the screenshot tool and remakes the README screenshots in docs/
# under a virtual X display (1024 x 768), so real X11 fonts are used.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target screenshots -j2
xvfb-run -a -s "-screen 0 1024x768x24" build/bin/screenshots docs/
# The main window on a screen scaled to 200 %: the same window, twice as
# many pixels, drawn from the larger drawings of the bitmaps.
scaled=$(mktemp -d)
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2048x1536x24" build/bin/screenshots "$scaled/" >/dev/null
cp "$scaled/main-question.png" docs/main-question-200.png
rm -rf "$scaled"
