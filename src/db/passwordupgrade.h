#pragma once

namespace zelvo::db {

class Connection;

// Brings the user table of an opened database to the stored form of this version, in one
// transaction: a login procedure that still takes the password is replaced by the bundled one,
// a password column too narrow for a hash is widened (the table is rebuilt as the bundled schema
// declares it, rows and keys kept), and every password still stored as typed is replaced by its
// hash. Hashes and empty (null) passwords are left alone, so a second run changes
// nothing and a database written by this version is never taken back to plain text. Returns the
// number of passwords hashed. Throws DbError; nothing is changed then.
int upgradeStoredPasswords(Connection& connection);

} // namespace zelvo::db
