#pragma once

// The backend a test session runs on. By default the embedded database, in memory; with
// ZELVO_TEST_BACKEND=postgresql (CTest sets it for the name_pg registration of a suite) a fresh
// database of the test cluster, copied from the installed template and dropped afterwards.

#include "db/connection.h"
#include "pgfixture.h"

#include <memory>

namespace pgtest {

bool serverBackendRequested();

// Which backend a session opens: the one the environment asks for, or a given one (a test that
// compares the two).
enum class Backend { Requested, Embedded, Server };

// The address of a database of the test cluster, as the program would be given it.
zelvo::db::ServerAddress testAddress(const QString& databaseName);

// Opens `connection` on the requested backend. A server database is kept in `database`, which
// must outlive the connection. Without a cluster the program ends: with the skip code (and a
// loud message) on a developer's machine, as a failure in CI.
// With `embeddedFile`, the embedded database is that file (made on first use) instead of one in
// memory, so that a second workstation can open it too.
void openTestDatabase(zelvo::db::Connection& connection, std::unique_ptr<TestDatabase>& database,
                      Backend backend = Backend::Requested, const QString& embeddedFile = {});

// Opens `second` on the database `first` was opened on by openTestDatabase() (`database` on the
// server, the file of the embedded one): another workstation.
void openSecondWorkstation(zelvo::db::Connection& second, const zelvo::db::Connection& first,
                           const TestDatabase* database);

// A user name no other test process uses at the same time, for a login role whose password a
// test changes (the test cluster's roles are shared by all its databases): `initial` and a
// serial, at most ten characters as the user table holds them.
QString uniqueUserName(QChar initial);

// server/demo.sql: the demonstration students, loaded the same way into either backend.
QString demoScriptPath();

} // namespace pgtest
