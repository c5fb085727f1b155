// A server session that ends under the program (an administrator ends it, the server restarts
// or stops for a while): the next action opens it again. A read is repeated on the new session;
// a write or a transaction that was cut is reported, nothing of it is stored, and sent again it
// is stored.

#include "db/connection.h"
#include "pgfixture.h"
#include "testbackend.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <functional>

using namespace zelvo;

namespace {

const QString CutWork = QStringLiteral("Sunucu bağlantısı koptu; yeniden bağlanıldı. Son işlem "
                                       "kaydedilmedi, yeniden deneyin.\n(");

enum class Ending { Terminated, Restarted };
enum class Action { Query, ReadProcedure, Update, InTransaction };

bool cluster(const QString& command)
{
    return QProcess::execute(QStringLiteral("sh"), {QStringLiteral(ZELVO_PGCLUSTER_SCRIPT), command,
                                                    pgtest::testCluster().host}) == 0;
}

// The fixture's own sessions end with the server as well.
void reopenFixtureSessions()
{
    for (const QString& name : QSqlDatabase::connectionNames())
        if (name.startsWith(QLatin1String("pgtest-"))) {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
            db.open();
        }
}

} // namespace

Q_DECLARE_METATYPE(Ending)
Q_DECLARE_METATYPE(Action)

class TstServerReconnect : public QObject {
    Q_OBJECT

    std::unique_ptr<pgtest::TestDatabase> database;
    std::unique_ptr<db::Connection> connection;

    int backend() { return connection->query("SELECT pg_backend_pid()").rows[0][0].toInt(); }
    QString unitName()
    {
        return pgtest::query(database->connect("observer"),
                             "SELECT birimadi FROM birim WHERE birimkodu = '01'")
            .rows.value(0)
            .value(0)
            .toString();
    }
    void rename(const QString& name)
    {
        connection->execute("UPDATE birim SET birimadi = @name WHERE birimkodu = '01'",
                            {{"@name", name}});
    }

    void end(Ending ending)
    {
        if (ending == Ending::Restarted) {
            QVERIFY(cluster("restart"));
            reopenFixtureSessions();
            return;
        }
        const pgtest::Rows ended = pgtest::query(
            database->connect("observer"), "SELECT pg_terminate_backend(?, 5000)", {backend()});
        QVERIFY(ended.rows.value(0).value(0).toBool());
    }

    // The action's error text, empty when it went through. A transaction's session ends inside
    // it, after its first statement.
    QString attempt(Action action, const QString& name, const std::function<void()>& inside = {})
    {
        try {
            switch (action) {
            case Action::Query:
                connection->query("SELECT birimadi FROM birim");
                break;
            case Action::ReadProcedure:
                connection->callProcedure("BirimGetir", {});
                break;
            case Action::Update:
                rename(name);
                break;
            case Action::InTransaction: {
                db::Transaction tx(*connection);
                rename("yarım");
                if (inside)
                    inside();
                rename(name);
                tx.commit();
                break;
            }
            }
        } catch (const db::DbError& error) {
            return error.text();
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() { ZELVO_REQUIRE_PG_CLUSTER(); }
    void init()
    {
        database = std::make_unique<pgtest::TestDatabase>();
        QVERIFY(database->isValid());
        connection = std::make_unique<db::Connection>();
        connection->openPostgres(pgtest::testAddress(database->name()));
    }
    void cleanup()
    {
        connection.reset();
        database.reset();
    }

    void lostSession_data()
    {
        QTest::addColumn<Ending>("ending");
        QTest::addColumn<Action>("action");
        QTest::addColumn<bool>("repeated");
        QTest::newRow("terminated, query") << Ending::Terminated << Action::Query << true;
        QTest::newRow("terminated, reading procedure")
            << Ending::Terminated << Action::ReadProcedure << true;
        QTest::newRow("terminated, update") << Ending::Terminated << Action::Update << false;
        QTest::newRow("terminated, transaction")
            << Ending::Terminated << Action::InTransaction << false;
        QTest::newRow("restarted, query") << Ending::Restarted << Action::Query << true;
        QTest::newRow("restarted, update") << Ending::Restarted << Action::Update << false;
    }
    void lostSession()
    {
        QFETCH(Ending, ending);
        QFETCH(Action, action);
        QFETCH(bool, repeated);
        const QString stored = unitName();
        const int session = backend();
        const auto endSession = [&] { end(ending); };
        if (action != Action::InTransaction)
            endSession();
        const QString error = attempt(action, "Yeni ad", endSession);
        QVERIFY(backend() != session);
        if (repeated) {
            QCOMPARE(error, QString());
            return;
        }
        QVERIFY2(error.startsWith(CutWork) && error.endsWith(')'), qPrintable(error));
        QVERIFY(!connection->inTransaction());
        QCOMPARE(unitName(), stored);
        QCOMPARE(attempt(action, "Yeni ad"), QString());
        QCOMPARE(unitName(), QStringLiteral("Yeni ad"));
    }

    // Every action while the server is away says so at once; once it is back, work goes on.
    void serverAway()
    {
        QVERIFY(cluster("down"));
        auto back = qScopeGuard([] {
            cluster("restart");
            reopenFixtureSessions();
        });
        for (const Action action : {Action::Query, Action::Update}) {
            QElapsedTimer clock;
            clock.start();
            const QString error = attempt(action, "Uzakta");
            QVERIFY2(error.startsWith("Sunucuya bağlanılamıyor: ") && error.size() > 30,
                     qPrintable(error));
            QVERIFY(clock.elapsed() < 3000);
        }
        back.dismiss();
        QVERIFY(cluster("restart"));
        reopenFixtureSessions();
        QCOMPARE(attempt(Action::Update, "Geri geldi"), QString());
        QCOMPARE(unitName(), QStringLiteral("Geri geldi"));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TstServerReconnect test;
    const int failures = QTest::qExec(&test, argc, argv);
    return failures == 0 && pgtest::skipped ? pgtest::SkipExitCode : failures;
}

#include "tst_server_reconnect.moc"
