// Feeds arbitrary bytes to the preparation of a test document for storing:
// it must never crash, what it accepts must be lines a line list can hold,
// and the stored document must read as the file itself reads.
#include "authoring/SourceDocument.h"
#include "richtext/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Expected<LineList> lines = SourceDocument::prepare(bytes, QStringLiteral("fuzz.rtf"));
    if (!lines)
        return 0;
    for (const QByteArray &line : *lines) {
        if (line.contains('\r') || line.contains('\n') || line.contains('\0'))
            std::abort();
    }
    QTextDocument original;
    RtfReader::load(bytes, original);
    QTextDocument stored;
    RtfReader::load(SourceDocument::checkedBytes(*lines), stored);
    if (original.toRawText() != stored.toRawText())
        std::abort();
    return 0;
}
