#!/usr/bin/env bash
# Generates the large RTF document that bench_rtf reads (about 7.5 MB: 200
# questions, 20 PNG and JPEG pictures, tables), written by LibreOffice,
# which adds an uncompressed WMF fallback to each picture ({\nonshppict}).
# Usage: make_big_rtf.sh OUT.rtf   (needs libreoffice-writer-nogui,
# python3-docx and imagemagick; takes about a minute)
set -euo pipefail
out=$(realpath -m "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME" "$work/pictures"
for i in $(seq -w 1 10); do
    convert -seed "$i" -size 120x90 plasma:fractal "$work/pictures/p$i.png"
    convert -seed "1$i" -size 180x135 plasma:fractal -quality 92 "$work/pictures/j$i.jpg"
done
/usr/bin/python3 "$here/make_big_rtf.py" "$work/pictures" "$work/big.docx"
soffice --headless --convert-to 'rtf:Rich Text Format' --outdir "$work" "$work/big.docx" >/dev/null 2>&1
mkdir -p "$(dirname "$out")"
mv "$work/big.rtf" "$out"
