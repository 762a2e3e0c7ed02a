// The RTF reader. One pass over the bytes: a tokenizer splits them into
// groups, control words and text; an explicit stack of group states (no
// recursion, so deep nesting cannot overflow the C++ stack) tracks the
// current destination and the character and paragraph properties.
//
// Text is gathered as bytes and decoded per run with the code page of the
// run's font (a font's \fcharset or \cpg wins over the document's
// \ansicpg: Word writes Russian text as \ansicpg1252 with \fcharset204
// fonts). Runs of equal formatting are collected into paragraphs, which are
// committed at \par and \cell. Paragraphs outside tables go straight into
// the document; table rows are buffered until the table ends and are then
// written as one QTextTable (nested tables become QTextTables inside cells).
#include "richtext/RtfReader.h"

#include "library/Cp1251.h"
#include "library/TagLine.h"
#include "richtext/CellLayout.h"
#include "richtext/Charsets.h"
#include "richtext/HardLineLayout.h"
#include "richtext/Pictures.h"
#include "richtext/SymbolFonts.h"

#include <QColor>
#include <QCryptographicHash>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <array>
#include <cmath>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

namespace RtfReader {
namespace {

// Cell edges come from the document and may be as large as an int holds;
// sums of them saturate instead of overflowing.
int twipsAdd(int a, int b)
{
    return int(std::clamp<qint64>(qint64(a) + b, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// ---------------------------------------------------------------------------
// Limits that keep damaged or hostile documents bounded.

constexpr int MaxGroupDepth = 2000;     // deeper groups are read past and ignored
constexpr int MaxTableDepth = 16;       // deeper table levels are folded into this one
constexpr int MaxGridColumns = 64;      // distinct cell edges before a table is laid out simply
constexpr int MaxTableCells = 100000;   // bigger grids are written as plain paragraphs
constexpr qint64 MergeBudget = 100'000'000; // merged cells times grid cells per table
constexpr int MaxPictureSide = 4096;    // pixels
constexpr int MaxRenderSide = 2048;     // pixels: metafiles are rendered at most this big
constexpr int TwipsPerPixel = 15;       // 1440 twips per inch at 96 dpi
constexpr qsizetype ProgressStep = 64 * 1024;   // bytes read between two reports of progress

// ---------------------------------------------------------------------------
// The keyword table: every control word the reader acts on. Looked up by
// binary search in a table sorted once.

#define NASTAVNIK_RTF_KEYWORDS(X)                                                              \
    X(aftncn) X(aftnsep) X(aftnsepc) X(annotation) X(ansi) X(ansicpg) X(atnauthor) X(atnid)    \
    X(b) X(bin) X(bkmkend) X(bkmkstart) X(blipuid) X(blue) X(brdrb) X(brdrbox) X(brdrcf)       \
    X(brdrdash) X(brdrdb) X(brdrdot) X(brdrl) X(brdrnil) X(brdrnone) X(brdrr) X(brdrs)         \
    X(brdrsh) X(brdrt) X(brdrtbl) X(brdrth) X(brdrw) X(bullet)                                 \
    X(caps) X(cb) X(cell) X(cellx) X(cf) X(chcbpat) X(chftn) X(clbrdrb) X(clbrdrl) X(clbrdrr)           \
    X(clbrdrt) X(clcbpat) X(clmgf) X(clmrg) X(cltxbtlr) X(cltxtbrl) X(cltxtbrlv) X(clvertalb) X(clvertalc) X(clvertalt) X(clvmgf)   \
    X(clvmrg) X(colorschememapping) X(colortbl) X(contextualspace) X(cpg)                                         \
    X(datastore) X(deff) X(deftab) X(dibitmap) X(dn) X(do) X(docvar)                                     \
    X(emdash) X(emfblip) X(emspace) X(endash) X(enspace)                                       \
    X(f) X(falt) X(fbidi) X(fcharset) X(fdecor) X(fi) X(field) X(filetbl) X(fldinst) X(fldrslt) X(fonttbl) X(footer)      \
    X(fmodern) X(fnil) X(footerf) X(footerl) X(footerr) X(footnote) X(froman) X(fs) X(fscript)  \
    X(fswiss) X(ftech) X(ftncn) X(ftnsep) X(ftnsepc)                                           \
    X(generator) X(green)                                                                      \
    X(header) X(headerf) X(headerl) X(headerr) X(highlight)                                    \
    X(i) X(info) X(intbl) X(itap)                                                              \
    X(jpegblip)                                                                                \
    X(latentstyles) X(ldblquote) X(li) X(lin) X(line) X(listoverridetable) X(listtable)        \
    X(listtext)                                                                                \
    X(lquote) X(ltrmark)                                                                       \
    X(mac) X(macpict) X(mmath) X(mmathPict)                                                    \
    X(nestcell) X(nestrow) X(nesttableprops) X(nonesttables) X(nonshppict) X(nosupersub)       \
    X(objdata) X(object)                                                                       \
    X(page) X(par) X(pard) X(pc) X(pca) X(pgdsctbl) X(pich) X(pichgoal) X(picprop)             \
    X(picscalex) X(picscaley) X(pict) X(picw) X(picwgoal) X(plain) X(pmmetafile) X(pn)         \
    X(pngblip) X(pnseclvl) X(pntext) X(pntxta) X(pntxtb)                                       \
    X(qc) X(qd) X(qj) X(ql) X(qmspace) X(qr)                                                   \
    X(rdblquote) X(red) X(result) X(revtbl) X(ri) X(rin) X(row) X(rquote) X(rsidtbl) X(rtf)    \
    X(rtlmark) X(rxe)                                                                          \
    X(s) X(sa) X(sb) X(scaps) X(sect) X(shp) X(shpgrp) X(shpinst) X(shppict) X(shprslt) X(shptxt)   \
    X(sl) X(slmult) X(sn) X(sp) X(strike) X(striked) X(stylesheet) X(sub) X(super) X(sv)       \
    X(tab) X(tb) X(tc) X(template) X(themedata) X(tldot) X(tleq) X(tlhyph) X(tlmdot) X(tlth) X(tlul)  \
    X(tqc) X(tqdec) X(tqr) X(trbrdrb) X(trbrdrh) X(trbrdrl) X(trbrdrr)          \
    X(trbrdrt) X(trbrdrv) X(trgaph) X(trleft) X(trowd) X(trpaddb) X(trpaddfb) X(trpaddfl)       \
    X(trpaddfr) X(trpaddft) X(trpaddl) X(trpaddr) X(trpaddt) X(trqc) X(trqr) X(trrh) X(tx) X(txe) \
    X(u) X(uc) X(ud) X(ul) X(uld) X(uldash) X(uldashd) X(uldashdd) X(uldb) X(ulhwave)          \
    X(ulldash) X(ulnone) X(ulth) X(ulthd) X(ulthdash) X(ulthdashd) X(ulthdashdd) X(ulthldash)  \
    X(ululdbwave) X(ulw) X(ulwave) X(up) X(upr) X(userprops)                                   \
    X(v)                                                                                       \
    X(wbitmap) X(wmetafile)                                                                    \
    X(xe) X(xmlnstbl)                                                                          \
    X(zwbo) X(zwj) X(zwnbo) X(zwnj)

enum class Kw : quint16 {
#define NASTAVNIK_RTF_ENUM(name) K_##name,
    NASTAVNIK_RTF_KEYWORDS(NASTAVNIK_RTF_ENUM)
#undef NASTAVNIK_RTF_ENUM
    Unknown
};

struct KeywordName
{
    std::string_view name;
    Kw id;
};

const std::vector<KeywordName> &keywordTable()
{
    static const std::vector<KeywordName> table = [] {
        std::vector<KeywordName> t = {
#define NASTAVNIK_RTF_ENTRY(name) {std::string_view(#name), Kw::K_##name},
            NASTAVNIK_RTF_KEYWORDS(NASTAVNIK_RTF_ENTRY)
#undef NASTAVNIK_RTF_ENTRY
        };
        std::sort(t.begin(), t.end(), [](const KeywordName &a, const KeywordName &b) { return a.name < b.name; });
        return t;
    }();
    return table;
}

Kw findKeyword(std::string_view name)
{
    const auto &table = keywordTable();
    const auto it = std::lower_bound(table.begin(), table.end(), name,
                                     [](const KeywordName &k, std::string_view n) { return k.name < n; });
    return (it != table.end() && it->name == name) ? it->id : Kw::Unknown;
}

// Destinations whose content is never shown: skipped even without \*.
bool isSkippedDestination(Kw k)
{
    switch (k) {
    case Kw::K_aftncn: case Kw::K_aftnsep: case Kw::K_aftnsepc: case Kw::K_annotation:
    case Kw::K_atnauthor: case Kw::K_atnid: case Kw::K_bkmkend: case Kw::K_bkmkstart:
    case Kw::K_blipuid: case Kw::K_colorschememapping: case Kw::K_datastore: case Kw::K_do:
    case Kw::K_docvar: case Kw::K_filetbl: case Kw::K_footer: case Kw::K_footerf:
    case Kw::K_footerl: case Kw::K_footerr: case Kw::K_ftncn:
    case Kw::K_ftnsep: case Kw::K_ftnsepc: case Kw::K_generator: case Kw::K_header:
    case Kw::K_headerf: case Kw::K_headerl: case Kw::K_headerr: case Kw::K_info:
    case Kw::K_latentstyles: case Kw::K_listoverridetable: case Kw::K_listtable:
    case Kw::K_nonesttables: case Kw::K_nonshppict: case Kw::K_objdata: case Kw::K_pgdsctbl:
    case Kw::K_picprop: case Kw::K_pn: case Kw::K_pnseclvl: case Kw::K_pntxta: case Kw::K_pntxtb:
    case Kw::K_revtbl: case Kw::K_rsidtbl: case Kw::K_rxe: case Kw::K_stylesheet: case Kw::K_tc:
    case Kw::K_template: case Kw::K_themedata: case Kw::K_txe: case Kw::K_userprops: case Kw::K_xe:
    case Kw::K_xmlnstbl:
        return true;
    default:
        return false;
    }
}

// Destinations the reader understands when they come after \*.
bool isKnownStarredDestination(Kw k)
{
    switch (k) {
    case Kw::K_fldinst: case Kw::K_fldrslt: case Kw::K_shppict: case Kw::K_shpinst:
    case Kw::K_shprslt: case Kw::K_nesttableprops: case Kw::K_ud: case Kw::K_mmathPict:
    case Kw::K_mmath: case Kw::K_pict: case Kw::K_field: case Kw::K_result: case Kw::K_object:
    case Kw::K_shp: case Kw::K_shpgrp: case Kw::K_sp: case Kw::K_sn: case Kw::K_sv: case Kw::K_falt:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Fonts.

struct Font
{
    QString name;
    QByteArray nameBytes;
    QString family;         // the name without a code-page suffix
    QString alt;            // {\*\falt}: the font to use when this one is missing
    QByteArray altBytes;
    QFont::StyleHint hint = QFont::AnyStyle;
    int charset = -1;
    int cpg = 0;
    // A font whose characters are its own codes, not a code page's letters;
    // those of a known symbol font are turned into Unicode.
    bool symbolCodes = false;
    SymbolFonts::Kind symbol = SymbolFonts::Kind::None;
    // LibreOffice 3 wrote its list bullets in OpenSymbol as the byte 0x96
    // under whatever charset it gave the font (often 128, Japanese).
    bool openSymbol = false;
};

// Old Windows installed each font once more for every code page, as
// "Times New Roman Cyr", "Arial CE", "Courier New (Hebrew)" and so on, and
// documents written there still name those variants. Windows' own font
// substitutes send them to the base family; so does the reader, so that a
// Russian document is set in its serif font rather than in a fallback.
QString baseFamily(const QString &name)
{
    // Windows' font substitutes also give the PostScript names of Mac and
    // old documents their Windows families.
    static const QHash<QString, QString> substitutes = {
        {QStringLiteral("times"), QStringLiteral("Times New Roman")},
        {QStringLiteral("tms rmn"), QStringLiteral("Times New Roman")},
        {QStringLiteral("helvetica"), QStringLiteral("Arial")},
        {QStringLiteral("helv"), QStringLiteral("Arial")},
        {QStringLiteral("courier"), QStringLiteral("Courier New")},
    };
    if (const auto it = substitutes.constFind(name.toLower()); it != substitutes.constEnd())
        return *it;
    static const char16_t *const suffixes[] = {u" Cyr", u" CE", u" Greek", u" Tur", u" Baltic", u" (Hebrew)",
                                               u" (Arabic)", u" (Vietnamese)"};
    for (const char16_t *suffix : suffixes) {
        const QStringView s(suffix);
        if (name.size() > s.size() + 1 && name.endsWith(s, Qt::CaseInsensitive))
            return name.left(name.size() - s.size()).trimmed();
    }
    return name;
}

QString decodeFontName(const QByteArray &bytes, int codepage)
{
    return Charsets::decode(codepage, bytes).trimmed();
}

// ---------------------------------------------------------------------------
// Group state.

enum class Dest : quint8 {
    Text,        // document text
    Skip,        // ignored, with everything inside
    FontTable,
    FontAlt,     // {\*\falt ...} inside a font table entry
    ColorTable,
    Picture,
    FieldInst,   // a field's instruction, collected as text
    Upr,         // the ANSI half of \upr: only its \ud is read
    ShapeInst,   // a shape's properties: only its picture is read
    ShapeName,   // {\sn ...}
    ShapePib,    // {\sv ...} of the shape's picture property
};

struct CharState
{
    int font = -1;
    int size = 24;      // half points
    int fg = 0;         // colour table index, 0 = automatic
    int bg = 0;         // colour table index, 0 = none
    int link = -1;      // index into the hyperlink targets
    quint8 underline = QTextCharFormat::NoUnderline;
    qint8 vpos = 0;     // 1 superscript, -1 subscript
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;

    bool operator==(const CharState &) const = default;
};

struct ParState
{
    int align = 0;      // 0 left, 1 centre, 2 right, 3 justified
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;   // twips
    bool slmult = false;
    bool intbl = false;
    int itap = 0;
    int style = 0;              // \s: the paragraph's style
    bool contextual = false;    // no space between it and a neighbour of its style
    int tabs = 0;       // the paragraph's tab stops: index into the parser's tab sets

    int level() const
    {
        const int l = itap > 0 ? itap : (intbl ? 1 : 0);
        return std::min(l, MaxTableDepth);
    }
};

struct TabStop
{
    int position = 0;   // twips from the paragraph's left edge, as Word measures
    QTextOption::TabType type = QTextOption::LeftTab;

    bool operator==(const TabStop &) const = default;
};

struct GroupState
{
    CharState chr;
    ParState par;
    Dest dest = Dest::Text;
    int uc = 1;
    bool nestTableProps = false;
    bool label = false;     // a list label ({\listtext}, {\pntext})
    bool shppict = false;   // inside {\*\shppict}, which may have a {\nonshppict} twin
};

// ---------------------------------------------------------------------------
// Buffered content: paragraphs and tables waiting to be written.

struct Run
{
    QString text;
    QTextCharFormat format;   // an image format for a picture
};

struct Paragraph
{
    QTextBlockFormat format;
    std::vector<Run> runs;
    int style = -1;     // the style whose neighbours it keeps no space from, or -1
};

struct Table;

struct Block
{
    Paragraph paragraph;
    std::unique_ptr<Table> table;
};

struct Cell
{
    std::vector<Block> blocks;
};

struct Border
{
    bool on = false;
    int width = 15;     // twips
    int colour = 0;
};

struct CellDef
{
    int right = 0;
    bool hFirst = false, hMerged = false, vFirst = false, vMerged = false;
    int shade = 0;
    int valign = 0;     // 0 top, 1 centre, 2 bottom
    int textFlow = 0;   // a CellLayout::TextFlow: text turned to run upwards or downwards
    std::array<Border, 4> border;   // top, left, bottom, right
};

struct RowDef
{
    std::vector<CellDef> cells;
    CellDef next;
    int gap = 0;        // half the space between cells (\trgaph, none unless given): the cells' left and right padding
    int left = 0;
    int align = 0;
    int height = 0;     // twips; at least this when positive, exactly its magnitude when negative
    // Padding in twips, top, left, bottom, right; -1 where the row gives none.
    std::array<int, 4> padding{-1, -1, -1, -1};
    std::array<int, 4> paddingUnit{0, 0, 0, 0};   // 3: the padding is in twips, otherwise ignored
    std::array<Border, 6> border;   // top, left, bottom, right, inner horizontal, inner vertical
};

struct Row
{
    std::vector<Cell> cells;
    RowDef def;
};

struct Table
{
    std::vector<Row> rows;
    std::vector<Cell> cells;    // cells of the row being read
    Cell current;               // the cell being read
};

// Where paragraphs are written: the document's main flow or a table cell.
struct Flow
{
    QTextCursor cursor;
    bool fresh = true;          // the cursor's block is empty and unused
    int lastStyle = -1;         // Paragraph::style of the last paragraph written
};

struct Field
{
    int depth = 0;
    QString instruction;
    int link = -1;
    // A SYMBOL field's character, shown when the field brings no result.
    QString symbol;
    int symbolSize = 0;         // half points; 0 keeps the text's size
    quint64 textMark = 0;       // text added before the result
};

struct Shape
{
    int depth = 0;
    bool hasPicture = false;
    QString propertyName;
};

struct Picture
{
    bool active = false;
    bool forShape = false;
    bool inShpPict = false;
    bool hidden = false;
    int depth = 0;
    Pictures::Format format = Pictures::Format::Unknown;
    bool metafile = false;
    bool supported = true;
    bool macPict = false;       // QuickDraw PICT, as Word for Mac writes pictures
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
    int nibble = -1;
    QByteArray data;
};

// 0..15 for hex digits, -1 otherwise.
constexpr std::array<qint8, 256> HexValue = [] {
    std::array<qint8, 256> t{};
    for (auto &v : t)
        v = -1;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = qint8(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        t[c] = qint8(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        t[c] = qint8(c - 'A' + 10);
    return t;
}();

// Bytes that end a run of text.
constexpr std::array<bool, 256> EndsText = [] {
    std::array<bool, 256> t{};
    t[uchar('\\')] = t[uchar('{')] = t[uchar('}')] = t[uchar('\r')] = t[uchar('\n')] = true;
    t[uchar('\t')] = t[0] = true;
    return t;
}();

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The font table's family kinds: what to fall back to when a font is missing.
QFont::StyleHint fontKindHint(Kw k)
{
    switch (k) {
    case Kw::K_froman: return QFont::Serif;
    case Kw::K_fswiss: return QFont::SansSerif;
    case Kw::K_fmodern: return QFont::TypeWriter;
    case Kw::K_fscript: return QFont::Cursive;
    case Kw::K_fdecor: return QFont::Decorative;
    default: return QFont::AnyStyle;
    }
}

int clampInt(qint64 v, int lo, int hi)
{
    return int(std::clamp<qint64>(v, lo, hi));
}

// ---------------------------------------------------------------------------

class Parser
{
public:
    Parser(const QByteArray &bytes, QTextDocument &document, const Progress &progress)
        : m_data(bytes.constData()), m_end(bytes.constData() + bytes.size()), m_document(document),
          m_begin(bytes.constData()), m_progress(progress)
    {
        m_main.cursor = QTextCursor(&document);
        m_stack.reserve(64);
    }

    Result run();

private:
    // tokenizer
    void readControl();
    void readText();
    void openGroup();
    void closeGroup();

    // keywords
    void keyword(Kw k, bool hasParam, int param);
    void symbol(char c);
    bool destinationKeyword(Kw k, bool starred);
    void textKeyword(Kw k, bool hasParam, int param);
    void tableKeyword(Kw k, bool hasParam, int param);

    // text
    void addBytes(const char *p, qsizetype n);
    void addByte(char c) { m_bytes.append(c); }
    void flushBytes();
    void addText(QStringView text);
    void addChar(char16_t c) { flushBytes(); addText(QStringView(&c, 1)); }
    void addUnicode(int value);
    void closeRun();
    QTextCharFormat charFormat(const CharState &c) const;
    const Font *font(int index) const;
    int codepageOf(const CharState &c) const;
    bool isTextDest() const;

    // paragraphs and tables
    QTextBlockFormat blockFormat(const ParState &p) const;
    QList<QTextOption::Tab> tabPositions(const ParState &p) const;
    void addTabStop(ParState &p, int position);
    Paragraph takeParagraph();
    void endParagraph();
    void placeParagraph(int level, Paragraph &&paragraph);
    void flushFootnotes();
    void openTablesTo(int level);
    void closeTablesDeeperThan(int level);
    void finishRow(Table &table, int level);
    void endCell(int level);
    void endRow(int level);
    RowDef &rowDef(int level);
    Border *borderTarget();

    // output
    void emitBlock(Flow &flow, Block &block);
    void emitParagraph(Flow &flow, Paragraph &paragraph);
    void emitTable(Flow &flow, Table &table);

    // pictures, fields, shapes
    void beginPicture(bool forShape);
    void addHex(const char *p, qsizetype n);
    void finishPicture();
    void finishFieldInstruction();
    void finishHyperlink(Field &field, const QStringList &args);
    void symbolField(Field &field, const QStringList &args);
    void finishFontName();
    void finishFontAlt();
    int fontNameCodepage(const Font &f) const;

    GroupState &state() { return m_stack.back(); }
    const GroupState &state() const { return m_stack.back(); }

    // Reports progress; false when the reading is to stop.
    bool reportProgress();

    const char *m_data;
    const char *m_end;
    QTextDocument &m_document;
    const char *m_begin;
    const Progress &m_progress;
    qsizetype m_nextReport = ProgressStep;   // offset of the next report
    Flow m_main;

    std::vector<GroupState> m_stack;
    int m_overflow = 0;         // groups opened beyond MaxGroupDepth
    bool m_done = false;
    bool m_star = false;
    bool m_groupStart = false;  // nothing read yet in the group: where \* may mark a destination
    bool m_starAllowed = false;
    int m_ucSkip = 0;
    char16_t m_highSurrogate = 0;

    int m_ansiCodepage = 1252;
    int m_defaultTab = 720;     // \deftab, twips
    QTextOption::TabType m_nextTabType = QTextOption::LeftTab;
    std::vector<std::vector<TabStop>> m_tabSets{{}};   // set 0: no stops of its own
    QHash<QByteArray, int> m_tabSetIndex;
    int m_defaultFont = 0;      // \deff; font 0 when the document names none
    QHash<int, Font> m_fonts;
    int m_currentFont = -1;     // font table entry being read
    std::vector<QColor> m_colours;  // invalid colour = automatic
    int m_red = -1, m_green = -1, m_blue = -1;
    QHash<int, std::array<char16_t, 256>> m_codepageTables;

    QByteArray m_bytes;
    QString m_runText;
    CharState m_runState;
    std::vector<Run> m_runs;

    std::vector<std::unique_ptr<Table>> m_tables;   // open tables, level 1 first
    std::vector<RowDef> m_rowDefs;
    int m_borderTarget = -1;    // 0..3 cell sides, 4..9 row borders
    int m_borderLevel = 1;

    Picture m_picture;
    int m_pictureCount = 0;
    // Pictures already in the document, by a digest of their bytes and the
    // size they were rendered at: a picture that comes again (a logo on
    // every page, a formula written twice) is decoded and held once. An
    // empty name stands for a picture that could not be decoded.
    struct KnownPicture
    {
        QString name;
        QSize size;
    };
    QHash<QByteArray, KnownPicture> m_knownPictures;
    int m_distinctPictures = 0;
    bool m_placeholderAdded = false;
    int m_placeholderRun = -1;  // index in m_runs of a grey box a {\nonshppict} may replace
    int m_footnoteCount = 0;
    std::vector<Field> m_fields;
    bool m_paragraphText = false;   // the paragraph holds text besides its list label
    // Footnotes: their paragraphs wait until the next tag line, or the end
    // of the document, while the body paragraph they interrupt waits here.
    int m_footnoteDepth = 0;
    std::vector<Run> m_bodyRuns;
    bool m_bodyText = false;
    std::vector<Paragraph> m_footnotes;
    quint64 m_textAdded = 0;    // characters of document text so far
    std::vector<QString> m_links;
    std::vector<Shape> m_shapes;
};

Result Parser::run()
{
    m_stack.push_back(GroupState{});
    m_colours.clear();
    // Skip the opening brace of the document: the root state is pushed above.
    const char *p = m_data;
    while (p < m_end && *p != '{')
        ++p;
    m_data = p < m_end ? p + 1 : m_end;

    while (m_data < m_end && !m_done) {
        if (m_data - m_begin >= m_nextReport && !reportProgress())
            return Result{true, m_pictureCount, true};
        const char c = *m_data;
        if (c == '{') {
            ++m_data;
            openGroup();
        } else if (c == '}') {
            ++m_data;
            closeGroup();
        } else if (c == '\\') {
            readControl();
        } else if (c == '\r' || c == '\n' || c == 0) {
            ++m_data;
        } else if (c == '\t') {
            ++m_data;
            flushBytes();
            m_star = false;
            if (m_overflow == 0 && isTextDest())
                addChar(u'\t');
        } else {
            readText();
        }
    }

    // End of the document, or of the bytes of a truncated one: keep what was read.
    flushBytes();
    m_overflow = 0;
    while (m_stack.size() > 1)
        closeGroup();
    if (m_picture.active)
        finishPicture();
    closeRun();
    if (!m_runs.empty())
        endParagraph();
    closeTablesDeeperThan(0);
    flushFootnotes();
    return Result{true, m_pictureCount};
}

bool Parser::reportProgress()
{
    m_nextReport = (m_data - m_begin) + ProgressStep;
    if (!m_progress)
        return true;
    const qint64 total = std::max<qint64>(1, m_end - m_begin);
    return m_progress(int((m_data - m_begin) * 100 / total));
}

bool Parser::isTextDest() const
{
    const Dest d = state().dest;
    return d == Dest::Text || d == Dest::FieldInst || d == Dest::ShapeName;
}

int Parser::fontNameCodepage(const Font &f) const
{
    const int cp = f.cpg > 0 ? f.cpg : Charsets::codePage(std::max(f.charset, 0));
    return (cp == 0 || cp == Charsets::SymbolCodePage) ? m_ansiCodepage : cp;
}

void Parser::finishFontAlt()
{
    if (m_currentFont < 0)
        return;
    Font &f = m_fonts[m_currentFont];
    if (f.alt.isEmpty() && !f.altBytes.isEmpty())
        f.alt = baseFamily(decodeFontName(f.altBytes, fontNameCodepage(f)));
}

void Parser::finishFontName()
{
    if (m_currentFont < 0)
        return;
    Font &f = m_fonts[m_currentFont];
    if (!f.name.isEmpty() || f.nameBytes.isEmpty())
        return;
    f.name = decodeFontName(f.nameBytes, fontNameCodepage(f));
    if (f.name.isEmpty())
        f.name = QStringLiteral(" ");
    f.family = baseFamily(f.name);
    if (f.name.compare(u"OpenSymbol", Qt::CaseInsensitive) == 0 || f.name.compare(u"StarSymbol", Qt::CaseInsensitive) == 0) {
        f.openSymbol = true;
        f.cpg = 1252;
    }
    const QString lower = f.name.toLower();
    f.symbol = SymbolFonts::kindOf(f.name);
    f.symbolCodes = f.symbol != SymbolFonts::Kind::None || f.charset == 2 || lower.startsWith(u"wingdings")
        || lower == u"webdings";
}

// --- tokenizer --------------------------------------------------------------

void Parser::openGroup()
{
    flushBytes();
    m_star = false;
    m_groupStart = true;
    m_ucSkip = 0;
    if (m_overflow > 0 || int(m_stack.size()) >= MaxGroupDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void Parser::closeGroup()
{
    flushBytes();
    m_star = false;
    m_ucSkip = 0;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.size() <= 1) {
        // The document's own closing brace: whatever follows is not RTF.
        m_done = true;
        return;
    }
    const int depth = int(m_stack.size());
    const GroupState closing = m_stack.back();

    if (closing.dest == Dest::FontTable)
        finishFontName();   // an entry without its closing semicolon
    if (closing.dest == Dest::FontAlt && m_stack[m_stack.size() - 2].dest != Dest::FontAlt)
        finishFontAlt();
    if (m_picture.active && m_picture.depth == depth)
        finishPicture();
    if (closing.dest == Dest::FieldInst && m_stack[m_stack.size() - 2].dest != Dest::FieldInst)
        finishFieldInstruction();
    m_stack.pop_back();
    if (m_footnoteDepth == depth) {
        closeRun();
        if (!m_runs.empty())
            m_footnotes.push_back(takeParagraph());
        m_runs = std::move(m_bodyRuns);
        m_bodyRuns.clear();
        m_paragraphText = m_bodyText;
        m_footnoteDepth = 0;
    }
    if (!m_fields.empty() && m_fields.back().depth == depth) {
        const Field field = std::move(m_fields.back());
        m_fields.pop_back();
        // A SYMBOL field whose result is empty, as Word 97-2003 writes it,
        // shows the character its instruction names.
        if (!field.symbol.isEmpty() && field.textMark == m_textAdded && state().dest == Dest::Text) {
            CharState &chr = state().chr;
            const CharState saved = chr;
            if (field.symbolSize > 0)
                chr.size = field.symbolSize;
            addText(field.symbol);
            chr = saved;
        }
    }
    if (!m_shapes.empty() && m_shapes.back().depth == depth)
        m_shapes.pop_back();
}

void Parser::readText()
{
    if (m_data < m_end && *m_data != ' ')
        m_groupStart = false;
    const char *start = m_data;
    const char *p = m_data;
    while (p < m_end && !EndsText[uchar(*p)])
        ++p;
    m_data = p;
    m_star = false;
    if (m_overflow > 0)
        return;
    qsizetype n = p - start;
    switch (state().dest) {
    case Dest::Picture:
        addHex(start, n);
        return;
    case Dest::FontTable:
        for (qsizetype i = 0; i < n; ++i) {
            if (start[i] == ';') {
                finishFontName();
            } else if (m_currentFont >= 0) {
                Font &f = m_fonts[m_currentFont];
                if (f.name.isEmpty() && f.nameBytes.size() < 256)
                    f.nameBytes.append(start[i]);
            }
        }
        return;
    case Dest::FontAlt:
        if (m_currentFont >= 0) {
            Font &f = m_fonts[m_currentFont];
            if (f.altBytes.size() < 256)
                f.altBytes.append(start, std::min<qsizetype>(n, 256));
        }
        return;
    case Dest::ColorTable:
        for (qsizetype i = 0; i < n; ++i) {
            if (start[i] == ';') {
                if (m_colours.size() < 4096) {
                    if (m_red < 0 && m_green < 0 && m_blue < 0)
                        m_colours.push_back(QColor());
                    else
                        m_colours.push_back(QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
                }
                m_red = m_green = m_blue = -1;
            }
        }
        return;
    case Dest::Text:
    case Dest::FieldInst:
    case Dest::ShapeName:
        if (m_ucSkip > 0) {
            const qsizetype skipped = std::min<qsizetype>(m_ucSkip, n);
            m_ucSkip -= int(skipped);
            start += skipped;
            n -= skipped;
        }
        if (n > 0)
            addBytes(start, n);
        return;
    default:
        return;
    }
}

void Parser::readControl()
{
    // Only a \* that opens its group marks an ignorable destination;
    // LibreOffice and Word read past one that stands among text.
    m_starAllowed = m_groupStart;
    m_groupStart = false;
    const char *p = m_data + 1;   // after the backslash
    if (p >= m_end) {
        m_data = m_end;
        return;
    }
    const char c = *p;
    if (isLetter(c)) {
        const char *nameStart = p;
        while (p < m_end && isLetter(*p))
            ++p;
        const std::string_view name(nameStart, size_t(std::min<qsizetype>(p - nameStart, 32)));
        const bool tooLong = p - nameStart > 32;
        bool hasParam = false;
        bool negative = false;
        qint64 value = 0;
        if (p < m_end && *p == '-' && p + 1 < m_end && isDigit(p[1])) {
            negative = true;
            ++p;
        }
        while (p < m_end && isDigit(*p)) {
            hasParam = true;
            if (value < 10'000'000'000LL)
                value = value * 10 + (*p - '0');
            ++p;
        }
        if (p < m_end && *p == ' ')
            ++p;
        m_data = p;
        if (negative)
            value = -value;
        const int param = clampInt(value, -2147483647, 2147483647);
        const Kw k = tooLong ? Kw::Unknown : findKeyword(name);

        if (k == Kw::K_bin) {
            // Binary data: its length is clamped to what is left of the file.
            const qsizetype n = hasParam && param > 0 ? std::min<qsizetype>(param, m_end - m_data) : 0;
            const char *bin = m_data;
            m_data += n;
            flushBytes();
            m_star = false;
            if (m_ucSkip > 0) {
                --m_ucSkip;
                return;
            }
            if (m_overflow == 0 && state().dest == Dest::Picture && m_picture.active)
                m_picture.data.append(bin, n);
            return;
        }
        flushBytes();
        if (m_overflow > 0) {
            m_star = false;
            return;
        }
        if (m_ucSkip > 0 && k != Kw::K_u)
            m_ucSkip = 0;   // a control word ends an unfinished fallback
        keyword(k, hasParam, param);
        return;
    }

    if (c == '\'') {
        // \'hh: one byte in the current code page. A bad digit skips the escape.
        m_data = p + 1;
        int v = 0;
        bool ok = true;
        for (int i = 0; i < 2; ++i) {
            if (m_data < m_end && HexValue[uchar(*m_data)] >= 0) {
                v = v * 16 + HexValue[uchar(*m_data)];
                ++m_data;
            } else {
                ok = false;
                break;
            }
        }
        m_star = false;
        if (!ok || m_overflow > 0)
            return;
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        const Dest d = state().dest;
        if (d == Dest::FontTable) {
            if (m_currentFont >= 0) {
                Font &f = m_fonts[m_currentFont];
                if (f.name.isEmpty() && f.nameBytes.size() < 256)
                    f.nameBytes.append(char(v));
            }
        } else if (d == Dest::FontAlt) {
            if (m_currentFont >= 0 && m_fonts[m_currentFont].altBytes.size() < 256)
                m_fonts[m_currentFont].altBytes.append(char(v));
        } else if (isTextDest()) {
            addByte(char(v));
        }
        return;
    }

    m_data = p + 1;
    flushBytes();
    if (m_overflow > 0) {
        m_star = false;
        return;
    }
    symbol(c);
}

void Parser::symbol(char c)
{
    if (c == '*') {
        m_star = m_starAllowed;
        return;
    }
    m_star = false;
    if (c == '\r' || c == '\n') {
        // A backslash before a line break is a paragraph mark.
        m_ucSkip = 0;
        keyword(Kw::K_par, false, 0);
        return;
    }
    char16_t ch = 0;
    switch (c) {
    case '\\': ch = u'\\'; break;
    case '{': ch = u'{'; break;
    case '}': ch = u'}'; break;
    case '~': ch = 0x00A0; break;
    case '-': ch = 0x00AD; break;
    case '_': ch = 0x2011; break;
    case '\t': ch = u'\t'; break;
    default: return;          // \: \| and unknown symbols
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    if (state().dest == Dest::FontTable) {
        if (m_currentFont >= 0 && m_fonts[m_currentFont].name.isEmpty() && ch < 0x80)
            m_fonts[m_currentFont].nameBytes.append(char(ch));
        return;
    }
    if (isTextDest())
        addChar(ch);
}

// --- keywords ---------------------------------------------------------------

void Parser::keyword(Kw k, bool hasParam, int param)
{
    const bool starred = m_star;
    m_star = false;
    GroupState &st = state();

    if (st.dest == Dest::Skip)
        return;

    if (k == Kw::Unknown) {
        if (starred)
            st.dest = Dest::Skip;
        return;
    }
    if (starred && !isKnownStarredDestination(k)) {
        st.dest = Dest::Skip;
        return;
    }
    if (k == Kw::K_uc) {
        st.uc = std::clamp(hasParam ? param : 1, 0, 16);
        return;
    }
    if (k == Kw::K_u) {
        if (isTextDest() && hasParam)
            addUnicode(param);
        m_ucSkip = st.uc;
        return;
    }

    switch (st.dest) {
    case Dest::Text:
        break;
    case Dest::FontTable:
        if (k == Kw::K_f) {
            m_currentFont = param;
            Font &f = m_fonts[param];
            f = Font{};
        } else if (k == Kw::K_fcharset && m_currentFont >= 0) {
            m_fonts[m_currentFont].charset = param;
        } else if (k == Kw::K_cpg && m_currentFont >= 0) {
            m_fonts[m_currentFont].cpg = param;
        } else if (k == Kw::K_falt) {
            st.dest = Dest::FontAlt;
        } else if (m_currentFont >= 0 && fontKindHint(k) != QFont::AnyStyle) {
            m_fonts[m_currentFont].hint = fontKindHint(k);
        } else if (isSkippedDestination(k) || k == Kw::K_pict) {
            st.dest = Dest::Skip;
        }
        return;
    case Dest::ColorTable:
        if (k == Kw::K_red)
            m_red = std::clamp(param, 0, 255);
        else if (k == Kw::K_green)
            m_green = std::clamp(param, 0, 255);
        else if (k == Kw::K_blue)
            m_blue = std::clamp(param, 0, 255);
        return;
    case Dest::Picture:
        switch (k) {
        case Kw::K_pngblip: m_picture.format = Pictures::Format::Png; m_picture.metafile = false; break;
        case Kw::K_jpegblip: m_picture.format = Pictures::Format::Jpeg; m_picture.metafile = false; break;
        case Kw::K_emfblip: m_picture.format = Pictures::Format::Emf; m_picture.metafile = true; break;
        case Kw::K_wmetafile: m_picture.format = Pictures::Format::Wmf; m_picture.metafile = true; break;
        case Kw::K_dibitmap: m_picture.format = Pictures::Format::Dib; m_picture.metafile = false; break;
        case Kw::K_wbitmap: m_picture.format = Pictures::Format::Unknown; m_picture.supported = false; break;
        case Kw::K_macpict: m_picture.macPict = true; break;
        case Kw::K_pmmetafile: m_picture.supported = false; break;
        case Kw::K_picw: m_picture.picw = param; break;
        case Kw::K_pich: m_picture.pich = param; break;
        case Kw::K_picwgoal: m_picture.goalw = param; break;
        case Kw::K_pichgoal: m_picture.goalh = param; break;
        case Kw::K_picscalex: m_picture.scalex = param; break;
        case Kw::K_picscaley: m_picture.scaley = param; break;
        default:
            if (isSkippedDestination(k) || k == Kw::K_pict)
                st.dest = Dest::Skip;
            break;
        }
        return;
    case Dest::FontAlt:
        return;
    case Dest::Upr:
        if (k == Kw::K_ud)
            st.dest = Dest::Text;
        return;
    case Dest::FieldInst:
        if (k == Kw::K_pict || isSkippedDestination(k))
            st.dest = Dest::Skip;
        else if (k == Kw::K_tab || k == Kw::K_line)
            addChar(u' ');
        return;
    case Dest::ShapeInst:
        if (k == Kw::K_sn) {
            st.dest = Dest::ShapeName;
            if (!m_shapes.empty())
                m_shapes.back().propertyName.clear();
        } else if (k == Kw::K_sv) {
            st.dest = (!m_shapes.empty() && m_shapes.back().propertyName.trimmed() == u"pib") ? Dest::ShapePib
                                                                                                : Dest::Skip;
        } else if (k == Kw::K_pict || isSkippedDestination(k) || k == Kw::K_shptxt) {
            st.dest = Dest::Skip;
        }
        return;
    case Dest::ShapeName:
        return;
    case Dest::ShapePib:
        if (k == Kw::K_pict) {
            if (m_picture.active || st.chr.hidden) {
                st.dest = Dest::Skip;
            } else {
                beginPicture(true);
            }
        }
        return;
    case Dest::Skip:
        return;
    }

    // Text destination.
    if (destinationKeyword(k, starred))
        return;
    textKeyword(k, hasParam, param);
}

// Keywords that open a destination; true when handled.
bool Parser::destinationKeyword(Kw k, bool starred)
{
    GroupState &st = state();
    if (k == Kw::K_nonshppict && m_placeholderRun >= 0 && m_placeholderRun == int(m_runs.size()) - 1
        && m_runText.isEmpty()) {
        m_runs.pop_back();
        --m_pictureCount;   // the next picture takes its name
        m_placeholderRun = -1;
        return true;
    }
    if (isSkippedDestination(k)) {
        st.dest = Dest::Skip;
        return true;
    }
    switch (k) {
    case Kw::K_fonttbl:
        st.dest = Dest::FontTable;
        m_currentFont = -1;
        return true;
    case Kw::K_colortbl:
        st.dest = Dest::ColorTable;
        m_colours.clear();
        m_red = m_green = m_blue = -1;
        return true;
    case Kw::K_pict:
        if (m_picture.active)
            st.dest = Dest::Skip;
        else
            beginPicture(false);
        return true;
    case Kw::K_field:
        if (m_fields.size() < 64) {
            Field field;
            field.depth = int(m_stack.size());
            m_fields.push_back(std::move(field));
        }
        return true;
    case Kw::K_footnote:
        if (m_footnoteDepth > 0 || st.chr.hidden) {
            st.dest = Dest::Skip;
            return true;
        }
        closeRun();
        m_bodyRuns = std::move(m_runs);
        m_runs.clear();
        m_bodyText = m_paragraphText;
        m_paragraphText = false;
        m_footnoteDepth = int(m_stack.size());
        st.label = false;
        return true;
    case Kw::K_fldinst:
        st.dest = Dest::FieldInst;
        if (!m_fields.empty())
            m_fields.back().instruction.clear();
        return true;
    case Kw::K_fldrslt:
        if (!m_fields.empty() && m_fields.back().link >= 0)
            st.chr.link = m_fields.back().link;
        return true;
    case Kw::K_upr:
        st.dest = Dest::Upr;
        return true;
    case Kw::K_ud:
        return true;
    case Kw::K_shp:
    case Kw::K_shpgrp:
        if (m_shapes.size() < 64)
            m_shapes.push_back(Shape{int(m_stack.size()), false, {}});
        return true;
    case Kw::K_shpinst:
        st.dest = Dest::ShapeInst;
        return true;
    case Kw::K_shprslt:
        // The shape's own picture, when it had one, stands for the result.
        if (!m_shapes.empty() && m_shapes.back().hasPicture)
            st.dest = Dest::Skip;
        return true;
    case Kw::K_sp:
    case Kw::K_sn:
    case Kw::K_sv:
        // Shape properties outside a shape: nothing to show.
        st.dest = Dest::Skip;
        return true;
    case Kw::K_nesttableprops:
        st.nestTableProps = true;
        return true;
    case Kw::K_shppict:
        st.shppict = true;
        return true;
    case Kw::K_object: case Kw::K_result: case Kw::K_mmath: case Kw::K_mmathPict:
        return true;
    default:
        return starred;
    }
}

void Parser::textKeyword(Kw k, bool hasParam, int param)
{
    GroupState &st = state();
    CharState &c = st.chr;
    ParState &p = st.par;
    const bool on = !hasParam || param != 0;
    switch (k) {
    // document
    case Kw::K_ansicpg:
        if (param > 0)
            m_ansiCodepage = param;
        return;
    case Kw::K_mac: m_ansiCodepage = 10000; return;
    case Kw::K_pc: m_ansiCodepage = 437; return;
    case Kw::K_pca: m_ansiCodepage = 850; return;
    case Kw::K_deftab:
        if (param > 0)
            m_defaultTab = std::clamp(param, 15, 31680);
        return;
    case Kw::K_tqr: m_nextTabType = QTextOption::RightTab; return;
    case Kw::K_tqc: m_nextTabType = QTextOption::CenterTab; return;
    case Kw::K_tqdec: m_nextTabType = QTextOption::DelimiterTab; return;
    case Kw::K_tx:
        addTabStop(p, param);
        m_nextTabType = QTextOption::LeftTab;
        return;
    case Kw::K_tb:
        // A bar tab draws a vertical line and is no stop for text.
        m_nextTabType = QTextOption::LeftTab;
        return;
    case Kw::K_deff:
        m_defaultFont = param;
        if (m_stack.size() <= 2)
            c.font = param;
        return;

    // characters
    case Kw::K_plain: {
        const int link = c.link;
        c = CharState{};
        c.font = m_defaultFont;
        c.link = link;
        return;
    }
    case Kw::K_f: c.font = param; return;
    case Kw::K_fs: c.size = hasParam ? std::clamp(param, 2, 3276) : 24; return;
    case Kw::K_b: c.bold = on; return;
    case Kw::K_i: c.italic = on; return;
    case Kw::K_strike: case Kw::K_striked: c.strike = on; return;
    case Kw::K_v: c.hidden = on; return;
    case Kw::K_caps: c.caps = on; return;
    case Kw::K_scaps: c.smallCaps = on; return;
    case Kw::K_ul: case Kw::K_ulw: case Kw::K_uldb: case Kw::K_ulth:
        c.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        return;
    case Kw::K_uld:
        c.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        return;
    case Kw::K_uldash: case Kw::K_uldashd: case Kw::K_uldashdd: case Kw::K_ulldash: case Kw::K_ulthd:
    case Kw::K_ulthdash: case Kw::K_ulthdashd: case Kw::K_ulthdashdd: case Kw::K_ulthldash:
        c.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        return;
    case Kw::K_ulwave: case Kw::K_ulhwave: case Kw::K_ululdbwave:
        c.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        return;
    case Kw::K_ulnone: c.underline = QTextCharFormat::NoUnderline; return;
    case Kw::K_super: c.vpos = on ? 1 : 0; return;
    case Kw::K_sub: c.vpos = on ? -1 : 0; return;
    case Kw::K_nosupersub: c.vpos = 0; return;
    case Kw::K_up: c.vpos = (!hasParam || param > 0) ? 1 : 0; return;
    case Kw::K_dn: c.vpos = (!hasParam || param > 0) ? -1 : 0; return;
    case Kw::K_cf: c.fg = std::max(param, 0); return;
    case Kw::K_cb: case Kw::K_chcbpat: case Kw::K_highlight: c.bg = std::max(param, 0); return;

    // special characters
    case Kw::K_tab: addChar(u'\t'); return;
    case Kw::K_line: addChar(0x2028); return;
    case Kw::K_emdash: addChar(0x2014); return;
    case Kw::K_endash: addChar(0x2013); return;
    case Kw::K_bullet: addChar(0x2022); return;
    case Kw::K_lquote: addChar(0x2018); return;
    case Kw::K_rquote: addChar(0x2019); return;
    case Kw::K_ldblquote: addChar(0x201C); return;
    case Kw::K_rdblquote: addChar(0x201D); return;
    case Kw::K_enspace: addChar(0x2002); return;
    case Kw::K_emspace: addChar(0x2003); return;
    case Kw::K_qmspace: addChar(0x2005); return;
    case Kw::K_zwj: addChar(0x200D); return;
    case Kw::K_zwnj: addChar(0x200C); return;
    case Kw::K_zwbo: addChar(0x200B); return;
    case Kw::K_zwnbo: addChar(0xFEFF); return;
    case Kw::K_ltrmark: addChar(0x200E); return;
    case Kw::K_rtlmark: addChar(0x200F); return;
    case Kw::K_chftn:
        // The footnote's mark, in the text and again in front of the note.
        addText(QString::number(m_footnoteDepth > 0 ? std::max(m_footnoteCount, 1) : ++m_footnoteCount));
        return;

    // paragraphs
    case Kw::K_par: endParagraph(); return;
    case Kw::K_page:
    case Kw::K_sect:
        // A page or section break ends the paragraph it stands in; on its
        // own it makes no line, and right after a list label it keeps the
        // label with the text that follows.
        closeRun();
        if (!m_runs.empty() && m_paragraphText)
            endParagraph();
        return;
    case Kw::K_listtext:
    case Kw::K_pntext:
        st.label = true;
        return;
    case Kw::K_pard: {
        p = ParState{};
        return;
    }
    case Kw::K_ql: p.align = 0; return;
    case Kw::K_qc: p.align = 1; return;
    case Kw::K_qr: p.align = 2; return;
    case Kw::K_qj: case Kw::K_qd: p.align = 3; return;
    case Kw::K_li: case Kw::K_lin: p.li = param; return;
    case Kw::K_ri: case Kw::K_rin: p.ri = param; return;
    case Kw::K_fi: p.fi = param; return;
    case Kw::K_sb: p.sb = param; return;
    case Kw::K_sa: p.sa = param; return;
    case Kw::K_sl: p.sl = param; return;
    case Kw::K_slmult: p.slmult = on; return;
    case Kw::K_s: p.style = param; return;
    case Kw::K_contextualspace: p.contextual = on; return;
    case Kw::K_intbl: p.intbl = on; return;
    case Kw::K_itap: p.itap = std::clamp(param, 0, MaxTableDepth); return;

    default:
        tableKeyword(k, hasParam, param);
        return;
    }
}

RowDef &Parser::rowDef(int level)
{
    level = std::clamp(level, 1, MaxTableDepth);
    if (int(m_rowDefs.size()) < level)
        m_rowDefs.resize(size_t(level));
    return m_rowDefs[size_t(level - 1)];
}

Border *Parser::borderTarget()
{
    if (m_borderTarget < 0)
        return nullptr;
    RowDef &def = rowDef(m_borderLevel);
    if (m_borderTarget < 4)
        return &def.next.border[size_t(m_borderTarget)];
    return &def.border[size_t(m_borderTarget - 4)];
}

void Parser::tableKeyword(Kw k, bool hasParam, int param)
{
    const GroupState &st = state();
    const int defLevel = st.nestTableProps ? std::max(2, st.par.level()) : 1;
    if (m_footnoteDepth > 0 && (k == Kw::K_cell || k == Kw::K_nestcell || k == Kw::K_row || k == Kw::K_nestrow)) {
        // A note is read as plain paragraphs.
        endParagraph();
        return;
    }
    switch (k) {
    case Kw::K_cell: endCell(1); return;
    case Kw::K_nestcell: endCell(std::max(2, st.par.level())); return;
    case Kw::K_row: endRow(1); return;
    case Kw::K_nestrow: endRow(std::max(2, st.par.level())); return;
    case Kw::K_trowd:
        rowDef(defLevel) = RowDef{};
        m_borderTarget = -1;
        return;
    case Kw::K_cellx: {
        RowDef &def = rowDef(defLevel);
        def.next.right = param;
        if (def.cells.size() < 4096)
            def.cells.push_back(def.next);
        def.next = CellDef{};
        m_borderTarget = -1;
        return;
    }
    case Kw::K_trgaph: rowDef(defLevel).gap = param; return;
    case Kw::K_trrh: rowDef(defLevel).height = std::clamp(param, -31680, 31680); return;
    case Kw::K_trpaddt: rowDef(defLevel).padding[0] = std::clamp(param, 0, 31680); return;
    case Kw::K_trpaddl: rowDef(defLevel).padding[1] = std::clamp(param, 0, 31680); return;
    case Kw::K_trpaddb: rowDef(defLevel).padding[2] = std::clamp(param, 0, 31680); return;
    case Kw::K_trpaddr: rowDef(defLevel).padding[3] = std::clamp(param, 0, 31680); return;
    case Kw::K_trpaddft: rowDef(defLevel).paddingUnit[0] = param; return;
    case Kw::K_trpaddfl: rowDef(defLevel).paddingUnit[1] = param; return;
    case Kw::K_trpaddfb: rowDef(defLevel).paddingUnit[2] = param; return;
    case Kw::K_trpaddfr: rowDef(defLevel).paddingUnit[3] = param; return;
    case Kw::K_trleft: rowDef(defLevel).left = param; return;
    case Kw::K_trqc: rowDef(defLevel).align = 1; return;
    case Kw::K_trqr: rowDef(defLevel).align = 2; return;
    case Kw::K_clmgf: rowDef(defLevel).next.hFirst = true; return;
    case Kw::K_clmrg: rowDef(defLevel).next.hMerged = true; return;
    case Kw::K_clvmgf: rowDef(defLevel).next.vFirst = true; return;
    case Kw::K_clvmrg: rowDef(defLevel).next.vMerged = true; return;
    case Kw::K_clcbpat: rowDef(defLevel).next.shade = std::max(param, 0); return;
    case Kw::K_clvertalt: rowDef(defLevel).next.valign = 0; return;
    case Kw::K_clvertalc: rowDef(defLevel).next.valign = 1; return;
    case Kw::K_clvertalb: rowDef(defLevel).next.valign = 2; return;
    case Kw::K_cltxbtlr: rowDef(defLevel).next.textFlow = int(CellLayout::TextFlow::Upwards); return;
    case Kw::K_cltxtbrl: case Kw::K_cltxtbrlv:
        rowDef(defLevel).next.textFlow = int(CellLayout::TextFlow::Downwards);
        return;
    case Kw::K_clbrdrt: m_borderTarget = 0; m_borderLevel = defLevel; return;
    case Kw::K_clbrdrl: m_borderTarget = 1; m_borderLevel = defLevel; return;
    case Kw::K_clbrdrb: m_borderTarget = 2; m_borderLevel = defLevel; return;
    case Kw::K_clbrdrr: m_borderTarget = 3; m_borderLevel = defLevel; return;
    case Kw::K_trbrdrt: m_borderTarget = 4; m_borderLevel = defLevel; return;
    case Kw::K_trbrdrl: m_borderTarget = 5; m_borderLevel = defLevel; return;
    case Kw::K_trbrdrb: m_borderTarget = 6; m_borderLevel = defLevel; return;
    case Kw::K_trbrdrr: m_borderTarget = 7; m_borderLevel = defLevel; return;
    case Kw::K_trbrdrh: m_borderTarget = 8; m_borderLevel = defLevel; return;
    case Kw::K_trbrdrv: m_borderTarget = 9; m_borderLevel = defLevel; return;
    case Kw::K_brdrt: case Kw::K_brdrl: case Kw::K_brdrb: case Kw::K_brdrr: case Kw::K_brdrbox:
        m_borderTarget = -1;   // paragraph borders are not drawn
        return;
    case Kw::K_brdrs: case Kw::K_brdrth: case Kw::K_brdrdb: case Kw::K_brdrdot: case Kw::K_brdrdash:
    case Kw::K_brdrsh:
        if (Border *b = borderTarget())
            b->on = true;
        return;
    case Kw::K_brdrnone: case Kw::K_brdrnil: case Kw::K_brdrtbl:
        if (Border *b = borderTarget())
            b->on = false;
        return;
    case Kw::K_brdrw:
        if (Border *b = borderTarget())
            b->width = std::clamp(param, 0, 1500);
        return;
    case Kw::K_brdrcf:
        if (Border *b = borderTarget())
            b->colour = std::max(param, 0);
        return;
    default:
        Q_UNUSED(hasParam);
        return;
    }
}

// --- text -------------------------------------------------------------------

const Font *Parser::font(int index) const
{
    // Text before any \f is in the default font.
    const auto it = m_fonts.constFind(index < 0 ? m_defaultFont : index);
    return it == m_fonts.constEnd() ? nullptr : &*it;
}

int Parser::codepageOf(const CharState &c) const
{
    if (const Font *f = font(c.font)) {
        if (f->symbolCodes)
            return Charsets::SymbolCodePage;
        if (f->cpg > 0)
            return f->cpg;
        const int cp = Charsets::codePage(f->charset);
        if (cp > 0)
            return cp;
    }
    return m_ansiCodepage;
}

void Parser::addBytes(const char *p, qsizetype n)
{
    m_bytes.append(p, n);
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    const CharState &c = state().chr;
    const int cp = codepageOf(c);
    if (const Font *f = font(c.font); f && f->openSymbol)
        m_bytes.replace('\x96', '\x95');   // the bullet, in Windows-1252
    QString text;
    if (cp == Charsets::SymbolCodePage) {
        const Font *f = font(c.font);
        const SymbolFonts::Kind kind = f ? f->symbol : SymbolFonts::Kind::None;
        text.resize(m_bytes.size());
        for (qsizetype i = 0; i < m_bytes.size(); ++i) {
            const uchar b = uchar(m_bytes[i]);
            const char16_t u = SymbolFonts::toUnicode(kind, b);
            // An unknown code keeps the private-use code that stands for it.
            text[i] = QChar(u ? u : char16_t(0xF000 + b));
        }
    } else if (Charsets::isMultiByte(cp)) {
        text = Charsets::decode(cp, m_bytes);
    } else {
        auto it = m_codepageTables.find(cp);
        if (it == m_codepageTables.end()) {
            std::array<char16_t, 256> table{};
            QByteArray all(256, Qt::Uninitialized);
            for (int i = 0; i < 256; ++i)
                all[i] = char(i);
            QString decoded = Charsets::decode(cp, all);
            if (decoded.size() != 256)
                decoded = Charsets::decode(1252, all);
            for (int i = 0; i < 256; ++i)
                table[size_t(i)] = i < decoded.size() ? decoded[i].unicode() : char16_t(i);
            it = m_codepageTables.insert(cp, table);
        }
        const std::array<char16_t, 256> &table = *it;
        text.resize(m_bytes.size());
        QChar *out = text.data();
        for (qsizetype i = 0; i < m_bytes.size(); ++i)
            out[i] = QChar(table[uchar(m_bytes[i])]);
    }
    m_bytes.clear();
    addText(text);
}

void Parser::addUnicode(int value)
{
    flushBytes();
    char16_t u = char16_t(value < 0 ? value + 65536 : value);
    if (value < -32768 || value > 65535)
        u = 0xFFFD;
    // Private-use codes of a symbol font stand for the font's own characters.
    if (u >= 0xF020 && u <= 0xF0FF) {
        const Font *f = font(state().chr.font);
        if (const char16_t mapped = f ? SymbolFonts::toUnicode(f->symbol, uchar(u - 0xF000)) : 0)
            u = mapped;
    }
    if (QChar::isHighSurrogate(u)) {
        if (m_highSurrogate)
            addChar(0xFFFD);
        m_highSurrogate = u;
        return;
    }
    if (QChar::isLowSurrogate(u)) {
        if (m_highSurrogate) {
            const char16_t pair[2] = {m_highSurrogate, u};
            m_highSurrogate = 0;
            addText(QStringView(pair, 2));
        } else {
            addChar(0xFFFD);
        }
        return;
    }
    addChar(u);
}

void Parser::addText(QStringView text)
{
    if (m_highSurrogate) {
        // A high surrogate without its low half.
        m_highSurrogate = 0;
        addText(u"\uFFFD");
    }
    const GroupState &st = state();
    switch (st.dest) {
    case Dest::Text:
        if (st.chr.hidden)
            return;
        if (!m_runText.isEmpty() && !(st.chr == m_runState))
            closeRun();
        if (m_runText.isEmpty())
            m_runState = st.chr;
        m_runText.append(text);
        m_textAdded += quint64(text.size());
        if (!st.label)
            m_paragraphText = true;
        return;
    case Dest::FieldInst:
        if (!m_fields.empty() && m_fields.back().instruction.size() < 4096)
            m_fields.back().instruction.append(text);
        return;
    case Dest::ShapeName:
        if (!m_shapes.empty() && m_shapes.back().propertyName.size() < 64)
            m_shapes.back().propertyName.append(text);
        return;
    default:
        return;
    }
}

void Parser::closeRun()
{
    if (m_runText.isEmpty())
        return;
    m_runs.push_back(Run{m_runText, charFormat(m_runState)});
    m_runText.clear();
}

QTextCharFormat Parser::charFormat(const CharState &c) const
{
    QTextCharFormat f;
    if (const Font *fo = font(c.font)) {
        // Symbol and MT Extra were mapped to Unicode: the text font shows them.
        if (fo->symbol != SymbolFonts::Kind::Symbol && fo->symbol != SymbolFonts::Kind::MtExtra
            && !fo->name.trimmed().isEmpty()) {
            // The alternative is taken when the font itself is not installed;
            // when neither is, fontconfig finds the font's stand-in (a
            // metric-compatible family, or one of the kind the table names).
            QStringList families{fo->family};
            if (!fo->alt.isEmpty() && fo->alt.compare(fo->family, Qt::CaseInsensitive) != 0)
                families.append(fo->alt);
            f.setFontFamilies(families);
            if (fo->hint != QFont::AnyStyle)
                f.setFontStyleHint(fo->hint);
        }
    }
    f.setFontPointSize(c.size / 2.0);
    if (c.bold)
        f.setFontWeight(QFont::Bold);
    if (c.italic)
        f.setFontItalic(true);
    if (c.underline != QTextCharFormat::NoUnderline)
        f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(c.underline));
    if (c.strike)
        f.setFontStrikeOut(true);
    if (c.vpos > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (c.vpos < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.caps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (c.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (c.fg > 0 && size_t(c.fg) < m_colours.size() && m_colours[size_t(c.fg)].isValid())
        f.setForeground(m_colours[size_t(c.fg)]);
    if (c.bg > 0 && size_t(c.bg) < m_colours.size() && m_colours[size_t(c.bg)].isValid())
        f.setBackground(m_colours[size_t(c.bg)]);
    if (c.link >= 0 && size_t(c.link) < m_links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_links[size_t(c.link)]);
    }
    return f;
}

// --- fields -----------------------------------------------------------------

// The arguments of a field instruction: words, or quoted texts in which
// a doubled backslash stands for one.
QStringList fieldArguments(QStringView rest)
{
    QStringList args;
    qsizetype i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && rest[i].isSpace())
            ++i;
        if (i >= rest.size())
            break;
        QString arg;
        if (rest[i] == u'"') {
            ++i;
            while (i < rest.size() && rest[i] != u'"') {
                if (rest[i] == u'\\' && i + 1 < rest.size() && rest[i + 1] == u'\\')
                    ++i;
                arg.append(rest[i]);
                ++i;
            }
            ++i;
        } else {
            while (i < rest.size() && !rest[i].isSpace())
                arg.append(rest[i++]);
        }
        args.append(arg);
    }
    return args;
}

void Parser::finishFieldInstruction()
{
    if (m_fields.empty())
        return;
    Field &field = m_fields.back();
    const QString inst = field.instruction.trimmed();
    if (inst.startsWith(u"SYMBOL", Qt::CaseInsensitive))
        symbolField(field, fieldArguments(QStringView(inst).mid(6)));
    else if (inst.startsWith(u"HYPERLINK", Qt::CaseInsensitive))
        // HYPERLINK "url" [\l "anchor"] [\o "tip"] ...
        finishHyperlink(field, fieldArguments(QStringView(inst).mid(9)));
}

// SYMBOL code [\f "font"] [\s points] [\u] [\a] [\h], as Word 97-2003
// writes an inserted symbol: the code is a character of the font (Symbol,
// Wingdings), a letter of the font's code page, or with \u a Unicode one.
void Parser::symbolField(Field &field, const QStringList &args)
{
    if (args.isEmpty())
        return;
    bool ok = false;
    const QString &first = args.front();
    const qint64 code = first.startsWith(u"0x", Qt::CaseInsensitive) ? first.mid(2).toLongLong(&ok, 16)
                                                                      : first.toLongLong(&ok, 10);
    if (!ok || code <= 0 || code > 0xFFFF)
        return;
    QString face;
    bool unicode = false;
    for (qsizetype a = 1; a < args.size(); ++a) {
        const QString &arg = args[a];
        if (arg.size() != 2 || !arg.startsWith(u'\\'))
            continue;
        const QChar sw = arg[1].toLower();
        if (sw == u'f' && a + 1 < args.size())
            face = args[++a].trimmed();
        else if (sw == u's' && a + 1 < args.size())
            field.symbolSize = std::clamp(int(args[++a].toDouble() * 2), 0, 3276);
        else if (sw == u'u')
            unicode = true;
    }
    char16_t ch = 0;
    const SymbolFonts::Kind kind = SymbolFonts::kindOf(face);
    if (unicode || code > 0xFF) {
        ch = char16_t(code);
    } else if (kind != SymbolFonts::Kind::None) {
        ch = SymbolFonts::toUnicode(kind, uchar(code));
        if (!ch)
            ch = char16_t(0xF000 + code);
    } else {
        // A letter of the code page of the font named, when the font table
        // has it, else of the document's.
        int codepage = m_ansiCodepage;
        for (auto it = m_fonts.constBegin(); it != m_fonts.constEnd(); ++it) {
            if (!face.isEmpty() && it->name.compare(face, Qt::CaseInsensitive) == 0) {
                const int cp = it->cpg > 0 ? it->cpg : Charsets::codePage(it->charset);
                if (cp > 0 && cp != Charsets::SymbolCodePage && !Charsets::isMultiByte(cp))
                    codepage = cp;
                break;
            }
        }
        const QString decoded = Charsets::decode(Charsets::isMultiByte(codepage) ? 1252 : codepage, QByteArray(1, char(code)));
        ch = decoded.size() == 1 ? decoded[0].unicode() : char16_t(code);
    }
    if (QChar::isSurrogate(ch) || ch < 0x20)
        return;
    field.symbol = QString(QChar(ch));
    field.textMark = m_textAdded;
}

void Parser::finishHyperlink(Field &field, const QStringList &args)
{
    QString url;
    QString anchor;
    for (qsizetype a = 0; a < args.size(); ++a) {
        const QString &arg = args[a];
        if (arg.size() == 2 && arg.startsWith(u'\\')) {
            const QChar sw = arg[1].toLower();
            if (sw == u'l' && a + 1 < args.size())
                anchor = args[++a];
            else if ((sw == u'o' || sw == u't') && a + 1 < args.size())
                ++a;
        } else if (url.isEmpty()) {
            url = arg;
        }
    }
    if (!anchor.isEmpty())
        url += u'#' + anchor;
    if (url.isEmpty() || m_links.size() >= 100000)
        return;
    m_links.push_back(url);
    field.link = int(m_links.size()) - 1;
}

// --- pictures ---------------------------------------------------------------

void Parser::beginPicture(bool forShape)
{
    m_picture = Picture{};
    m_picture.active = true;
    m_picture.forShape = forShape;
    m_picture.hidden = state().chr.hidden;
    m_picture.inShpPict = state().shppict;
    m_picture.depth = int(m_stack.size());
    state().dest = Dest::Picture;
}

void Parser::addHex(const char *p, qsizetype n)
{
    if (!m_picture.active)
        return;
    QByteArray &data = m_picture.data;
    data.reserve(data.size() + n / 2 + 1);
    int nibble = m_picture.nibble;
    for (qsizetype i = 0; i < n; ++i) {
        const int v = HexValue[uchar(p[i])];
        if (v < 0)
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            data.append(char((nibble << 4) | v));
            nibble = -1;
        }
    }
    m_picture.nibble = nibble;
}

void Parser::finishPicture()
{
    Picture pic = std::move(m_picture);
    m_picture = Picture{};
    if (pic.hidden)
        return;
    if (pic.macPict && pic.supported) {
        // A photo or screenshot pasted in Word for Mac is a PICT holding a
        // QuickTime-compressed JPEG: that JPEG is the picture. Other PICTs
        // are drawn by the PICT player, at the size the document gives.
        const qsizetype jpeg = pic.data.indexOf(QByteArrayView("\xFF\xD8\xFF", 3));
        if (jpeg >= 0) {
            pic.data.remove(0, jpeg);
            pic.format = Pictures::Format::Jpeg;
            pic.metafile = false;
        } else {
            pic.format = Pictures::Format::Pict;
            pic.metafile = true;
        }
    }

    auto scaled = [](double v, int scale) { return scale > 0 ? v * std::min(scale, 10000) / 100.0 : v; };
    auto sizeFrom = [&](int goal, int ext) -> double {
        if (goal > 0)
            return double(goal) / TwipsPerPixel;
        if (ext > 0 && pic.format == Pictures::Format::Pict)
            return ext * 96.0 / 72.0;     // QuickDraw's pixels are points
        if (ext > 0 && pic.metafile)
            return ext * 96.0 / 2540.0;   // hundredths of a millimetre
        return 0;
    };
    double w = scaled(sizeFrom(pic.goalw, pic.picw), pic.scalex);
    double h = scaled(sizeFrom(pic.goalh, pic.pich), pic.scaley);

    QSize target;
    if (pic.metafile && w >= 1 && h >= 1) {
        const double k = std::min(1.0, MaxRenderSide / std::max(w, h));
        target = QSize(std::max(1, int(std::lround(w * k))), std::max(1, int(std::lround(h * k))));
    }
    QString name;
    QSize imageSize;
    if (pic.supported && !pic.data.isEmpty()) {
        QCryptographicHash digest(QCryptographicHash::Sha1);
        const int header[3] = {int(pic.format), target.width(), target.height()};
        digest.addData(QByteArrayView(reinterpret_cast<const char *>(header), sizeof header));
        digest.addData(pic.data);
        const QByteArray key = digest.result();
        auto known = m_knownPictures.constFind(key);
        if (known == m_knownPictures.constEnd()) {
            KnownPicture picture;
            Expected<QImage> decoded = Pictures::decode(pic.data, pic.format, target);
            if (decoded && !decoded->isNull()) {
                picture.name = QStringLiteral("rtfpic:%1").arg(++m_distinctPictures);
                picture.size = decoded->size();
                m_document.addResource(QTextDocument::ImageResource, QUrl(picture.name), decoded.value());
            }
            known = m_knownPictures.insert(key, picture);
        }
        name = known->name;
        imageSize = known->size;
    }
    // A Mac picture the player cannot draw is as good as none: the group's
    // other representation of it stands in.
    if (pic.macPict && name.isEmpty())
        pic.supported = false;
    if (pic.forShape && !pic.supported)
        return;   // a picture that cannot be drawn: the shape's result stands for it
    if (pic.forShape && !m_shapes.empty())
        m_shapes.back().hasPicture = true;
    if (imageSize.isValid()) {
        if (w < 1 || h < 1) {
            // Without a size in the document the picture shows at its own size
            // (scaled when the document says so).
            w = scaled(imageSize.width(), pic.scalex);
            h = scaled(imageSize.height(), pic.scaley);
            if (pic.goalw > 0 && pic.goalh <= 0)
                h = w * imageSize.height() / std::max(1, imageSize.width());
        }
    }
    if (w < 1 || h < 1) {
        // A damaged picture without any size: a small placeholder keeps its place.
        w = w >= 1 ? w : 32;
        h = h >= 1 ? h : 32;
    }
    w = std::min<double>(std::nearbyint(w), MaxPictureSide);
    h = std::min<double>(std::nearbyint(h), MaxPictureSide);
    if (name.isEmpty()) {
        // One grey placeholder, drawn at each damaged picture's size, stands
        // for all of them.
        name = QStringLiteral("rtfpic:placeholder");
        if (!m_placeholderAdded) {
            QImage placeholder(8, 8, QImage::Format_RGB32);
            placeholder.fill(QColor(0xe8, 0xe8, 0xe8));
            m_document.addResource(QTextDocument::ImageResource, QUrl(name), placeholder);
            m_placeholderAdded = true;
        }
    }

    ++m_pictureCount;
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(w);
    format.setHeight(h);
    const int link = state().chr.link;
    if (link >= 0 && size_t(link) < m_links.size()) {
        format.setAnchor(true);
        format.setAnchorHref(m_links[size_t(link)]);
    }
    closeRun();
    m_runs.push_back(Run{QString(), format});
    // A Mac or OS/2 picture is kept as a grey box only until the group's
    // {\nonshppict} brings a picture that can be drawn.
    m_placeholderRun = (!pic.supported && pic.inShpPict) ? int(m_runs.size()) - 1 : -1;
}

// --- paragraphs and tables --------------------------------------------------

QTextBlockFormat Parser::blockFormat(const ParState &p) const
{
    QTextBlockFormat f;
    static const Qt::AlignmentFlag aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    if (p.align != 0)
        f.setAlignment(aligns[p.align & 3]);
    auto px = [](int twips) { return std::clamp(twips, -30000, 30000) / double(TwipsPerPixel); };
    if (p.li)
        f.setLeftMargin(px(p.li));
    if (p.ri)
        f.setRightMargin(px(p.ri));
    if (p.fi)
        f.setTextIndent(px(p.fi));
    if (p.sb > 0)
        f.setTopMargin(px(p.sb));
    if (p.sa > 0)
        f.setBottomMargin(px(p.sa));
    if (p.sl != 0 && p.sl != 1000) {
        if (p.slmult)
            f.setLineHeight(std::clamp(std::abs(p.sl) * 100.0 / 240.0, 10.0, 1000.0),
                            QTextBlockFormat::ProportionalHeight);
        else if (p.sl > 0)
            f.setLineHeight(px(p.sl), QTextBlockFormat::MinimumHeight);
        else
            f.setLineHeight(px(-std::max(p.sl, -30000)), QTextBlockFormat::FixedHeight);
    }
    return f;
}

Paragraph Parser::takeParagraph()
{
    closeRun();
    const ParState &par = state().par;
    Paragraph p{blockFormat(par), std::move(m_runs), par.contextual ? par.style : -1};
    m_runs.clear();
    m_paragraphText = false;
    m_placeholderRun = -1;
    // Only a paragraph with tabs needs its stops, which keeps the formats of
    // all others shared.
    const bool hasTab = std::any_of(p.runs.begin(), p.runs.end(), [](const Run &r) { return r.text.contains(u'\t'); });
    if (hasTab) {
        QList<QTextOption::Tab> tabs = tabPositions(state().par);
        // A decimal stop aligns at the point; a number without one ends at
        // the stop, as at a right stop.
        const bool hasPoint = std::any_of(p.runs.begin(), p.runs.end(), [](const Run &r) { return r.text.contains(u'.'); });
        for (QTextOption::Tab &t : tabs)
            if (t.type == QTextOption::DelimiterTab && !hasPoint)
                t = QTextOption::Tab(t.position, QTextOption::RightTab);
        p.format.setTabPositions(tabs);
    }
    return p;
}

void Parser::addTabStop(ParState &p, int position)
{
    if (position <= 0 || position > 31680)
        return;
    std::vector<TabStop> set = m_tabSets[size_t(p.tabs)];
    if (set.size() >= 64)
        return;
    set.push_back(TabStop{position, m_nextTabType});
    std::stable_sort(set.begin(), set.end(), [](const TabStop &a, const TabStop &b) { return a.position < b.position; });
    const QByteArray key(reinterpret_cast<const char *>(set.data()), qsizetype(set.size() * sizeof(TabStop)));
    const auto it = m_tabSetIndex.constFind(key);
    if (it != m_tabSetIndex.constEnd()) {
        p.tabs = *it;
        return;
    }
    if (m_tabSets.size() >= 100000)
        return;
    m_tabSets.push_back(std::move(set));
    p.tabs = int(m_tabSets.size()) - 1;
    m_tabSetIndex.insert(key, p.tabs);
}

// Word measures tab stops from the paragraph's left edge and has default
// stops every \deftab after the last stop of the paragraph's own; a hanging
// indent is a stop as well, which puts the text after "1)" and a tab at
// the indent. Qt measures stops from where the line begins, which for the
// first line is the left indent plus the first-line indent: the stops are
// moved by that much (tabs after a manual line break in the same paragraph
// are off by the first-line indent).
QList<QTextOption::Tab> Parser::tabPositions(const ParState &p) const
{
    const int origin = std::clamp(p.li, -30000, 30000) + std::clamp(p.fi, -30000, 30000);
    std::vector<TabStop> stops = m_tabSets[size_t(std::clamp(p.tabs, 0, int(m_tabSets.size()) - 1))];
    int last = stops.empty() ? 0 : stops.back().position;
    if (p.fi < 0 && p.li > origin) {
        const auto at = std::find_if(stops.begin(), stops.end(), [&](const TabStop &t) { return t.position >= p.li; });
        if (at == stops.end() || at->position != p.li)
            stops.insert(at, TabStop{p.li, QTextOption::LeftTab});
    }
    const int end = std::max(origin, 0) + 15000;
    for (int pos = (last / m_defaultTab + 1) * m_defaultTab; pos <= end && stops.size() < 96; pos += m_defaultTab)
        stops.push_back(TabStop{pos, QTextOption::LeftTab});
    QList<QTextOption::Tab> tabs;
    for (const TabStop &t : stops) {
        if (t.position <= origin)
            continue;
        tabs.append(QTextOption::Tab((t.position - origin) / double(TwipsPerPixel), t.type,
                                     t.type == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
    }
    return tabs;
}

void Parser::endParagraph()
{
    if (m_footnoteDepth > 0) {
        if (m_footnotes.size() < 100000)
            m_footnotes.push_back(takeParagraph());
        else
            takeParagraph();
        return;
    }
    placeParagraph(state().par.level(), takeParagraph());
}

// Word can place footnotes at the end of the document; here a question's
// footnotes come after its body, in front of the next tag line, so that
// the student sees them with the question.
void Parser::flushFootnotes()
{
    for (Paragraph &p : m_footnotes)
        emitParagraph(m_main, p);
    m_footnotes.clear();
}

bool isTagLine(const Paragraph &paragraph)
{
    QString text;
    for (const Run &r : paragraph.runs) {
        text += r.text;
        if (text.size() > 64)
            return false;
    }
    return text.trimmed().startsWith(TagLine::tagStart(), Qt::CaseInsensitive);
}

void Parser::placeParagraph(int level, Paragraph &&paragraph)
{
    closeTablesDeeperThan(level);
    if (level == 0) {
        if (!m_footnotes.empty() && isTagLine(paragraph))
            flushFootnotes();
        emitParagraph(m_main, paragraph);
        return;
    }
    openTablesTo(level);
    m_tables[size_t(level - 1)]->current.blocks.push_back(Block{std::move(paragraph), nullptr});
}

void Parser::openTablesTo(int level)
{
    while (int(m_tables.size()) < level)
        m_tables.push_back(std::make_unique<Table>());
}

void Parser::finishRow(Table &table, int level)
{
    if (!table.current.blocks.empty()) {
        table.cells.push_back(std::move(table.current));
        table.current = Cell{};
    }
    if (!table.cells.empty())
        table.rows.push_back(Row{std::move(table.cells), rowDef(level)});
    table.cells.clear();
}

void Parser::closeTablesDeeperThan(int level)
{
    while (int(m_tables.size()) > level) {
        std::unique_ptr<Table> table = std::move(m_tables.back());
        m_tables.pop_back();
        finishRow(*table, int(m_tables.size()) + 1);
        if (table->rows.empty())
            continue;
        if (m_tables.empty())
            emitTable(m_main, *table);
        else
            m_tables.back()->current.blocks.push_back(Block{Paragraph{}, std::move(table)});
    }
}

void Parser::endCell(int level)
{
    level = std::clamp(level, 1, MaxTableDepth);
    placeParagraph(level, takeParagraph());
    Table &table = *m_tables[size_t(level - 1)];
    if (table.cells.size() < 4096)
        table.cells.push_back(std::move(table.current));
    else
        std::move(table.current.blocks.begin(), table.current.blocks.end(),
                  std::back_inserter(table.cells.back().blocks));
    table.current = Cell{};
}

void Parser::endRow(int level)
{
    level = std::clamp(level, 1, MaxTableDepth);
    closeRun();
    if (!m_runs.empty())
        endCell(level);
    closeTablesDeeperThan(level);
    openTablesTo(level);
    finishRow(*m_tables[size_t(level - 1)], level);
}

// --- output -----------------------------------------------------------------

void Parser::emitParagraph(Flow &flow, Paragraph &paragraph)
{
    // Word adds no space between two paragraphs of one style when they ask
    // for that (list items in Word 2007 and later, say).
    if (!flow.fresh && paragraph.style >= 0 && flow.lastStyle == paragraph.style) {
        QTextBlockFormat previous = flow.cursor.blockFormat();
        previous.setBottomMargin(0);
        flow.cursor.setBlockFormat(previous);
        paragraph.format.setTopMargin(0);
    }
    flow.lastStyle = paragraph.style;
    if (flow.fresh) {
        flow.cursor.setBlockFormat(paragraph.format);
        flow.fresh = false;
    } else {
        flow.cursor.insertBlock(paragraph.format, QTextCharFormat());
    }
    for (const Run &run : paragraph.runs) {
        if (run.format.isImageFormat())
            flow.cursor.insertImage(run.format.toImageFormat());
        else
            flow.cursor.insertText(run.text, run.format);
    }
}

void Parser::emitBlock(Flow &flow, Block &block)
{
    if (block.table)
        emitTable(flow, *block.table);
    else
        emitParagraph(flow, block.paragraph);
}

bool isBlank(const Cell &cell)
{
    for (const Block &b : cell.blocks) {
        if (b.table)
            return false;
        for (const Run &r : b.paragraph.runs) {
            if (r.format.isImageFormat() || !r.text.trimmed().isEmpty())
                return false;
        }
    }
    return true;
}

void appendCell(Cell &to, Cell &from)
{
    if (isBlank(from))
        return;
    std::move(from.blocks.begin(), from.blocks.end(), std::back_inserter(to.blocks));
    from.blocks.clear();
}

void Parser::emitTable(Flow &flow, Table &table)
{
    struct Placed
    {
        int row, col, rowSpan, colSpan;
        Cell *cell;
        const CellDef *def;
    };

    // The grid's columns are the distinct right edges of all cells.
    std::vector<int> edges;
    size_t maxCells = 0;
    for (const Row &row : table.rows) {
        maxCells = std::max(maxCells, row.cells.size());
        int prev = row.def.left;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            int right = i < row.def.cells.size() ? row.def.cells[i].right : twipsAdd(prev, 1440);
            right = std::max(right, twipsAdd(prev, 1));
            edges.push_back(right);
            prev = right;
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const bool simple = edges.size() > size_t(MaxGridColumns);
    const int columns = simple ? int(std::min<size_t>(maxCells, size_t(MaxGridColumns))) : int(edges.size());
    const int rows = int(table.rows.size());
    if (columns <= 0 || qint64(rows) * columns > MaxTableCells) {
        // Too big to lay out as a grid: the cells' paragraphs in reading order.
        for (Row &row : table.rows)
            for (Cell &cell : row.cells)
                for (Block &b : cell.blocks)
                    emitBlock(flow, b);
        return;
    }

    static const CellDef noDef;
    std::vector<Placed> placed;
    std::vector<int> vHead(size_t(columns), -1);   // placed index of a vertical merge's first cell
    for (int r = 0; r < rows; ++r) {
        Row &row = table.rows[size_t(r)];
        int col = 0;
        int prev = row.def.left;
        int lastPlaced = -1;
        std::vector<int> newHead(size_t(columns), -1);
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const CellDef &def = i < row.def.cells.size() ? row.def.cells[i] : noDef;
            int right = i < row.def.cells.size() ? row.def.cells[i].right : twipsAdd(prev, 1440);
            right = std::max(right, twipsAdd(prev, 1));
            prev = right;
            int end = simple ? col + 1
                             : int(std::lower_bound(edges.begin(), edges.end(), right) - edges.begin()) + 1;
            if (lastPlaced >= 0 && (def.hMerged || col >= columns)) {
                // Merged into the cell before it, or no room left in the grid.
                Placed &head = placed[size_t(lastPlaced)];
                appendCell(*head.cell, row.cells[i]);
                if (end > head.col + head.colSpan && end <= columns)
                    head.colSpan = end - head.col;
                col = head.col + head.colSpan;
                continue;
            }
            if (col >= columns) {
                // No room left after a vertical merge filled the row: the
                // text joins the last cell placed, so nothing is lost.
                if (!placed.empty())
                    appendCell(*placed.back().cell, row.cells[i]);
                continue;
            }
            end = std::clamp(end, col + 1, columns);
            if (def.vMerged && vHead[size_t(col)] >= 0) {
                Placed &head = placed[size_t(vHead[size_t(col)])];
                if (head.col == col && head.row + head.rowSpan == r) {
                    head.rowSpan += 1;
                    appendCell(*head.cell, row.cells[i]);
                    for (int c = col; c < head.col + head.colSpan && c < columns; ++c)
                        newHead[size_t(c)] = vHead[size_t(col)];
                    col = head.col + head.colSpan;
                    lastPlaced = -1;
                    continue;
                }
            }
            placed.push_back(Placed{r, col, 1, end - col, &row.cells[i], &def});
            lastPlaced = int(placed.size()) - 1;
            if (def.vFirst)
                for (int c = col; c < end; ++c)
                    newHead[size_t(c)] = lastPlaced;
            col = end;
        }
        // The row's last cell reaches to the right edge of the grid.
        if (lastPlaced >= 0 && placed[size_t(lastPlaced)].row == r) {
            Placed &last = placed[size_t(lastPlaced)];
            if (last.col + last.colSpan < columns && col < columns)
                last.colSpan = columns - last.col;
        }
        vHead = std::move(newHead);
    }
    if (placed.empty())
        return;

    const RowDef &firstDef = table.rows.front().def;
    QTextTableFormat tf;
    tf.setBorderCollapse(true);
    tf.setBorder(0);
    tf.setCellSpacing(0);
    // Padding is set per cell from its row: \trgaph is the space on either
    // side of a cell's text, none above or below it.
    tf.setCellPadding(0);
    // A left-aligned table's left edge lies where \trleft puts it, so that
    // its cells' text (\trgaph further in) lines up with the paragraphs:
    // Word writes \trleft-108 with \trgaph108.
    if (firstDef.align == 0 && firstDef.left != 0 && !simple)
        tf.setLeftMargin(std::clamp(firstDef.left, -3000, 30000) / double(TwipsPerPixel));
    if (firstDef.align == 1)
        tf.setAlignment(Qt::AlignHCenter);
    else if (firstDef.align == 2)
        tf.setAlignment(Qt::AlignRight);
    if (!simple) {
        QList<QTextLength> widths;
        int left = std::min(firstDef.left, twipsAdd(edges.front(), -1));
        for (int e : edges) {
            widths.append(QTextLength(QTextLength::FixedLength, std::clamp<qint64>(qint64(e) - left, 1, 30000) / double(TwipsPerPixel)));
            left = e;
        }
        tf.setColumnWidthConstraints(widths);
    }

    if (flow.fresh) {
        // The empty block that QTextDocument keeps in front of the table.
        QTextBlockFormat spacer;
        spacer.setProperty(SpacerBlockProperty, true);
        flow.cursor.setBlockFormat(spacer);
    }
    QTextTable *qtable = flow.cursor.insertTable(rows, columns, tf);
    if (!qtable)
        return;
    // Each merge makes the table rebuild its grid: a hostile table with
    // very many merged cells keeps the rest of them apart rather than take
    // minutes. Real tables stay far below the budget.
    const qint64 maxMerges = MergeBudget / (qint64(rows) * columns);
    qint64 merges = 0;
    for (const Placed &p : placed) {
        if ((p.rowSpan > 1 || p.colSpan > 1) && ++merges <= maxMerges)
            qtable->mergeCells(p.row, p.col, p.rowSpan, p.colSpan);
    }
    auto colour = [this](int index) {
        return index > 0 && size_t(index) < m_colours.size() ? m_colours[size_t(index)] : QColor();
    };
    const RowDef *rowDefOf = nullptr;
    for (const Placed &p : placed) {
        QTextTableCell cell = qtable->cellAt(p.row, p.col);
        if (!cell.isValid())
            continue;
        rowDefOf = &table.rows[size_t(p.row)].def;
        QTextTableCellFormat cf = cell.format().toTableCellFormat();
        const QColor shade = colour(p.def->shade);
        if (shade.isValid())
            cf.setBackground(shade);
        if (p.def->valign == 1)
            cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
        else if (p.def->valign == 2)
            cf.setVerticalAlignment(QTextCharFormat::AlignBottom);
        for (int side = 0; side < 4; ++side) {
            Border b = p.def->border[size_t(side)];
            if (!b.on) {
                // Row borders: outer sides at the table's edge, inner ones between cells.
                const bool outer = (side == 0 && p.row == 0) || (side == 1 && p.col == 0)
                    || (side == 2 && p.row + p.rowSpan == rows) || (side == 3 && p.col + p.colSpan == columns);
                const Border &rb = rowDefOf->border[size_t(outer ? side : (side % 2 == 0 ? 4 : 5))];
                if (rb.on)
                    b = rb;
            }
            if (!b.on)
                continue;
            const qreal width = std::max(1.0, b.width / double(TwipsPerPixel));
            const QColor c = colour(b.colour).isValid() ? colour(b.colour) : QColor(Qt::black);
            switch (side) {
            case 0: cf.setTopBorder(width); cf.setTopBorderBrush(c); cf.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid); break;
            case 1: cf.setLeftBorder(width); cf.setLeftBorderBrush(c); cf.setLeftBorderStyle(QTextFrameFormat::BorderStyle_Solid); break;
            case 2: cf.setBottomBorder(width); cf.setBottomBorderBrush(c); cf.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid); break;
            default: cf.setRightBorder(width); cf.setRightBorderBrush(c); cf.setRightBorderStyle(QTextFrameFormat::BorderStyle_Solid); break;
            }
        }
        const RowDef &rd = *rowDefOf;
        std::array<double, 4> padding{};
        for (int side = 0; side < 4; ++side) {
            const int own = rd.paddingUnit[size_t(side)] == 3 ? rd.padding[size_t(side)] : -1;
            const int twips = own >= 0 ? own : (side % 2 == 1 ? rd.gap : 0);
            padding[size_t(side)] = std::clamp(twips, 0, 300) / double(TwipsPerPixel);
        }
        cf.setTopPadding(padding[0]);
        cf.setLeftPadding(padding[1]);
        cf.setBottomPadding(padding[2]);
        cf.setRightPadding(padding[3]);
        // What Qt's table layout cannot do itself, rows of a given height
        // and text turned on its side, is done where the cell is shown.
        if (rd.height != 0 && p.rowSpan == 1)
            cf.setProperty(CellLayout::RowHeightProperty, rd.height / double(TwipsPerPixel));
        if (p.def->textFlow != 0)
            cf.setProperty(CellLayout::TextFlowProperty, p.def->textFlow);
        cell.setFormat(cf);
        Flow inner{cell.firstCursorPosition(), true};
        for (Block &b : p.cell->blocks)
            emitBlock(inner, b);
    }
    flow.cursor = qtable->lastCursorPosition();
    flow.cursor.movePosition(QTextCursor::NextBlock);
    flow.fresh = true;
    flow.lastStyle = -1;
}

// --- plain text -------------------------------------------------------------

// False when the progress function stopped the reading.
bool loadPlainText(const QByteArray &bytes, QTextDocument &document, const Progress &progress)
{
    const QString text = Cp1251::decode(bytes);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    qsizetype start = 0;
    bool first = true;
    const qsizetype n = text.size();
    qsizetype nextReport = ProgressStep;
    for (qsizetype i = 0; i <= n; ++i) {
        if (i >= nextReport) {
            nextReport = i + ProgressStep;
            if (progress && !progress(int(i * 100 / n))) {
                cursor.endEditBlock();
                return false;
            }
        }
        const bool atEnd = i == n;
        if (!atEnd && text[i] != u'\r' && text[i] != u'\n')
            continue;
        if (atEnd && start == n && !first)
            break;   // a final line break makes no empty line after it
        if (!first)
            cursor.insertBlock();
        first = false;
        QString line = text.mid(start, i - start);
        line.remove(QChar(0));
        cursor.insertText(line);
        if (!atEnd && text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    cursor.endEditBlock();
    return true;
}

} // namespace

Result load(const QByteArray &bytes, QTextDocument &document, const Progress &progress)
{
    HardLineLayout::install(document);
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    Result result;
    if (!bytes.startsWith("{\\rtf")) {
        result.cancelled = !loadPlainText(bytes, document, progress);
    } else {
        QTextCursor cursor(&document);
        cursor.beginEditBlock();
        Parser parser(bytes, document, progress);
        result = parser.run();
        cursor.endEditBlock();
    }
    // Half a document must never pass for a whole one.
    if (result.cancelled)
        document.clear();
    document.setUndoRedoEnabled(undo);
    return result;
}

} // namespace RtfReader
