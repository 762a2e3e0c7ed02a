// Paths of the program's files: the library tree (wherever it lives, see
// LibraryLocation) and the program's shared files.
//
// Teachers copy the Baza folder between machines, and a library made on
// Windows may arrive as BAZA/DATA/INDEX.DAT. On a file system that tells
// letter case apart the program therefore finds every existing file and
// folder whatever its letter case, and creates missing ones under one fixed
// spelling (the one written in the relative paths below).
#pragma once

#include <QString>

namespace Paths {

// The folder of the executable, ending with '/'.
QString programFolder();

// The folder of the program's shared files (the help file, the library
// template), ending with '/': <prefix>/share/nastavnik/ for a program
// installed as <prefix>/bin/nastavnik, or else the program folder itself.
// Found relative to the program, so an installation works wherever it is
// unpacked.
QString shareFolder(const QString &programFolder);

// base + relative, where relative may use '/' or '\'. Each component that
// exists on disk in another letter case is found as it is; components that
// do not exist keep the spelling given.
QString resolve(const QString &base, const QString &relative);

// A file that a document names (a picture) inside the folder that holds
// it: relative may use '/' or '\' and any letter case, as resolve(). The
// file is found only when it is a regular file that, with every symbolic
// link on the way followed, lies inside the folder. A name that is absolute
// (starting with '/', '\' or a drive letter) or climbs out with ".." is
// never looked up. Otherwise a document could make the program read, and
// copy into the library or back out of it, any file the user can read.
// Returns the file's canonical path, or an empty string when not found.
QString fileInside(const QString &folder, const QString &relative);

// Fixed places of the library, resolved under the library folder (the
// folder traditionally called Baza).
QString dataFolder(const QString &library);                                   // Data
QString subjectIndex(const QString &library);                                 // Data/Index.dat
QString subjectFolder(const QString &library, const QString &number);         // Data/<n>
QString topicIndex(const QString &subjectFolder);                             // <subject>/Index.dat
QString topicFolder(const QString &subjectFolder, const QString &number);     // <subject>/<m>
QString baseFile(const QString &topicFolder);                                 // <topic>/Baza.dat
QString tagIndexFile(const QString &topicFolder);                             // <topic>/Baza.ini
QString configFile(const QString &topicFolder);                               // <topic>/Config.dat
QString soundConfig(const QString &library);                                  // Sound/Sound.cfg
QString cueFile(const QString &library, const QString &cue);                  // Sound/<cue>.wav
QString resultsFile(const QString &library);                                  // Images/normal.cfg
QString journalFile(const QString &library);                                  // Images/journal.sqlite
QString journalSettings(const QString &library);                              // journal.cfg
QString helpFile(const QString &shareFolder);                                 // Help.chm

// The folder part of a file path, without a trailing separator.
QString folderOf(const QString &filePath);

} // namespace Paths
