# Writes a large test document as python-docx source for LibreOffice:
# 200 questions, each a "{test=N}" line, an optional "{pic=...}" line and a
# formatted body, a table now and then, and 20 embedded pictures.
# Usage: make_big_rtf.py pictures_dir out.docx
import os
import random
import sys

from docx import Document
from docx.shared import Cm, Pt, RGBColor

pictures = sorted(os.path.join(sys.argv[1], f) for f in os.listdir(sys.argv[1]))
random.seed(7)
doc = Document()
doc.add_paragraph('Итоговый тест по естествознанию')
words = ('сила масса энергия скорость ускорение давление температура объём плотность заряд '
         'напряжение ток сопротивление мощность работа импульс частота волна свет звук').split()
picture_index = 0
for q in range(1, 201):
    doc.add_paragraph('{test=%d}' % random.randint(1, 4))
    if q % 10 == 0:
        doc.add_paragraph('{pic=q%03d.jpg}' % q)
    p = doc.add_paragraph('Вопрос %d. ' % q)
    for i in range(40):
        r = p.add_run(random.choice(words) + ' ')
        if i % 7 == 0:
            r.bold = True
        if i % 11 == 0:
            r.italic = True
        if i % 13 == 0:
            r.font.color.rgb = RGBColor(0x20, 0x40, 0xC0)
        if i % 17 == 0:
            r.font.size = Pt(14)
    p.add_run('x')
    r = p.add_run('2')
    r.font.superscript = True
    if q % 10 == 5 and picture_index < len(pictures):
        doc.add_picture(pictures[picture_index], width=Cm(8))
        picture_index += 1
    if q % 10 == 3:
        t = doc.add_table(rows=3, cols=3)
        t.style = 'Table Grid'
        for row in range(3):
            for col in range(3):
                t.cell(row, col).text = '%s %d' % (random.choice(words), row * 3 + col)
    for a in range(1, 5):
        doc.add_paragraph('%d) %s %s' % (a, random.choice(words), random.choice(words)))
# The rest of the pictures at the end, so that all 20 are in.
while picture_index < len(pictures):
    doc.add_picture(pictures[picture_index], width=Cm(8))
    picture_index += 1
doc.save(sys.argv[2])
