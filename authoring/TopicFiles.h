// The files of a topic folder, written and read without any window: the
// new topic's files from a checked source document, the restore of a
// topic's source into a folder the author chose, and the removal of a
// topic's folder. Errors name the file and what went wrong.
#pragma once

#include "library/Expected.h"
#include "library/LineList.h"

#include <QString>
#include <QStringList>

class LineModel;

namespace TopicFiles {

// Writes a new topic's files into its (existing, empty) folder, in this
// order: Baza.dat (the document's lines as they were checked, coded), the
// pictures named in the document (copied from pictureFolder with their
// dates kept; sub-folders are created), Baza.ini (the tag index) and
// Config.dat with the options of a new topic. Files written before a
// failure stay.
Status writeTopicFiles(const QString &topicFolder, const LineList &sourceLines, const QString &pictureFolder,
                       const QStringList &pictureNames, const LineList &tagIndex, int testCount);

// The same for a document file, read once by SourceDocument::read.
Status writeTopicFiles(const QString &topicFolder, const QString &sourcePath, const QStringList &pictureNames,
                       const LineList &tagIndex, int testCount);

// Decodes a topic's Baza.dat and writes it as test.rtf into destFolder, each
// line ended by CR LF. Returns the bytes written, to be loaded as the
// document whose pictures are then restored.
Expected<QByteArray> restoreSource(const QString &basePath, const QString &destFolder);

// The picture names of a loaded document, in document order: for every
// "{pic=" the name on the line where it ends. A name given twice is listed
// twice.
QStringList pictureNames(const LineModel &lines);

// What copying a document's pictures did.
struct PictureCopy
{
    QStringList copied;  // the files written, in the destination folder
    QStringList missing; // names as written that were not found (findPicture)
    Status status;       // the first failure to write; copying stops there
};

// Copies pictures, named as in the document, from one folder to another.
// Each is found by findPicture (any letter case, never outside fromFolder);
// one that is not found is listed and the others are copied. The copy is
// made under the name as written, keeping the source's modification date,
// and never lands outside toFolder (a sub-folder there may be a link).
PictureCopy copyPictures(const QString &fromFolder, const QString &toFolder, const QStringList &pictureNames);

// Copies one file over another (replacing it), creating missing folders on
// the way and keeping the source's modification date. A file copied onto
// itself is left as it is.
Status copyKeepingDate(const QString &from, const QString &to);

// True when a folder holds no ordinary file; sub-folders, hidden and system
// files do not count.
bool hasNoFiles(const QString &folder);

// Deletes everything in a topic folder (picture sub-folders included) and
// then the folder. The error names the item that could not be removed.
Status removeTopicFolder(const QString &folder);

} // namespace TopicFiles
