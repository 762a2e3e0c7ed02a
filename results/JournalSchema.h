// The journal's tables, the same in the SQLite file every computer keeps and
// on a lab's PostgreSQL server: created when missing and brought up to the
// version this program writes, one step at a time.
#pragma once

#include "library/Expected.h"

#include <QString>

#include <utility>

class QSqlDatabase;

namespace JournalSchema {

// The version this program writes; a database of a later one is refused.
inline constexpr int Version = 2;

enum class Place { Local, Server };

// Creates or updates the tables in one transaction. The local file also
// gets the outbox: what is waiting to be sent to a server, in order.
Status apply(QSqlDatabase &db, Place place);

// "Физика - ( Оптика )", as the results table names a topic, split into
// subject and topic; both empty when the text is not of that form.
std::pair<QString, QString> splitCaption(const QString &caption);

} // namespace JournalSchema
