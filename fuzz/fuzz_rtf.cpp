// Feeds arbitrary bytes to the RTF reader: it must neither crash, hang nor
// grow without bound, whatever the document holds.
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
    QTextDocument document;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    RtfReader::load(bytes, document);
    // Walk the result as the line model does.
    volatile qsizetype total = document.toRawText().size();
    (void)total;
    return 0;
}
