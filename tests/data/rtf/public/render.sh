#!/usr/bin/env bash
# Remakes renders/, the program's approved drawing of each document of this
# folder as the question view shows it (its first 900 pixels, in 64
# colours), beside which LibreOffice's PDF export was looked at. Run after
# scripts/build.sh; needs imagemagick.
set -euo pipefail
cd "$(dirname "$0")"
render=../../../../build/bin/nastavnik-render
mkdir -p renders
for rtf in */*.rtf; do
    out=renders/$(dirname "$rtf")-$(basename "$rtf" .rtf).png
    QT_QPA_PLATFORM=offscreen "$render" "$rtf" "$out" 2>/dev/null
    convert "$out" -crop 746x900+0+0 +repage -colors 64 -strip "PNG8:$out"
done
