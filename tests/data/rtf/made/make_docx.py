# Builds russian.docx: a Russian test document with formatting, a table and
# a picture. LibreOffice then writes it as RTF (see make.sh).
import sys
from docx import Document
from docx.shared import Pt, RGBColor, Cm

doc = Document()
doc.add_paragraph('Тест по физике')
doc.add_paragraph('{test=2}')
doc.add_paragraph('{pic=опыт.jpg}')
p = doc.add_paragraph('Какая ')
r = p.add_run('сила'); r.bold = True
p.add_run(' действует на ')
r = p.add_run('тело'); r.italic = True
p.add_run(' в жидкости? ')
r = p.add_run('Важно'); r.font.color.rgb = RGBColor(0xC0, 0x00, 0x00); r.font.size = Pt(16)
p.add_run(' E = mc')
r = p.add_run('2'); r.font.superscript = True
p.add_run(', H')
r = p.add_run('2'); r.font.subscript = True
p.add_run('O.')
doc.add_paragraph('1) сила тяжести')
doc.add_paragraph('2) сила Архимеда')
doc.add_paragraph('3) сила трения')
doc.add_paragraph('4) сила упругости')
doc.add_paragraph('{test=1}')
doc.add_paragraph('Заполните таблицу:')
t = doc.add_table(rows=2, cols=3)
t.style = 'Table Grid'
for i, text in enumerate(['Величина', 'Обозначение', 'Единица']):
    t.cell(0, i).text = text
t.cell(1, 0).text = 'Масса'
t.cell(1, 1).text = 'm'
t.cell(1, 2).paragraphs[0].text = 'кг'
t.cell(1, 2).add_paragraph('(килограмм)')
doc.add_paragraph('1) верно')
doc.add_paragraph('2) неверно')
doc.add_paragraph('{test=4}')
doc.add_paragraph('Что изображено на рисунке?')
doc.add_picture(sys.argv[1], width=Cm(3))
doc.add_paragraph('1) круг 2) квадрат 3) треугольник 4) ромб')
doc.save(sys.argv[2])
