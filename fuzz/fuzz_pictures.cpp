// Feeds arbitrary bytes to the picture decoder. The first byte picks the
// format the data is announced as (WMF, EMF, DIB, unknown or QuickDraw
// PICT); the rest is the picture. Vector pictures are drawn small to keep each run quick.
#include "richtext/Pictures.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

namespace {

int argc = 1;
char name[] = "fuzz_pictures";
char *argv[] = {name, nullptr};

} // namespace

// Fontconfig keeps its pattern caches until the process ends; that is no
// leak of ours.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const Pictures::Format formats[] = {Pictures::Format::Wmf, Pictures::Format::Emf,
                                               Pictures::Format::Dib, Pictures::Format::Unknown,
                                               Pictures::Format::Pict};
    const Pictures::Format format = formats[data[0] % 5];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    (void)Pictures::decode(bytes, format, QSize(64, 48));
    return 0;
}
