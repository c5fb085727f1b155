// A server session that ends under the program: a read runs again on a new session; a write or
// a transaction it cut is reported, nothing of it is stored, and sent again it is stored; while
// the server is away every action says so at once.

#include "testbackend.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

using namespace zelvo;

class TstServerReconnect : public QObject {
    Q_OBJECT

    std::unique_ptr<pgtest::TestDatabase> database;
    db::Connection connection;

    // pgcluster.sh down or restart; the fixture's own sessions end too and open again
    static void cluster(const char* command)
    {
        QVERIFY(QProcess::execute(
                    "sh", {ZELVO_PGCLUSTER_SCRIPT, command, pgtest::testCluster().host}) == 0);
        for (const QString& name : QSqlDatabase::connectionNames())
            if (QSqlDatabase db = QSqlDatabase::database(name, false); name.startsWith("pgtest-")) {
                db.close();
                db.open();
            }
    }
    int backend() { return connection.query("SELECT pg_backend_pid()").rows[0][0].toInt(); }
    // Runs `action` ("query", "procedure", "update", "transaction"); `end` ends the session
    // before it, or inside the transaction. The error, empty when it went through.
    QString attempt(
        const QString& action, const std::function<void()>& end = [] {})
    {
        const QString rename = "UPDATE birim SET birimadi = 'Yeni ad' WHERE birimkodu = '01'";
        try {
            if (action != "transaction")
                end();
            if (action == "query")
                connection.query("SELECT birimadi FROM birim");
            else if (action == "procedure")
                connection.callProcedure("BirimGetir", {});
            else if (action == "update")
                connection.execute(rename);
            else {
                db::Transaction tx(connection);
                connection.execute("UPDATE birim SET birimadi = 'yarım'");
                end();
                connection.execute(rename);
                tx.commit();
            }
        } catch (const db::DbError& error) {
            return error.text();
        }
        return {};
    }
    int renamed()
    {
        return connection.query("SELECT count(*) FROM birim WHERE birimadi = 'Yeni ad'")
            .rows[0][0]
            .toInt();
    }

private Q_SLOTS:
    void init() { pgtest::openTestDatabase(connection, database, pgtest::Backend::Server); }
    void cleanup()
    {
        connection.close();
        database.reset();
    }

    void lostSession_data()
    {
        QTest::addColumn<bool>("restart"); // or the backend is terminated
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("repeated");
        QTest::newRow("terminated, query") << false << "query" << true;
        QTest::newRow("terminated, reading procedure") << false << "procedure" << true;
        QTest::newRow("terminated, update") << false << "update" << false;
        QTest::newRow("terminated, transaction") << false << "transaction" << false;
        QTest::newRow("restarted, update") << true << "update" << false;
    }
    void lostSession()
    {
        QFETCH(bool, restart);
        QFETCH(QString, action);
        QFETCH(bool, repeated);
        const int session = backend();
        const QString error = attempt(action, [&] {
            if (restart)
                return cluster("restart");
            QVERIFY(pgtest::query(database->db(), "SELECT pg_terminate_backend(?, 5000)", {session})
                        .rows[0][0]
                        .toBool());
        });
        QVERIFY(backend() != session);
        QVERIFY2(repeated ? error.isEmpty()
                          : error.startsWith("Sunucu bağlantısı koptu; yeniden bağlanıldı. Son "
                                             "işlem kaydedilmedi, yeniden deneyin.\n(") &&
                                error.endsWith(')'),
                 qPrintable(error));
        QCOMPARE(renamed(), 0);
        QCOMPARE(attempt(action), QString());
        QCOMPARE(renamed(), repeated ? 0 : 1);
    }

    void serverAway()
    {
        QElapsedTimer clock;
        clock.start();
        const QString error = attempt("update", [] { cluster("down"); });
        const qint64 waited = clock.elapsed();
        cluster("restart");
        QVERIFY2(error.startsWith("Sunucuya bağlanılamıyor: connection to server"),
                 qPrintable(error));
        QVERIFY(waited < 3000);
        QCOMPARE(attempt("update"), QString());
        QCOMPARE(renamed(), 1);
    }
};

QTEST_GUILESS_MAIN(TstServerReconnect)
#include "tst_server_reconnect.moc"
