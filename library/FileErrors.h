// The system's reason for a failed file operation, in Russian. Qt reports
// it in the system's language, which is English under LANG=C or on a
// machine without Russian system messages, and for a full disk always
// English; every file message of the program takes its reason from here so
// that a Russian sentence never ends in an English one.
#pragma once

#include <QString>

class QFileDevice;

namespace FileErrors {

// The reason in Russian when it is one of the common ones (file or folder
// missing, access denied, disk full, not a folder, read-only file system and
// a few more); any other text is returned as the system gave it.
QString reason(const QString &systemText);

// The reason of the last failure of a file.
QString reason(const QFileDevice &file);

} // namespace FileErrors
