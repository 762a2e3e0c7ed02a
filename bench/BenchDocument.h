// The benchmarks' documents all come from one generator,
// bench/make-bench-doc.py, run on first use into the build folder.
#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <cstdio>

// Makes the document at path unless it is there already; mode is the
// generator's option (none for the everyday document, {"--opening", "200"}
// and so on for the others).
inline bool makeBenchDocument(const QString &path, const QStringList &mode = {})
{
    if (QFileInfo::exists(path))
        return true;
    std::printf("generating %s...\n", qPrintable(path));
    std::fflush(stdout);
    const QStringList arguments = QStringList(QStringLiteral(NASTAVNIK_SOURCE_DIR "/bench/make-bench-doc.py")) + mode
                                  + QStringList(path);
    const int rc = QProcess::execute(QStringLiteral("python3"), arguments);
    if (rc != 0)
        std::fprintf(stderr, "could not generate %s (exit code %d)\n", qPrintable(path), rc);
    return rc == 0;
}
