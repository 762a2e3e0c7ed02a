# Writes layout.rtf the way Word 97-2003 writes a Russian test: fonts named
# by their Cyrillic code-page variants ("Times New Roman Cyr", "Arial Cyr"
# with {\*\falt}), numbered answers with a hanging indent and a tab after
# the number, right, centred and decimal tab stops, default tab stops of
# \deftab708 (1.25 cm), and a table with \trgaph108 and row heights.
import sys

def cp(text):
    out = []
    for ch in text:
        b = ch.encode('cp1251')
        out.append(ch if b[0] < 0x80 else "\\'%02x" % b[0])
    return ''.join(out)

P = r'\pard\plain \ltrpar\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \f0\fs24\lang1049 '

def para(props, text):
    return P + props + (' ' if props else '') + '{\\insrsid1002 ' + text + '\\par }\n'

def row(height, cells):
    defs = ''.join(r'\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \cellx%d' % x
                   for x, _ in cells)
    head = r'\trowd \irow0\irowband0\ltrrow\ts11\trgaph108\trrh%d\trleft-108\trpaddl108\trpaddr108\trpaddfl3\trpaddfr3 ' % height + defs + '\n'
    body = ''.join(r'\pard\plain \ltrpar\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 \f0\fs24\lang1049 {\insrsid1002 '
                   + cp(t) + r'\cell }' for _, t in cells)
    return head + body + '\n' + r'\pard\plain \ltrpar\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 {\insrsid1002 ' + head + r'\row }' + '\n'

rtf = r'''{\rtf1\adeflang1025\ansi\ansicpg1251\uc1\adeff0\deff0\stshfdbch0\stshfloch0\stshfhich0\stshfbi0\deflang1049\deflangfe1049
{\fonttbl{\f0\froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman Cyr;}{\f1\fswiss\fcharset204\fprq2{\*\panose 020b0604020202020204}Arial Cyr{\*\falt Arial};}
{\f2\fmodern\fcharset204\fprq1{\*\panose 02070309020205020404}Courier New Cyr;}{\f3\froman\fcharset2\fprq2{\*\panose 05050102010706020507}Symbol;}
{\f4\froman\fcharset238\fprq2 Times New Roman CE;}{\f5\fswiss\fcharset204\fprq2 Pragmatica{\*\falt Arial};}}
{\colortbl;\red0\green0\blue0;}
{\stylesheet{\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \f0\fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049 \snext0 Normal;}}
{\*\generator Microsoft Word 10.0.6612;}{\info{\title ''' + cp('Тест') + r'''}{\author ''' + cp('Учитель') + r'''}}
\paperw11906\paperh16838\margl1701\margr850\margt1134\margb1134\gutter0\ltrsect
\deftab708\widowctrl\ftnbj\aenddoc\noxlattoyen\expshrtn\noultrlspc\dntblnsbdb\nospaceforul\hyphcaps0\formshade\horzdoc\dgmargin\dghspace180\dgvspace180\dghorigin1701\dgvorigin1134\dghshow1\dgvshow1
\jexpand\viewkind1\viewscale100\pgbrdrhead\pgbrdrfoot\splytwnine\ftnlytwnine\htmautsp\nolnhtadjtbl\useltbaln\alntblind\lytcalctblwd\lyttblrtgr\lnbrkrule\nobrkwrptbl\snaptogridincell\allowfieldendsel\wrppunct
\asianbrkrule\rsidroot1002 \fet0\sectd \ltrsect\linex0\headery708\footery708\colsx708\endnhere\sectlinegrid360\sectdefaultcl\sftnbj
''' + para('', r'\{test=2\}') \
    + para('', cp('Какая планета ближе всех к Солнцу?')) \
    + para(r'\fi-360\li720\lin720', cp('1)') + r'\tab ' + cp('Марс')) \
    + para(r'\fi-360\li720\lin720', cp('2)') + r'\tab ' + cp('Меркурий')) \
    + para(r'\fi-360\li720\lin720', r'{\f1 ' + cp('3)') + r'\tab ' + cp('Венера') + '}') \
    + para(r'\fi-360\li720\lin720', r'{\f2 ' + cp('4)') + r'\tab ' + cp('Юпитер') + '}') \
    + para(r'\tqr\tx9000', cp('Вопрос') + r'\tab ' + cp('Баллы')) \
    + para(r'\tqc\tx4500', r'\tab ' + cp('По центру')) \
    + para(r'\tqdec\tx3000', r'\tab 314,15') \
    + para(r'\tldot\tx6000', cp('Глава первая') + r'\tab 7') \
    + para('', cp('а') + r'\tab ' + cp('б') + r'\tab ' + cp('в')) \
    + para(r'\tx2268', cp('Имя:') + r'\tab ' + cp('Фамилия:') + r'\tab ' + cp('Класс:')) \
    + para('', r'{\f4 ' + 'Czcionka CE' + r'}{\f5  ' + cp('Прагматика') + '}') \
    + row(400, [(2000, 'Строка'), (5000, 'Высота не меньше 20 pt')]) \
    + row(-600, [(2000, 'Точно'), (5000, 'Высота ровно 30 pt')]) \
    + row(0, [(2000, 'Авто'), (5000, 'По тексту')]) \
    + para('', cp('Конец.')) + '}\n'

open(sys.argv[1], 'w', encoding='ascii', newline='\r\n').write(rtf)
