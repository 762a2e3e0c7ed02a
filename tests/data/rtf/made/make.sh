#!/usr/bin/env bash
# Rebuilds the documents of this folder with real producers and writes
# LibreOffice's text export beside each (NAME.libreoffice.txt):
#   russian.rtf     LibreOffice Writer, from russian.docx (python-docx)
#   pandoc.rtf      pandoc, from source.md
#   word-style.rtf  written the way Word writes Russian documents
#   layout.rtf      written the way Word 97-2003 writes a test: code-page font
#                   variants, tab stops, table row heights (make_layout.py);
#                   layout.pdf beside it in $work is LibreOffice's rendering, from
#                   which the reader's layout tests took their figures
#                   (pdftotext -bbox, pdftohtml -xml, pdftocairo -svg)
#   tables.rtf      written the way Word 2003 writes a test with tables: text
#                   turned on its side in header cells, narrow columns, a
#                   table wider than the page (make_tables.py); the figures
#                   of its tests come from tables.pdf the same way
# Needs libreoffice-writer-nogui, poppler-utils, pandoc, python3-docx and imagemagick.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home
mkdir -p "$HOME"

convert -size 120x60 gradient:red-blue "$work/picture.png"
cat > "$work/formula.svg" <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="160" height="50" viewBox="0 0 160 50">
  <rect x="1" y="1" width="158" height="48" fill="#ffffcc" stroke="#000080"/>
  <text x="10" y="32" font-family="Liberation Serif" font-size="24">y = kx + b</text>
</svg>
SVG
soffice --headless --convert-to wmf --outdir "$work" "$work/formula.svg" >/dev/null 2>&1

/usr/bin/python3 make_docx.py "$work/picture.png" "$work/russian.docx"
soffice --headless --convert-to 'rtf:Rich Text Format' --outdir . "$work/russian.docx" >/dev/null 2>&1
pandoc -s -f markdown -t rtf -o pandoc.rtf source.md
/usr/bin/python3 make_word_style.py "$work/picture.png" "$work/formula.wmf" word-style.rtf
/usr/bin/python3 make_layout.py layout.rtf
/usr/bin/python3 make_tables.py tables.rtf
for f in layout tables; do
    soffice --headless --convert-to pdf --outdir "$work" $f.rtf >/dev/null 2>&1
    pdftotext -bbox "$work/$f.pdf" - | grep '<word'
done

for f in russian pandoc word-style layout tables; do
    soffice --headless --convert-to 'txt:Text (encoded):UTF8' --outdir "$work" "$f.rtf" >/dev/null 2>&1
    cp "$work/$f.txt" "$f.libreoffice.txt"
done
