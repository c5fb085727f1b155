#pragma once

#include <QString>

namespace zelvo::db {

class Connection;

// Tells the database who signed in, for the record of changes its triggers keep. A server
// knows it already (the role of the session); the embedded database keeps the name in the
// file, since SQLite has no session a trigger could ask.
void recordSignedInUser(Connection& connection, const QString& user);

} // namespace zelvo::db
