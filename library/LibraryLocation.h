// Where the library lives. A copy of the program in a folder of its own
// (the portable layout) keeps its library in Baza beside itself; a program
// installed for every user of a computer cannot write there, and a lab may
// share one library on a network folder that students can read but not
// write. The library is therefore looked for, in this order:
//   1. the folder named by the environment variable NASTAVNIK_BAZA;
//   2. the folder named by the line "baza=/path" of the settings file
//      (/etc/nastavnik.conf; nastavnik.conf beside the program on Windows);
//   3. Baza beside the program, when that folder exists and can be written;
//   4. the user's own library, Baza in the user's data folder
//      (~/.local/share/nastavnik/Baza), made from the library template
//      shipped with the program.
// A library that can be read but not written still serves for testing; the
// results table and the journal then go to the user's own library, and the
// chooser refuses to change subjects and topics. What the user should know
// about the choice comes back as notices, said once by the windows.
#pragma once

#include "library/Expected.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace LibraryLocation {

// The settings file's content as far as the library is concerned.
struct Settings
{
    QString library;        // the folder of "baza=", absolute; empty when not set
    QStringList problems;   // lines that were not understood, in Russian, naming the file
};

// Reads the settings file's bytes (UTF-8, or Windows-1251 when they are not
// UTF-8). One setting a line, "name=value"; blank lines and lines starting
// with '#' or ';' are comments. fileName names the file in the problems.
Settings parseSettings(const QByteArray &bytes, const QString &fileName);

// Reads the settings file; a missing one sets nothing and is no problem.
Settings readSettings(const QString &path);

// What the choice looks at.
struct Places
{
    QString environment;      // the value of NASTAVNIK_BAZA; empty when unset
    QString settingsFile;     // the settings file's path
    QString programFolder;    // ending with '/'
    QString userData;         // the user's data folder for the program, ending with '/'
    QString libraryTemplate;  // the library template; empty when the program has none
};

// The places of the running program: its environment, its settings file,
// its folder, the user's data folder and the template in its share folder.
Places systemPlaces();

enum class Origin { Environment, SettingsFile, BesideProgram, UserData };

struct Location
{
    QString library;          // ending with '/'
    Origin origin = Origin::UserData;
    bool writable = true;
    // The library whose Images folder keeps the results table and the
    // journal: the library itself, or the user's own when it cannot be
    // written. Ending with '/'.
    QString resultsLibrary;
    QStringList notices;      // to be said once, in Russian
};

// Whether a library folder can be written: the folder and its Data folder.
bool canWrite(const QString &library);

// Chooses the library by the rule above, making the user's own library (or
// a named library that does not exist yet) from the template, and the
// user's results folder when the library is read-only. writable answers
// whether an existing library folder can be written.
Location locate(const Places &places, const std::function<bool(const QString &)> &writable = canWrite);

// Fills a library folder from the template, creating it when missing. A
// file that is there already is never replaced. The subjects and topics
// (Data) are copied only into a library that has none yet: no subject
// index, or an empty one beside no subject folder.
Status fillFromTemplate(const QString &libraryTemplate, const QString &library);

} // namespace LibraryLocation
