#!/usr/bin/env bash
# Regenerates the picture test data in this folder:
#  - reference.wmf / reference.emf: LibreOffice Draw's export of reference.svg
#    (a red #ff0000 circle, a #3366ff rectangle, "Привет" in Times New Roman);
#  - small raster samples with ImageMagick, each with its own size, and two
#    QuickDraw pictures (PICT) holding them as bitmaps;
#  - huge.png: a PNG header that claims 60000 x 60000 pixels;
#  - the pictures extracted from rtf.js's sample documents (MIT, LICENSE.rtfjs).
# Needs libreoffice-draw-nogui, imagemagick and python3.
set -euo pipefail
cd "$(dirname "$0")"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
for f in wmf emf; do
    HOME=$profile soffice --headless --convert-to $f formula.svg >/dev/null
    HOME=$profile soffice --headless --convert-to $f reference.svg >/dev/null
done

# Left half #3366ff, right half #ff0000: sample SIZE SPLIT OUTPUT [OPTIONS...]
sample() {
    local size=$1 split=$2 out=$3
    shift 3
    convert -size "$size" xc:'#3366ff' -fill '#ff0000' -draw "rectangle $split,0 999,999" "$@" "$out"
}
sample 40x30 20 sample.png
sample 41x31 20 sample.jpg -quality 95
sample 42x32 21 BMP3:sample.bmp
sample 43x33 21 BMP3:palette.bmp -type Palette
sample 44x34 22 BMP2:core.bmp -type Palette
sample 45x35 22 sample.gif
# QuickDraw pictures: indexed colours in PackBitsRect, true colour in DirectBitsRect.
sample 46x36 23 PICT:sample-indexed.pct -type Palette
sample 47x37 23 PICT:sample-direct.pct -type TrueColor
convert -size 48x48 xc:'#3366ff' -define icon:auto-resize=48,16 sample.ico
cp sample.png png-named.jpg
python3 - <<'PY'
import struct, zlib
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
ihdr = struct.pack('>IIBBBBB', 60000, 60000, 8, 2, 0, 0, 0)
open('huge.png', 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(b'\0' * 1000)))
PY

rtfjs=${RTFJS_SAMPLES:-/work/shared/rtf-samples/from-rtfjs}
if [[ -d $rtfjs ]]; then
    install -m 644 "$rtfjs"/LICENSE LICENSE.rtfjs
    install -m 644 "$rtfjs"/import-image.bm0.wmf "$rtfjs"/import-image.bm2.wmf .
    python3 extract_rtf_pictures.py "$rtfjs"/wmf.rtf . wmf- --only=2,14
    python3 extract_rtf_pictures.py "$rtfjs"/wmf-and-emf.rtf . wmf-and-emf- --only=0
fi
