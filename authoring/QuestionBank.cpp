#include "authoring/QuestionBank.h"

#include "authoring/CompileCheck.h"
#include "authoring/Questions.h"
#include "authoring/TopicFiles.h"
#include "library/Codec.h"
#include "library/LineList.h"
#include "library/Paths.h"
#include "library/TagLine.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>
#include <QUrl>

namespace QuestionBank {

namespace {

// --- text helpers ---------------------------------------------------------

// Marks of the program's own markup may not reach a document from a bank:
// a question holding them would break the document it is written to.
bool holdsMarkup(const QString &text)
{
    const QString folded = TagLine::folded(text);
    return folded.contains(TagLine::tagStart()) || folded.contains(TagLine::pictureOpening());
}

// Control characters mean nothing in a bank's text; dropped before
// anything else looks at it, they cannot hide the program's own marks.
QString withoutControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == u'\n' || c == u'\r' || c == u'\t')
            out += c;
    }
    return out;
}

// Lines trimmed, runs of blanks inside a line made one space, blank lines
// at either end dropped.
QString tidyText(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(u'\n'))
        lines.append(line.simplified());
    while (!lines.isEmpty() && lines.constFirst().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

const QHash<QString, QChar> &entities()
{
    static const QHash<QString, QChar> names{
        {QStringLiteral("amp"), u'&'},   {QStringLiteral("lt"), u'<'},     {QStringLiteral("gt"), u'>'},
        {QStringLiteral("quot"), u'"'},  {QStringLiteral("apos"), u'\''},  {QStringLiteral("nbsp"), QChar(0xA0)},
        {QStringLiteral("laquo"), QChar(0xAB)}, {QStringLiteral("raquo"), QChar(0xBB)},
        {QStringLiteral("ndash"), QChar(0x2013)}, {QStringLiteral("mdash"), QChar(0x2014)},
        {QStringLiteral("hellip"), QChar(0x2026)}, {QStringLiteral("times"), QChar(0xD7)},
        {QStringLiteral("deg"), QChar(0xB0)}, {QStringLiteral("minus"), QChar(0x2212)},
    };
    return names;
}

// HTML made plain text: tags dropped (a line break or a paragraph's end
// becomes a new line), entities decoded, and the sources of its images
// collected in order.
QString plainFromHtml(const QString &html, QStringList *images)
{
    static const QRegularExpression src(QStringLiteral("\\bsrc\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype i = 0;
    while (i < html.size()) {
        const QChar c = html.at(i);
        if (c == u'<') {
            const qsizetype close = html.indexOf(u'>', i + 1);
            if (close < 0) {
                out += html.mid(i);
                break;
            }
            const QString tag = html.mid(i + 1, close - i - 1);
            const QString name = tag.section(QRegularExpression(QStringLiteral("[\\s/>]")), 0, 0,
                                             QString::SectionSkipEmpty).toLower();
            // A line break, or a paragraph, list item or table row opening
            // or closing, ends a line.
            if (name == u"br" || name == u"p" || name == u"div" || name == u"li" || name == u"tr") {
                out += u'\n';
            } else if (name == u"img" && images) {
                const QRegularExpressionMatch m = src.match(tag);
                if (m.hasMatch())
                    images->append(m.captured(1) + m.captured(2) + m.captured(3));
            }
            i = close + 1;
            continue;
        }
        if (c == u'&') {
            const qsizetype semi = html.indexOf(u';', i + 1);
            if (semi > i + 1 && semi - i <= 10) {
                const QString entity = html.mid(i + 1, semi - i - 1);
                bool ok = false;
                uint code = 0;
                if (entity.startsWith(u"#x", Qt::CaseInsensitive))
                    code = entity.mid(2).toUInt(&ok, 16);
                else if (entity.startsWith(u'#'))
                    code = entity.mid(1).toUInt(&ok, 10);
                if (ok && code > 0 && code <= 0x10FFFF && !QChar::isSurrogate(code)) {
                    out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
                    i = semi + 1;
                    continue;
                }
                const auto named = entities().constFind(entity.toLower());
                if (named != entities().cend()) {
                    out += *named;
                    i = semi + 1;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

bool looksLikeHtml(const QString &text)
{
    static const QRegularExpression tag(QStringLiteral("<(?:/?[a-zA-Z][a-zA-Z0-9]*)(?:\\s[^<>]*)?/?>"));
    return tag.match(text).hasMatch();
}

// A picture source from a bank made a file name beside the bank: Moodle's
// own prefix dropped and %-escapes decoded. Empty when it names no file
// here (a web address, data).
QString pictureFileName(const QString &source)
{
    QString name = source.trimmed();
    name.remove(QRegularExpression(QStringLiteral("^@@PLUGINFILE@@/")));
    if (name.contains(QStringLiteral("://")) || name.startsWith(QStringLiteral("data:"), Qt::CaseInsensitive))
        return {};
    name = QUrl::fromPercentEncoding(name.toUtf8());
    const qsizetype query = name.indexOf(u'?');
    if (query >= 0)
        name.truncate(query);
    return name;
}

// --- GIFT -----------------------------------------------------------------

// Escaped characters (and "\n", a line break) stand in the text as
// private-use characters while the structure is read, and go back to what
// they stand for afterwards.
constexpr char16_t kEscapeBase = 0xE000;
const QString kEscapable = QStringLiteral("~=#{}:\\");

QString hideEscapes(const QString &raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c.unicode() >= kEscapeBase && c.unicode() < kEscapeBase + 16)
            continue; // nothing in a bank may pass for a hidden escape
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw.at(i + 1);
            const qsizetype k = kEscapable.indexOf(next);
            if (k >= 0) {
                out += QChar(char16_t(kEscapeBase + k));
                ++i;
                continue;
            }
            if (next == u'n') {
                out += QChar(char16_t(kEscapeBase + kEscapable.size()));
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString showEscapes(QString text)
{
    text.replace(QChar(char16_t(kEscapeBase + kEscapable.size())), u'\n');
    for (qsizetype k = 0; k < kEscapable.size(); ++k)
        text.replace(QChar(char16_t(kEscapeBase + k)), kEscapable.at(k));
    return text;
}

struct GiftText
{
    QString text;
    QStringList images;
};

// A part of a GIFT question in its text format made plain.
GiftText giftPlain(const QString &hidden, const QString &format)
{
    GiftText result;
    const QString text = showEscapes(hidden);
    if (format == u"html" || ((format.isEmpty() || format == u"moodle") && looksLikeHtml(text)))
        result.text = plainFromHtml(text, &result.images);
    else
        result.text = text;
    return result;
}

void readGiftQuestion(const QString &block, int line, Bank &bank)
{
    const auto skip = [&](const QString &why) { bank.notes.append({line, 0, why}); };
    QString text = block;
    // The title, "::Название::".
    if (text.trimmed().startsWith(QStringLiteral("::"))) {
        const qsizetype open = text.indexOf(QStringLiteral("::"));
        const qsizetype close = text.indexOf(QStringLiteral("::"), open + 2);
        if (close < 0)
            return skip(QStringLiteral("не закрыто название вопроса «::», вопрос пропущен"));
        text = text.mid(close + 2);
    }
    const qsizetype open = text.indexOf(u'{');
    if (open < 0) {
        if (text.trimmed().isEmpty())
            return;
        return skip(QStringLiteral("текст без ответов (описание) пропущен"));
    }
    const qsizetype close = text.indexOf(u'}', open + 1);
    if (close < 0)
        return skip(QStringLiteral("не закрыт список ответов «{», вопрос пропущен"));
    QString before = text.left(open);
    const QString after = text.mid(close + 1);
    const QString answersText = text.mid(open + 1, close - open - 1);
    if (after.contains(u'{'))
        return skip(QStringLiteral("вопрос с несколькими пропусками пропущен"));

    // The text format, "[html]" and the like.
    QString format;
    static const QRegularExpression formatMark(QStringLiteral("^\\s*\\[(html|moodle|plain|markdown)\\]"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch m = formatMark.match(before); m.hasMatch()) {
        format = m.captured(1).toLower();
        before = before.mid(m.capturedEnd());
    }

    // The kind of question, from its answers.
    const QString inside = answersText.trimmed();
    if (inside.isEmpty())
        return skip(QStringLiteral("вопрос-эссе пропущен"));
    if (inside.startsWith(u'#'))
        return skip(QStringLiteral("числовой вопрос пропущен"));
    static const QRegularExpression trueFalse(QStringLiteral("^(T|F|TRUE|FALSE)\\s*(#.*)?$"),
                                              QRegularExpression::CaseInsensitiveOption
                                                  | QRegularExpression::DotMatchesEverythingOption);
    if (trueFalse.match(inside).hasMatch())
        return skip(QStringLiteral("вопрос «верно/неверно» пропущен"));
    if (!(inside.startsWith(u'=') || inside.startsWith(u'~')))
        return skip(QStringLiteral("не понят список ответов, вопрос пропущен"));

    struct Answer
    {
        bool right;
        QString text;
        double weight;
    };
    QList<Answer> answers;
    bool matching = false;
    for (qsizetype i = 0; i < inside.size();) {
        const bool right = inside.at(i) == u'=';
        qsizetype end = i + 1;
        while (end < inside.size() && inside.at(end) != u'=' && inside.at(end) != u'~')
            ++end;
        QString answer = inside.mid(i + 1, end - i - 1);
        const qsizetype feedback = answer.indexOf(u'#');
        if (feedback >= 0)
            answer.truncate(feedback);
        double weight = right ? 100 : 0;
        static const QRegularExpression weightMark(QStringLiteral("^\\s*%(-?[0-9]+(?:[.,][0-9]+)?)%"));
        if (const QRegularExpressionMatch m = weightMark.match(answer); m.hasMatch()) {
            weight = QString(m.captured(1)).replace(u',', u'.').toDouble();
            answer = answer.mid(m.capturedEnd());
        }
        if (answer.contains(QStringLiteral("->")))
            matching = true;
        answers.append({weight >= 100, answer, weight});
        i = end;
    }
    if (matching)
        return skip(QStringLiteral("вопрос на соответствие пропущен"));
    const bool anyWrong = std::any_of(answers.cbegin(), answers.cend(), [](const Answer &a) { return !a.right; });
    if (!anyWrong)
        return skip(QStringLiteral("вопрос с кратким ответом пропущен"));
    const qsizetype rights = std::count_if(answers.cbegin(), answers.cend(), [](const Answer &a) { return a.right; });
    const bool partial = std::any_of(answers.cbegin(), answers.cend(),
                                     [](const Answer &a) { return a.weight > 0 && a.weight < 100; });
    if (rights != 1 || partial)
        return skip(QStringLiteral("вопрос с несколькими верными ответами пропущен"));
    if (answers.size() > 4)
        return skip(QStringLiteral("вопрос с %1 ответами пропущен: на доске четыре поля").arg(answers.size()));
    if (answers.size() < 2)
        return skip(QStringLiteral("вопрос с одним ответом пропущен"));

    Question question;
    question.line = line;
    GiftText body = giftPlain(before, format);
    if (!after.trimmed().isEmpty()) {
        const GiftText rest = giftPlain(after, format);
        body.text = body.text.trimmed() + QStringLiteral(" _____ ") + rest.text.trimmed();
        body.images += rest.images;
    }
    question.text = tidyText(body.text);
    for (const Answer &answer : std::as_const(answers)) {
        GiftText plain = giftPlain(answer.text, format);
        if (!plain.images.isEmpty())
            bank.notes.append({line, 0, QStringLiteral("рисунок в ответе не переносится")});
        question.answers.append(plain.text.simplified());
        if (answer.right)
            question.right = int(question.answers.size());
    }
    for (const QString &source : std::as_const(body.images)) {
        const QString name = pictureFileName(source);
        if (!question.picture.isEmpty() || name.isEmpty() || name.contains(u'{') || name.contains(u'}')
            || name.contains(u'\n')) {
            bank.notes.append({line, 0, QStringLiteral("рисунок «%1» не переносится: у вопроса может быть один рисунок, "
                                                       "лежащий рядом с файлом").arg(source)});
            continue;
        }
        question.picture = name;
    }
    if (question.text.isEmpty() && question.picture.isEmpty())
        return skip(QStringLiteral("вопрос без текста пропущен"));
    if (std::any_of(question.answers.cbegin(), question.answers.cend(), [](const QString &a) { return a.isEmpty(); }))
        return skip(QStringLiteral("пустой ответ, вопрос пропущен"));
    if (holdsMarkup(question.text + question.answers.join(u'\n')))
        return skip(QStringLiteral("в тексте есть разметка теста «{test» или «{pic=», вопрос пропущен"));
    bank.questions.append(question);
}

// --- writing ---------------------------------------------------------------

// The Windows-1251 byte of each character the code page holds.
const QHash<char16_t, uchar> &cp1251Bytes()
{
    static const QHash<char16_t, uchar> table = [] {
        QHash<char16_t, uchar> bytes;
        QStringDecoder decoder("windows-1251");
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = decoder.decode(QByteArray(1, char(b)));
            if (c.size() == 1 && c.at(0) != QChar::ReplacementCharacter)
                bytes.insert(c.at(0).unicode(), uchar(b));
        }
        return bytes;
    }();
    return table;
}

// Text as RTF in the document's code page, Windows-1251; any other
// character as a Unicode escape.
QByteArray rtfText(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u < 0x20) {
            continue;
        } else if (u < 0x80) {
            out += char(u);
        } else if (const auto byte = cp1251Bytes().constFind(u); byte != cp1251Bytes().cend()) {
            out += "\\'" + QByteArray(1, char(*byte)).toHex();
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

QString giftEscaped(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\n') {
            out += QStringLiteral("\\n");
            continue;
        }
        if (kEscapable.contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

QString htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

QString oneLine(const QString &text)
{
    return QString(text).replace(u'\n', u' ').simplified();
}

} // namespace

QString Note::describe() const
{
    return line > 0 ? QStringLiteral("строка %1: %2").arg(line).arg(text)
                    : QStringLiteral("вопрос %1: %2").arg(question).arg(text);
}

QString decode(const QByteArray &bytes)
{
    if (const std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes);
        bom && *bom != QStringConverter::Utf8) {
        QStringDecoder decoder(*bom);
        return decoder(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar::ByteOrderMark) ? text.mid(1) : text;
    QStringDecoder cp1251("windows-1251");
    return cp1251(bytes);
}

Format guessFormat(const QString &text)
{
    static const QRegularExpression answerLine(QStringLiteral("^\\s*ANSWER\\s*:"),
                                               QRegularExpression::MultilineOption
                                                   | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression giftBlock(QStringLiteral("(?<!\\\\)\\{"));
    return answerLine.match(text).hasMatch() && !giftBlock.match(text).hasMatch() ? Format::Aiken : Format::Gift;
}

Bank readGift(const QString &text)
{
    Bank bank;
    const QStringList lines = hideEscapes(withoutControls(text)).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    QString block;
    int blockLine = 0;
    int depth = 0; // inside an answer block, blank lines do not end the question
    const auto flush = [&] {
        if (!block.trimmed().isEmpty())
            readGiftQuestion(block, blockLine, bank);
        block.clear();
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QStringLiteral("//")))
            continue;
        if (depth == 0 && trimmed.startsWith(QStringLiteral("$CATEGORY:"), Qt::CaseInsensitive))
            continue;
        if (trimmed.isEmpty() && depth == 0) {
            flush();
            continue;
        }
        if (block.isEmpty())
            blockLine = int(i) + 1;
        else
            block += u'\n';
        block += line;
        depth += int(line.count(u'{')) - int(line.count(u'}'));
        if (depth < 0)
            depth = 0;
    }
    flush();
    return bank;
}

Bank readAiken(const QString &text)
{
    Bank bank;
    static const QRegularExpression option(QStringLiteral("^(\\p{Lu})[.)]\\s+(.*)$"));
    static const QRegularExpression answerLine(QStringLiteral("^ANSWER\\s*:\\s*(\\S*)\\s*$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = withoutControls(text).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    Question current;
    QStringList labels;
    bool broken = false; // the question went wrong: skip to its ANSWER line or a blank line
    const auto reset = [&] {
        current = Question();
        labels.clear();
        broken = false;
    };
    const auto skip = [&](int line, const QString &why) {
        bank.notes.append({line, 0, why});
        broken = true;
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty()) {
            if (!current.text.isEmpty() && !broken)
                bank.notes.append({current.line, 0, QStringLiteral("нет строки ANSWER:, вопрос пропущен")});
            reset();
            continue;
        }
        if (const QRegularExpressionMatch m = answerLine.match(line); m.hasMatch()) {
            if (!broken) {
                const qsizetype right = labels.indexOf(m.captured(1).toUpper());
                if (current.text.isEmpty() || labels.isEmpty())
                    skip(lineNumber, QStringLiteral("строка ANSWER: без вопроса и ответов"));
                else if (right < 0)
                    skip(current.line, QStringLiteral("ответ «%1» не найден среди вариантов, вопрос пропущен")
                                           .arg(m.captured(1)));
                else if (labels.size() > 4)
                    skip(current.line, QStringLiteral("вопрос с %1 ответами пропущен: на доске четыре поля")
                                           .arg(labels.size()));
                else if (labels.size() < 2)
                    skip(current.line, QStringLiteral("вопрос с одним ответом пропущен"));
                else if (holdsMarkup(current.text + current.answers.join(u'\n')))
                    skip(current.line, QStringLiteral("в тексте есть разметка теста «{test» или «{pic=», вопрос пропущен"));
                else {
                    current.right = int(right) + 1;
                    bank.questions.append(current);
                }
            }
            reset();
            continue;
        }
        if (broken)
            continue;
        if (current.text.isEmpty()) {
            current.line = lineNumber;
            current.text = line.simplified();
            continue;
        }
        if (const QRegularExpressionMatch m = option.match(line); m.hasMatch()) {
            if (labels.contains(m.captured(1))) {
                skip(current.line, QStringLiteral("вариант %1 повторяется, вопрос пропущен").arg(m.captured(1)));
                continue;
            }
            labels.append(m.captured(1));
            current.answers.append(m.captured(2).simplified());
            continue;
        }
        if (!labels.isEmpty()) {
            skip(current.line, QStringLiteral("строка %1 не вариант ответа и не ANSWER:, вопрос пропущен").arg(lineNumber));
            continue;
        }
        current.text += u'\n' + line.simplified(); // the question goes on
    }
    if (!current.text.isEmpty() && !broken)
        bank.notes.append({current.line, 0, QStringLiteral("нет строки ANSWER:, вопрос пропущен")});
    return bank;
}

QByteArray writeRtf(const Bank &bank, const QString &title)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049\\uc1"
                     "{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}\r\n"
                     "\\pard\\plain\\f0\\fs28 ";
    const auto paragraph = [&rtf](const QString &text) { rtf += rtfText(text) + "\\par\r\n"; };
    paragraph(holdsMarkup(title) ? QString() : title);
    for (const Question &question : bank.questions) {
        paragraph(QString());
        paragraph(TagLine::tag(question.right));
        if (!question.picture.isEmpty())
            paragraph(TagLine::pictureOpening() + question.picture + u'}');
        for (const QString &line : question.text.split(u'\n'))
            paragraph(line);
        for (qsizetype i = 0; i < question.answers.size(); ++i)
            paragraph(QStringLiteral("%1) %2").arg(i + 1).arg(question.answers.at(i)));
    }
    rtf += "}\r\n";
    return rtf;
}

QByteArray writeBank(const Bank &bank, Format format, const QString &title)
{
    QString out;
    if (format == Format::Gift) {
        out += QStringLiteral("// %1\n\n").arg(oneLine(title));
        for (const Question &question : bank.questions) {
            if (question.picture.isEmpty()) {
                out += giftEscaped(question.text);
            } else {
                out += QStringLiteral("[html]") + giftEscaped(htmlEscaped(question.text));
                if (!question.text.isEmpty())
                    out += QStringLiteral("<br>");
                // A web address, as Moodle's own export writes it.
                const QByteArray source = QUrl::toPercentEncoding(QString(question.picture).replace(u'\\', u'/'), "/");
                out += giftEscaped(QStringLiteral("<img src=\"%1\">").arg(QString::fromLatin1(source)));
            }
            out += QStringLiteral(" {\n");
            for (qsizetype i = 0; i < question.answers.size(); ++i) {
                const QString answer = question.picture.isEmpty() ? question.answers.at(i)
                                                                  : htmlEscaped(question.answers.at(i));
                out += (i + 1 == question.right ? u'=' : u'~') + giftEscaped(answer) + u'\n';
            }
            out += QStringLiteral("}\n\n");
        }
    } else {
        for (const Question &question : bank.questions) {
            QString text = oneLine(question.text);
            if (!question.picture.isEmpty())
                text += QStringLiteral(" [рисунок: %1]").arg(question.picture);
            out += text.trimmed() + u'\n';
            for (qsizetype i = 0; i < question.answers.size(); ++i)
                out += QChar(char16_t(u'A' + i)) + QStringLiteral(") ") + question.answers.at(i) + u'\n';
            out += QStringLiteral("ANSWER: ") + QChar(char16_t(u'A' + question.right - 1)) + QStringLiteral("\n\n");
        }
    }
    return out.toUtf8();
}

Expected<Bank> readTopic(const QString &basePath)
{
    Expected<LineList> base = LineLists::read(basePath);
    if (!base)
        return Error{base.error()};
    Codec::codeLines(*base);
    QTextDocument document;
    RtfReader::load(LineLists::join(*base), document);
    const LineModel lines(document);
    Bank bank;
    for (const DocumentQuestion &found : documentQuestions(lines)) {
        const auto skip = [&](const QString &why) { bank.notes.append({0, found.number, why}); };
        const NumberedAnswers split = numberedAnswers(found.body);
        if (split.answers.size() < 2) {
            skip(QStringLiteral("не найдены нумерованные ответы, вопрос пропущен"));
            continue;
        }
        if (found.field < 1 || found.field > split.answers.size()) {
            skip(QStringLiteral("правильного ответа %1 нет среди %2 найденных, вопрос пропущен")
                     .arg(found.field).arg(split.answers.size()));
            continue;
        }
        if (found.hasObjects)
            skip(QStringLiteral("встроенные рисунки и формулы не переносятся"));
        Question question;
        question.number = found.number;
        question.text = tidyText(split.question);
        question.answers = split.answers;
        question.right = found.field;
        question.picture = found.picture;
        bank.questions.append(question);
    }
    return bank;
}

Expected<Written> importBank(const QString &bankPath, const QString &rtfPath)
{
    const QString fileName = QFileInfo(bankPath).fileName();
    const QFileInfo info(bankPath);
    if (info.size() > MaxBankBytes)
        return Error{QStringLiteral("Файл «%1» слишком большой для банка вопросов (больше %2 МБ).")
                         .arg(fileName).arg(MaxBankBytes / (1024 * 1024))};
    const Expected<QByteArray> bytes = LineLists::readBytes(bankPath);
    if (!bytes)
        return Error{bytes.error()};
    const QString text = decode(*bytes);
    Bank bank = guessFormat(text) == Format::Aiken ? readAiken(text) : readGift(text);

    Written written;
    written.notes = bank.notes;
    if (bank.questions.isEmpty()) {
        QString error = QStringLiteral("В файле «%1» нет ни одного вопроса с выбором одного ответа из двух–четырёх "
                                       "(форматы GIFT и Aiken).").arg(fileName);
        for (const Note &note : std::as_const(bank.notes))
            error += u'\n' + note.describe();
        return Error{error};
    }
    // Pictures: found beside the bank, copied beside the document.
    const QString from = info.absolutePath();
    const QString to = QFileInfo(rtfPath).absolutePath();
    QStringList pictures;
    for (Question &question : bank.questions) {
        if (question.picture.isEmpty())
            continue;
        if (!findPicture(from, question.picture)) {
            written.notes.append({question.line, 0, QStringLiteral("рисунок «%1» не найден рядом с файлом, "
                                                                   "вопрос записан без него").arg(question.picture)});
            question.picture.clear();
            continue;
        }
        pictures.append(question.picture);
    }
    std::stable_sort(written.notes.begin(), written.notes.end(),
                     [](const Note &a, const Note &b) { return a.line < b.line; });
    if (const Status saved = LineLists::writeBytes(rtfPath, writeRtf(bank, QStringLiteral("Вопросы из файла «%1»")
                                                                                 .arg(fileName)));
        !saved)
        return Error{saved.error()};
    const TopicFiles::PictureCopy copy = TopicFiles::copyPictures(from, to, pictures);
    if (!copy.status)
        return Error{copy.status.error()};
    written.pictures = copy.copied;
    written.questions = int(bank.questions.size());
    return written;
}

Expected<Written> exportTopic(const QString &basePath, Format format, const QString &bankPath, const QString &title)
{
    const Expected<Bank> bank = readTopic(basePath);
    if (!bank)
        return Error{bank.error()};
    Written written;
    written.notes = bank->notes;
    if (bank->questions.isEmpty()) {
        QString error = QStringLiteral("В теме нет ни одного вопроса с нумерованными ответами: выгружать нечего.");
        for (const Note &note : std::as_const(bank->notes))
            error += u'\n' + note.describe();
        return Error{error};
    }
    if (const Status saved = LineLists::writeBytes(bankPath, writeBank(*bank, format, title)); !saved)
        return Error{saved.error()};
    QStringList pictures;
    for (const Question &question : bank->questions) {
        if (!question.picture.isEmpty())
            pictures.append(question.picture);
    }
    const TopicFiles::PictureCopy copy =
        TopicFiles::copyPictures(Paths::folderOf(basePath), QFileInfo(bankPath).absolutePath(), pictures);
    if (!copy.status)
        return Error{copy.status.error()};
    for (const QString &missing : copy.missing)
        written.notes.append({0, 0, QStringLiteral("рисунка «%1» нет в папке темы").arg(missing)});
    written.pictures = copy.copied;
    written.questions = int(bank->questions.size());
    return written;
}

} // namespace QuestionBank
