// The library tree as a whole, beyond single index files: opening the
// subject index with a clear account of what is missing, choosing folder
// numbers that are free on disk as well as in the index, making new entry
// folders, taking back exactly what a failed command added, and clearing
// the temporary files an interrupted save leaves beside the library's files.
// The chooser calls these; nothing here shows anything.
#pragma once

#include "library/Expected.h"
#include "library/IndexFile.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Library {

// Loads the subject index of a library. When it cannot be read the index is
// left empty and the error says why, naming the path: no library folder, a
// Data that is not a folder, no Index.dat, an Index.dat that is a link
// leading nowhere (or round in a loop), or a read error.
Status openSubjectIndex(const QString &library, IndexFile &index);

// The folder number for a new entry of an index whose entries live in
// parentFolder: the smallest positive number that no line of the index
// uses and that names nothing in parentFolder (a teacher may have taken a
// line out of the index and left its folder). A line whose number cannot be
// read is an error naming the file and the line: its folder is unknown.
Expected<int> newFolderNumber(const IndexFile &index, const QString &parentFolder);

// Creates a new entry folder, and the folders above it when they are
// missing. An existing folder is refused: a new entry never writes into
// anything it did not create.
Status makeNewFolder(const QString &folder);

// What a folder held before a command wrote into it, so that a command that
// fails can take back exactly what it added and nothing else.
class FolderSnapshot
{
public:
    static FolderSnapshot take(const QString &folder);

    // Removes every file and folder under the folder that was not there when
    // the snapshot was taken, and the folder itself when it did not exist
    // then and is empty now. What was there before is left as it is.
    Status rollBack() const;

private:
    QString m_folder;
    bool m_existed = false;
    QStringList m_entries;   // relative paths, as found then
};

// The library tree's transactions. Each changes an index in memory and
// saves it whole; when a step fails, what the transaction changed is put
// back (the index line, and only what it added on disk) and the error
// says what failed.

// A new entry line of index (saved at indexPath) and its new folder, made
// by makeNewFolder; fill writes the folder's files (an empty topic index
// for a subject, the topic's files for a topic).
Status addEntry(IndexFile &index, const QString &indexPath, const QByteArray &name, int number,
                const QString &folder, const std::function<Status(const QString &folder)> &fill);

// The entry of a row gets a new name and keeps its folder number.
Status renameEntry(IndexFile &index, const QString &indexPath, int row, const QByteArray &name);

// Takes a row's line out of the index; a line that cannot be saved stays.
Status removeEntry(IndexFile &index, const QString &indexPath, int row);

// Removes a subject's folder once its topics have gone: its topic index and
// the folder itself. A folder that holds anything else (a teacher's own
// files) is left whole and the error lists what is in it.
Status removeSubjectFolder(const QString &subjectFolder);

// Removes the temporary files that a save interrupted by a crash or a power
// cut leaves beside the file it was replacing ("Index.dat.aB3xYz" and the
// like), in the library tree, the results folder and the sound folder.
// Returns the paths removed.
QStringList removeSaveLeftovers(const QString &library);

} // namespace Library
