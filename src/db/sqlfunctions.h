#pragma once

struct sqlite3;

namespace zelvo::db {

// SQL functions the procedure bodies call: trfold (Turkish lower-case folding), dec2 (two
// decimals, half away from zero, from the shortest decimal form) and share (a percentage of an
// amount, exactly). Registered on every embedded connection.
void registerSqlFunctions(sqlite3* handle);

} // namespace zelvo::db
