#pragma once

// The private PostgreSQL cluster of the tests (started by pgcluster.sh as the CTest fixture
// zelvo_pg) and a fresh database per test case, copied from the installed template.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace pgtest {

// Where the cluster listens, or why there is none.
struct Cluster {
    QString host; // the folder of its Unix socket
    QString unavailable;
    bool ciRequiresIt = false; // CI=true: a missing cluster is a failure, not a skip
};
Cluster testCluster();

// Use at the top of initTestCase(): fails the test when CI needs the cluster, skips it loudly
// otherwise. Sets pgtest::skipped so that main() can report the skip to CTest.
#define ZELVO_REQUIRE_PG_CLUSTER()                                                                 \
    do {                                                                                           \
        const pgtest::Cluster cluster_ = pgtest::testCluster();                                    \
        if (!cluster_.unavailable.isEmpty()) {                                                     \
            const QByteArray why_ =                                                                \
                ("PostgreSQL test cluster not available: " + cluster_.unavailable).toUtf8();       \
            if (cluster_.ciRequiresIt)                                                             \
                QFAIL(why_.constData());                                                           \
            pgtest::skipped = true;                                                                \
            qWarning("%s\nTHE POSTGRESQL CASES DID NOT RUN.", why_.constData());                   \
            QSKIP(why_.constData());                                                               \
        }                                                                                          \
    } while (false)

extern bool skipped;

// A role of the cluster that must give its password (scram-sha-256 over the socket) while zelvo
// and postgres need none, for the tests of a refused and of an accepted login; a member of
// zelvo, so it reaches what zelvo does. pgcluster.sh makes it.
inline const QString PasswordRole = QStringLiteral("zelvo_parolali");
inline const QString PasswordRolePassword = QStringLiteral("parola-dogru");

// CTest's SKIP_RETURN_CODE for a test that could not reach its cluster.
constexpr int SkipExitCode = 77;

// A database made for one test case: a copy of the template (or an empty database), dropped
// again when the object goes. A failure to make it is a test failure (isValid() false).
class TestDatabase {
public:
    enum class Content { Installed, Empty };
    // createOptions go to CREATE DATABASE (an empty database may take its own locale).
    explicit TestDatabase(Content content = Content::Installed, const QString& createOptions = {});
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    bool isValid() const { return db().isOpen(); }
    QSqlDatabase db() const;
    QString name() const { return m_name; }
    // A further connection to the same database (for a second workstation).
    QSqlDatabase connect(const QString& connectionName) const;
    // A connection signed in as a login role with its password, as psql would be.
    QSqlDatabase signIn(const QString& user, const QString& password) const;

private:
    QString m_name;
    QString m_connection;
};

// Runs a whole SQL text in one round trip (dollar-quoted bodies stay intact). Returns the
// server's error text, empty when it succeeded.
QString runScript(QSqlDatabase db, const QString& sql);
QString readFile(const QString& path);

// A result read to the end, with the values as the client sees them, or the error.
struct Rows {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
    QString error;
    QString sqlState; // of the error
};
// Runs a statement with positional '?' values.
Rows tryQuery(QSqlDatabase db, const QString& sql, const QVariantList& values = {});
// The same, and an error is a test failure.
Rows query(QSqlDatabase db, const QString& sql, const QVariantList& values = {});
// Calls a server function the way the client calls a procedure: SELECT * FROM name(?, ...).
Rows callProcedure(QSqlDatabase db, const QString& name, const QVariantList& values);

} // namespace pgtest
