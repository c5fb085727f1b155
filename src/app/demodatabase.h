#pragma once

#include "db/connection.h"

#include <QString>

namespace zelvo::app {

// The demonstration database: a file of its own beside the user's database, never the user's
// database itself. It is built anew at every demo start, the way the program builds any new
// database (the bundled server scripts) plus the demonstration students and their staff user, so
// each demo starts from the same month and leftovers of the last one never confuse it.
QString demoDatabasePath();

// Removes what is at `path` (with its journal files), builds the demonstration database there and
// leaves `connection` open on it. Throws DbError.
void openDemoDatabase(db::Connection& connection, const QString& path = demoDatabasePath());

} // namespace zelvo::app
