#!/usr/bin/env python3
# Measures how LibreOffice lays out the documents of this folder, for the
# reader's layout tests: each document is exported to PDF by LibreOffice
# (soffice --headless --convert-to pdf) and read back with pdftohtml -xml
# (poppler-utils), which gives every run of text on the first page with its
# position and font, and every picture with its size. Writes layout.tsv,
# one row per figure, in points:
#   DOC  page     TEXTWIDTH                      the page's text width
#   DOC  text     WORD  X  FAMILY                where a paragraph's or run's first word
#                                                begins, from the left margin, and its font
#   DOC  picture  N  WIDTH  HEIGHT               the Nth picture on the first page
# A run is measured only when its first word appears once in the document,
# so that the test finds it. Rows that differ for a known reason carry it in
# a last column, added by hand, and are kept when the file is made again.
# Also writes NAME.libreoffice.txt, LibreOffice's text export of each.
# Needs libreoffice-writer-nogui and poppler-utils.
import glob
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

here = os.path.dirname(os.path.abspath(__file__))
docs = sorted(glob.glob(os.path.join(here, '*', '*.rtf')))
work = tempfile.mkdtemp()
env = dict(os.environ, HOME=os.path.join(work, 'home'))


def soffice(target, files, outdir):
    subprocess.run(['soffice', '--headless', '--convert-to', target, '--outdir', outdir] + files,
                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)


def twips(rtf, word, default):
    m = re.search(rb'\\' + word.encode() + rb'(-?\d+)', rtf)
    return int(m.group(1)) if m else default


def family(name):
    name = name.split('+', 1)[-1]
    return re.sub(r'[-,](Bold|Italic|BoldItalic|Oblique|BoldOblique|Regular)$', '', name).replace(' ', '')


notes = {}
old = os.path.join(here, 'layout.tsv')
if os.path.exists(old):
    for line in open(old, encoding='utf-8'):
        cells = line.rstrip('\n').split('\t')
        if len(cells) >= 6 and cells[1] == 'text':
            notes[(cells[0], cells[2])] = cells[5]

pdfdir = os.path.join(work, 'pdf')
txtdir = os.path.join(work, 'txt')
soffice('pdf', docs, pdfdir)
soffice('txt:Text (encoded):UTF8', docs, txtdir)

rows = []
for path in docs:
    name = os.path.splitext(os.path.basename(path))[0]
    doc = os.path.relpath(os.path.splitext(path)[0], here)
    shutil.copy(os.path.join(txtdir, name + '.txt'), os.path.splitext(path)[0] + '.libreoffice.txt')
    rtf = open(path, 'rb').read()
    # Without margins of its own a document gets LibreOffice's: an inch.
    left = twips(rtf, 'margl', 1440) / 20
    width = (twips(rtf, 'paperw', 12240) - twips(rtf, 'margl', 1440) - twips(rtf, 'margr', 1440)) / 20
    rows.append([doc, 'page', '%.1f' % width])
    text = open(os.path.join(txtdir, name + '.txt'), encoding='utf-8-sig').read()
    words = re.findall(r'\w+', text)
    pdf = os.path.join(pdfdir, name + '.pdf')
    xml = subprocess.run(['pdftohtml', '-xml', '-zoom', '1', '-f', '1', '-l', '1', '-stdout', pdf],
                         cwd=work, capture_output=True).stdout
    page = ET.fromstring(xml).find('page')
    fonts = {f.get('id'): family(f.get('family')) for f in page.iter('fontspec')}
    runs = [(float(t.get('top')), float(t.get('left')), float(t.get('width')), fonts.get(t.get('font'), ''))
            for t in page.iter('text')]
    # Words with their boxes; a word is measured where it begins a line or
    # follows a gap wider than a few spaces (a tab).
    bbox = subprocess.run(['pdftotext', '-bbox', '-f', '1', '-l', '1', pdf, '-'], capture_output=True).stdout
    boxes = []
    for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">(.*?)</word>',
                         bbox.decode('utf-8')):
        boxes.append((html.unescape(m.group(4)), float(m.group(1)), float(m.group(2)), float(m.group(3))))
    measured = 0
    previous = None
    for word, x, y, right in boxes:
        starts = previous is None or abs(previous[1] - y) > 2 or x - previous[2] > 20
        previous = (word, y, right)
        # Scripts without a font installed here (Chinese, Japanese) are not
        # measured: both fall back to whatever font has the glyphs.
        first = re.match(r'[A-Za-z\u00c0-\u024f\u0370-\u03ff\u0400-\u04ff][\w]{2,}', word)
        if not starts or not first or first.group(0) != word.rstrip('.,:;') or words.count(first.group(0)) != 1 \
                or measured >= 10:
            continue
        font = next((f for top, left_, w, f in runs if abs(top - y) < 4 and left_ - 1 <= x <= left_ + w), '')
        row = [doc, 'text', first.group(0), '%.1f' % (x - left), font]
        if (doc, first.group(0)) in notes:
            row.append(notes[(doc, first.group(0))])
        rows.append(row)
        measured += 1
    for n, image in enumerate(page.iter('image')):
        rows.append([doc, 'picture', str(n), image.get('width'), image.get('height')])

with open(old, 'w', encoding='utf-8') as out:
    for row in rows:
        out.write('\t'.join(row) + '\n')
shutil.rmtree(work)
