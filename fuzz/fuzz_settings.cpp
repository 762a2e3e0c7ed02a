// Feeds arbitrary bytes to the reading of the program's settings file
// (/etc/nastavnik.conf), which an administrator writes by hand in any
// editor and any encoding: whatever it holds, reading it ends, and a library
// folder it yields is an absolute path with no control characters, its
// problems each naming the file.
#include "library/LibraryLocation.h"

#include <QByteArray>
#include <QDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString file = QStringLiteral("/etc/nastavnik.conf");
    const LibraryLocation::Settings settings = LibraryLocation::parseSettings(bytes, file);
    if (!settings.library.isEmpty()) {
        if (QDir::isRelativePath(settings.library))
            std::abort();
        for (const QChar c : settings.library) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                std::abort();
        }
    }
    for (const QString &problem : settings.problems) {
        if (!problem.contains(file))
            std::abort();
    }
    return 0;
}
