#include "testbackend.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

using namespace zelvo;

namespace pgtest {

bool serverBackendRequested()
{
    return qEnvironmentVariable("ZELVO_TEST_BACKEND") == QLatin1String("postgresql");
}

db::ServerAddress testAddress(const QString& databaseName)
{
    db::ServerAddress address;
    address.host = testCluster().host;
    address.name = databaseName;
    address.user = QStringLiteral("zelvo");
    return address;
}

void openTestDatabase(db::Connection& connection, std::unique_ptr<TestDatabase>& database,
                      Backend backend, const QString& embeddedFile)
{
    const bool server =
        backend == Backend::Server || (backend == Backend::Requested && serverBackendRequested());
    if (!server) {
        if (embeddedFile.isEmpty())
            connection.openInMemory();
        else
            connection.openSqlite(embeddedFile);
        return;
    }
    const Cluster cluster = testCluster();
    if (!cluster.unavailable.isEmpty()) {
        std::fprintf(stderr,
                     "PostgreSQL test cluster not available: %s\n"
                     "THE POSTGRESQL CASES OF THIS SUITE DID NOT RUN.\n",
                     qPrintable(cluster.unavailable));
        std::exit(cluster.ciRequiresIt ? EXIT_FAILURE : SkipExitCode);
    }
    database = std::make_unique<TestDatabase>();
    if (!database->isValid())
        throw db::DbError(
            QStringLiteral("test database %1 could not be made").arg(database->name()));
    connection.openPostgres(testAddress(database->name()));
}

void openSecondWorkstation(db::Connection& second, const db::Connection& first,
                           const TestDatabase* database)
{
    if (first.backendName() == QLatin1String("postgresql") && database)
        second.openPostgres(testAddress(database->name()));
    else if (!first.filePath().isEmpty())
        second.openSqlite(first.filePath(), db::Connection::OpenMode::MustExist);
    else
        throw db::DbError(QStringLiteral("a database in memory has no second workstation"));
}

QString uniqueUserName(QChar initial)
{
    static int serial = 0;
    return initial + QString::number(QCoreApplication::applicationPid(), 36) +
           QString::number(++serial, 36);
}

QString demoScriptPath()
{
    return QStringLiteral(ZELVO_SOURCE_DIR "/server/demo.sql");
}

} // namespace pgtest
