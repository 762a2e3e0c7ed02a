// Feeds arbitrary bytes to the RTF reader, then to the compile check with
// its list of faults: they must neither crash, hang nor grow without bound,
// whatever the document holds.
#include "authoring/CompileCheck.h"
#include "richtext/LineModel.h"
#include "richtext/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

// Fontconfig keeps its pattern caches until the process ends (pictures in
// a document draw text: metafiles, Mac pictures); that is no leak of ours.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

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
    // The document's own folder is nowhere: every picture it names is
    // missing, which the check must report without touching the disk outside.
    const CheckResult result = compileCheck(LineModel(document), QStringLiteral("/nonexistent/fuzz.rtf"));
    volatile qsizetype total = result.findings.size() + result.message.size();
    (void)total;
    return 0;
}
