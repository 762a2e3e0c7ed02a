#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on its bundled
# demo library. Without a display it runs the program under Xvfb for a few
# seconds and saves a screenshot of the main window instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

program=build/bin/nastavnik
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$program"
fi

echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty): running under Xvfb for a few seconds."
shot="$PWD/build/screenshot-main.png"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$program_pid" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$program" &
program_pid=$!
window=""
for _ in $(seq 1 50); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --name 'Тестирование' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && break
    sleep 0.2
done
sleep 2
if [[ -n "$window" ]]; then
    DISPLAY=$display import -window "$window" "$shot"
else
    DISPLAY=$display import -window root "$shot"
fi
echo "Screenshot of the main window: $shot"
