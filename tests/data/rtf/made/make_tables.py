# Writes tables.rtf the way Word 2003 writes a Russian test with tables:
# a header row whose cells run bottom to top (\cltxbtlr) and top to bottom
# (\cltxtbrl) in a row of exact and of least height, narrow columns holding
# words that fit whole and one that cannot, and a table wider than the page.
import sys

def cp(text):
    out = []
    for ch in text:
        b = ch.encode('cp1251')
        out.append(ch if b[0] < 0x80 else "\\'%02x" % b[0])
    return ''.join(out)

P = r'\pard\plain \ltrpar\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \f0\fs24\lang1049 '
BOX = r'\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 '

def para(text):
    return P + '{\\insrsid1002 ' + text + '\\par }\n'

def row(height, cells):
    # cells: (right edge, cell keywords, text)
    defs = ''.join(BOX + kw + r'\cellx%d' % x for x, kw, _ in cells)
    head = r'\trowd \irow0\irowband0\ltrrow\ts11\trgaph108\trrh%d\trleft-108\trpaddl108\trpaddr108\trpaddfl3\trpaddfr3 ' % height + defs + '\n'
    body = ''.join(r'\pard\plain \ltrpar\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 \f0\fs24\lang1049 {\insrsid1002 '
                   + cp(t) + r'\cell }' for _, _, t in cells)
    return head + body + '\n' + r'\pard\plain \ltrpar\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 {\insrsid1002 ' + head + r'\row }' + '\n'

rtf = r'''{\rtf1\adeflang1025\ansi\ansicpg1251\uc1\adeff0\deff0\stshfdbch0\stshfloch0\stshfhich0\stshfbi0\deflang1049\deflangfe1049
{\fonttbl{\f0\froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman;}}
{\colortbl;\red0\green0\blue0;}
{\stylesheet{\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \f0\fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049 \snext0 Normal;}}
{\*\generator Microsoft Word 11.0.5604;}{\info{\title ''' + cp('Таблицы') + r'''}{\author ''' + cp('Учитель') + r'''}}
\paperw11906\paperh16838\margl1701\margr850\margt1134\margb1134\gutter0\ltrsect
\deftab708\widowctrl\ftnbj\aenddoc\noxlattoyen\expshrtn\noultrlspc\dntblnsbdb\nospaceforul\hyphcaps0\formshade\horzdoc\dgmargin\dghspace180\dgvspace180\dghorigin1701\dgvorigin1134\dghshow1\dgvshow1
\jexpand\viewkind1\viewscale100\pgbrdrhead\pgbrdrfoot\splytwnine\ftnlytwnine\htmautsp\nolnhtadjtbl\useltbaln\alntblind\lytcalctblwd\lyttblrtgr\lnbrkrule\nobrkwrptbl\snaptogridincell\allowfieldendsel\wrppunct
\asianbrkrule\rsidroot1002 \fet0\sectd \ltrsect\linex0\headery708\footery708\colsx708\endnhere\sectlinegrid360\sectdefaultcl\sftnbj
''' + para(r'\{test=1\}') \
    + para(cp('Заполните таблицу.')) \
    + row(-1700, [(600, r'\cltxbtlr', 'Вариант'), (1200, r'\cltxtbrl', 'Ответ'), (4000, '', 'Столбцы слева повёрнуты')]) \
    + row(400, [(600, r'\cltxbtlr', 'Да'), (1200, '', 'Нет'), (4000, '', 'Строка')]) \
    + para(cp('Узкие столбцы.')) \
    + row(0, [(1300, '', 'Кот и пёс'), (2300, '', 'Электрификация'), (4300, '', 'Санкт-Петербург')]) \
    + para(cp('Широкая таблица.')) \
    + row(0, [(4000, '', 'Первый'), (8000, '', 'Второй'), (12000, '', 'Третий'), (14000, '', 'Край')]) \
    + para(cp('Конец.')) + '}\n'

open(sys.argv[1], 'w', encoding='ascii', newline='\r\n').write(rtf)
