# Writes word-style.rtf the way Microsoft Word writes a Russian document:
# \ansicpg1251, \fcharset204 fonts and \'hh escapes, a picture as
# {\*\shppict} with a {\nonshppict} metafile fallback, an equation object
# whose \result is a WMF picture, a table and a Symbol-font formula.
import sys

png = open(sys.argv[1], 'rb').read().hex()
wmf = open(sys.argv[2], 'rb').read()
if wmf[:4] == b'\xd7\xcd\xc6\x9a':
    wmf = wmf[22:]          # RTF holds a metafile without its placeable header
wmf = wmf.hex()

def cp(text):
    out = []
    for ch in text:
        b = ch.encode('cp1251')
        out.append(ch if b[0] < 0x80 else "\\'%02x" % b[0])
    return ''.join(out)

def wrap(hexdata):
    return '\n'.join(hexdata[i:i + 128] for i in range(0, len(hexdata), 128))

rtf = r'''{\rtf1\adeflang1025\ansi\ansicpg1251\uc1\adeff0\deff0\stshfdbch0\stshfloch0\stshfhich0\stshfbi0\deflang1049\deflangfe1049
{\fonttbl{\f0\fbidi \froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman;}{\f1\fbidi \fswiss\fcharset204\fprq2{\*\panose 020b0604020202020204}Arial;}
{\f3\fbidi \froman\fcharset2\fprq2{\*\panose 05050102010706020507}Symbol;}{\f40\fbidi \froman\fcharset0\fprq2 Times New Roman;}}
{\colortbl;\red0\green0\blue0;\red0\green0\blue255;\red255\green0\blue0;\red255\green255\blue0;\red217\green217\blue217;}
{\stylesheet{\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \rtlch\fcs1 \af0\afs24\alang1025 \ltrch\fcs0 \fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049 \snext0 \sqformat \spriority0 Normal;}
{\*\cs10 \additive \ssemihidden Default Paragraph Font;}}
{\*\rsidtbl \rsid1002\rsid2003}{\*\generator Microsoft Word 11.0.5604;}{\info{\title ''' + cp('Тест') + r'''}{\author ''' + cp('Учитель') + r'''}
{\creatim\yr2024\mo3\dy1\hr10\min5}{\nofpages1}}{\*\xmlnstbl {\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}
\paperw11906\paperh16838\margl1701\margr850\margt1134\margb1134\gutter0\ltrsect
\widowctrl\ftnbj\aenddoc\noxlattoyen\expshrtn\noultrlspc\dntblnsbdb\nospaceforul\formshade\horzdoc\dgmargin\dghspace180\dgvspace180\dghorigin1701\dgvorigin1134\dghshow1\dgvshow1
\jexpand\viewkind1\viewscale100\pgbrdrhead\pgbrdrfoot\splytwnine\ftnlytwnine\htmautsp\nolnhtadjtbl\useltbaln\alntblind\lytcalctblwd\lyttblrtgr\lnbrkrule\nobrkwrptbl\snaptogridincell\allowfieldendsel\wrppunct
\asianbrkrule\rsidroot1002\newtblstyruls\nogrowautofit {\*\fchars !),.:\'3b?]\'7d\'a1\'a7}{\*\lchars ([\'7b\'a2\'a3\'a4}\fet0\sectd \ltrsect\linex0\headery708\footery708\colsx708\endnhere\sectlinegrid360\sectdefaultcl\sftnbj
{\header \pard\plain \qc ''' + cp('Колонтитул не показывается') + r'''\par}
{\*\pnseclvl1\pnucrm\pnstart1\pnindent720\pnhang {\pntxta .}}{\*\pnseclvl2\pnucltr\pnstart1\pnindent720\pnhang {\pntxta .}}
\pard\plain \ltrpar\qc \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \rtlch\fcs1 \af0\afs24\alang1025 \ltrch\fcs0 \fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049 {\rtlch\fcs1 \af0 \ltrch\fcs0 \b\fs32\insrsid1002 ''' + cp('Контрольная работа по алгебре') + r'''
\par }\pard \ltrpar\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 \{test=3\}
\par \{pic=graf.bmp\}
\par ''' + cp('Вычислите ') + r'''}{\rtlch\fcs1 \af0 \ltrch\fcs0 \i\insrsid1002 x}{\rtlch\fcs1 \af0 \ltrch\fcs0 \super\insrsid1002 2}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002  ''' + cp('при') + r''' }{\rtlch\fcs1 \af0 \ltrch\fcs0 \i\insrsid1002 x}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002  = 3, ''' + cp('где') + r''' }{\rtlch\fcs1 \af3 \ltrch\fcs0 \f3\insrsid1002 \'61\'b3\'70}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 .\line ''' + cp('Ответ запишите в виде числа.') + r'''
\par }{\rtlch\fcs1 \af0 \ltrch\fcs0 \cf3\ul\insrsid1002 1) 6}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 \tab 2) 9\tab 3) 3\tab 4) 0
\par \{test=1\}
\par ''' + cp('Какое уравнение изображено?') + r''' }{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 {\object\objemb\objw1200\objh400{\*\objclass Equation.3}{\*\objdata 01050000020000000b0000004571756174696f6e2e3300000000000000000000
0c0000d0cf11e0a1b11ae1000000000000000000000000}{\result {\pict\picscalex100\picscaley100\piccropl0\piccropr0\piccropt0\piccropb0\picw2117\pich706\picwgoal1200\pichgoal400\wmetafile8\bliptag1
''' + wrap(wmf) + r'''}}}}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002
\par 1) ''' + cp('линейное') + r'''\tab 2) ''' + cp('квадратное') + r'''
\par \{test=2\}
\par ''' + cp('Рисунок с запасным вариантом:') + r'''
\par }{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 {\*\shppict{\pict{\*\picprop\shplid1025{\sp{\sn shapeType}{\sv 75}}{\sp{\sn fFlipH}{\sv 0}}}\picscalex100\picscaley100\picw1270\pich635\picwgoal720\pichgoal360\pngblip\bliptag-1
''' + wrap(png) + r'''}}{\nonshppict{\pict\picscalex100\picscaley100\picw1270\pich635\picwgoal720\pichgoal360\wmetafile8\bliptag-2
''' + wrap(wmf) + r'''}}}{\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002
\par ''' + cp('Таблица значений:') + r'''
\par }\trowd \irow0\irowband0\ltrrow\ts11\trgaph108\trleft-108\trbrdrt\brdrs\brdrw10 \trbrdrl\brdrs\brdrw10 \trbrdrb\brdrs\brdrw10 \trbrdrr\brdrs\brdrw10 \trbrdrh\brdrs\brdrw10 \trbrdrv\brdrs\brdrw10
\trftsWidth1\trftsWidthB3\trftsWidthA3\trautofit1\trpaddl108\trpaddr108\trpaddfl3\trpaddfr3\tblrsid1002\tbllkhdrrows\tbllklastrow\tbllkhdrcols\tbllklastcol \clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10
\clcbpat5\cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx1892\clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx3892\pard\plain \ltrpar
\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 \rtlch\fcs1 \af0\afs24\alang1025 \ltrch\fcs0 \fs24\lang1049\langfe1049\cgrid\langnp1049\langfenp1049 {\rtlch\fcs1 \af0 \ltrch\fcs0 \b\insrsid1002 x\cell y\cell }\pard \ltrpar
\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 \trowd \irow0\irowband0\ltrrow\ts11\trgaph108\trleft-108\trbrdrt\brdrs\brdrw10 \trbrdrl\brdrs\brdrw10 \trbrdrb\brdrs\brdrw10 \trbrdrr\brdrs\brdrw10
\trbrdrh\brdrs\brdrw10 \trbrdrv\brdrs\brdrw10 \clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \clcbpat5\cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx1892\clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx3892\row }\trowd \irow1\irowband1\lastrow \ltrrow\ts11\trgaph108\trleft-108\trbrdrt\brdrs\brdrw10 \trbrdrl\brdrs\brdrw10 \trbrdrb\brdrs\brdrw10 \trbrdrr\brdrs\brdrw10 \trbrdrh\brdrs\brdrw10 \trbrdrv\brdrs\brdrw10
\clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \clcbpat5\cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx1892\clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx3892\pard \ltrpar
\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 1\cell ''' + cp('один') + r'''\par ''' + cp('единица') + r'''\cell }\pard \ltrpar\ql \li0\ri0\widctlpar\intbl\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 \trowd \irow1\irowband1\lastrow \ltrrow\ts11\trgaph108\trleft-108\trbrdrt\brdrs\brdrw10 \trbrdrl\brdrs\brdrw10 \trbrdrb\brdrs\brdrw10 \trbrdrr\brdrs\brdrw10 \trbrdrh\brdrs\brdrw10 \trbrdrv\brdrs\brdrw10
\clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \clcbpat5\cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx1892\clvertalt\clbrdrt\brdrs\brdrw10 \clbrdrl\brdrs\brdrw10 \clbrdrb\brdrs\brdrw10 \clbrdrr\brdrs\brdrw10 \cltxlrtb\clftsWidth3\clwWidth2000\clshdrawnil \cellx3892\row }\pard \ltrpar
\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 {\rtlch\fcs1 \af0 \ltrch\fcs0 \insrsid1002 1) ''' + cp('да') + r'''\tab 2) ''' + cp('нет') + r'''
\par }{\rtlch\fcs1 \af40 \ltrch\fcs0 \f40\lang1033\insrsid1002 Caf\'e9 {\field{\*\fldinst {HYPERLINK "http://example.com/" }}{\fldrslt {\cs15\ul\cf2 example}}}
\par }}
'''
open(sys.argv[3], 'w', encoding='latin-1', newline='\r\n').write(rtf)
