// The connection on either backend: transactions inside transactions, the lock that keeps two
// workstations from running the same monthly step at once, the messages of a server connection
// that fails, the schema installation, and a password in the settings file.

#include "db/postgresdialect.h"
#include "db/settings.h"
#include "serverfixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using namespace zelvo;

using servertest::ServerFixture;

namespace {

const QString Step = QStringLiteral("Puantaj hesabı");

bool onServer(const db::Connection& connection)
{
    return connection.backendName() == QLatin1String("postgresql");
}

int unitCount(db::Connection& connection)
{
    return connection.query(QStringLiteral("SELECT count(*) FROM birim"))
        .rows.value(0)
        .value(0)
        .toInt();
}

void addUnit(db::Connection& connection, const QString& code)
{
    connection.execute(QStringLiteral("INSERT INTO birim (birimkodu, birimadi) VALUES (@c, 'x')"),
                       {{QStringLiteral("@c"), code}});
}

QString openingError(const db::ServerAddress& address)
{
    db::Connection connection;
    try {
        connection.openPostgres(address);
    } catch (const db::DbError& e) {
        return e.text();
    }
    return {};
}

// Points libpq at a password file of the test's own (PGPASSFILE) while it lives, so that no
// ~/.pgpass of the machine takes part; with no lines, the file does not exist.
class PasswordFile {
public:
    explicit PasswordFile(const QStringList& lines = {})
        : m_previous(qgetenv("PGPASSFILE")), m_hadPrevious(qEnvironmentVariableIsSet("PGPASSFILE"))
    {
        const QString path = m_dir.filePath(QStringLiteral("pgpass"));
        if (!lines.isEmpty()) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) ||
                file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0)
                qFatal("cannot write %s", qPrintable(path));
            // libpq skips a password file that others may read
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        qputenv("PGPASSFILE", QFile::encodeName(path));
    }
    ~PasswordFile()
    {
        if (m_hadPrevious)
            qputenv("PGPASSFILE", m_previous);
        else
            qunsetenv("PGPASSFILE");
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious;
};

db::ServerAddress passwordRoleAddress(const QString& databaseName)
{
    db::ServerAddress address = pgtest::testAddress(databaseName);
    address.user = pgtest::PasswordRole;
    return address;
}

} // namespace

class TstServerConnection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An inner rollback undoes only the inner work; the outer commit keeps the outer work.
    void innerRollbackKeepsOuterWork()
    {
        ServerFixture f;
        db::Connection& c = *f.conn;
        const int before = unitCount(c);
        {
            db::Transaction outer(c);
            addUnit(c, QStringLiteral("91"));
            {
                db::Transaction inner(c);
                addUnit(c, QStringLiteral("92"));
                QCOMPARE(c.transactionDepth(), 2);
            } // not committed: rolled back to its savepoint
            QCOMPARE(c.transactionDepth(), 1);
            QCOMPARE(unitCount(c), before + 1);
            outer.commit();
        }
        QVERIFY(!c.inTransaction());
        QCOMPARE(unitCount(c), before + 1);
        QCOMPARE(c.query(QStringLiteral("SELECT birimkodu FROM birim WHERE birimkodu IN "
                                        "('91','92')"))
                     .rows.size(),
                 1);
    }

    // An inner commit is final only with the outer one.
    void outerRollbackUndoesCommittedInnerWork()
    {
        ServerFixture f;
        db::Connection& c = *f.conn;
        const int before = unitCount(c);
        {
            db::Transaction outer(c);
            addUnit(c, QStringLiteral("91"));
            db::Transaction inner(c);
            addUnit(c, QStringLiteral("92"));
            inner.commit();
        }
        QCOMPARE(unitCount(c), before);
    }

    // An error inside an inner level leaves the outer one usable (on a server the failed
    // statement would otherwise spoil the whole transaction).
    void failedInnerWorkLeavesOuterUsable()
    {
        ServerFixture f;
        db::Connection& c = *f.conn;
        const int before = unitCount(c);
        {
            db::Transaction outer(c);
            addUnit(c, QStringLiteral("91"));
            try {
                db::Transaction inner(c);
                addUnit(c, QStringLiteral("91")); // the key is taken
                inner.commit();
                QFAIL("a second unit 91 was stored");
            } catch (const db::DbError&) {
            }
            addUnit(c, QStringLiteral("93"));
            outer.commit();
        }
        QCOMPARE(unitCount(c), before + 2);
    }

    // The same step of the same unit and month waits for the first workstation and then says
    // which step it is; another unit or another step does not wait.
    void secondWorkstationWaitsForTheStep()
    {
        ServerFixture f;
        db::Connection& first = *f.conn;
        db::Connection second;
        if (onServer(first))
            second.openPostgres(pgtest::testAddress(f.database->name()));
        else
            second.openInMemory();
        second.setStepWaitMs(300);

        db::Transaction running(first);
        first.lockStep(Step, QStringLiteral("birim 01, 2026/3"));
        {
            db::Transaction other(second);
            second.lockStep(Step, QStringLiteral("birim 02, 2026/3"));
            second.lockStep(QStringLiteral("Tahakkuk hesabı"), QStringLiteral("birim 01, 2026/3"));
            other.commit();
        }
        QString refusal;
        QElapsedTimer waited;
        waited.start();
        try {
            db::Transaction same(second);
            second.lockStep(Step, QStringLiteral("birim 01, 2026/3"));
            same.commit();
        } catch (const db::DbError& e) {
            refusal = e.text();
        }
        if (!onServer(first)) {
            QCOMPARE(refusal, QString()); // one program writes an embedded file at a time
            return;
        }
        QVERIFY2(refusal.startsWith(Step) && refusal.contains(QLatin1String("birim 01, 2026/3")),
                 qPrintable(refusal));
        QVERIFY(waited.elapsed() >= 250);
        QVERIFY(waited.elapsed() < 5000);
        running.commit();
        db::Transaction after(second);
        second.lockStep(Step, QStringLiteral("birim 01, 2026/3"));
        after.commit();
    }

    // Each way a server connection fails has a message of its own.
    void serverFailuresAreToldApart_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("expected");
        QTest::newRow("server unreachable") << "unreachable"
                                            << "sunucusuna ulaşılamadı";
        QTest::newRow("database missing") << "database"
                                          << "adlı veritabanı yok";
        QTest::newRow("schema missing") << "schema"
                                        << "şeması kurulu değil";
        QTest::newRow("schema older") << "older"
                                      << "şeması eski";
        QTest::newRow("schema newer") << "newer"
                                      << "bu programdan yeni";
        QTest::newRow("procedures of an earlier version") << "procedures"
                                                          << "yordamları eksik";
    }
    void serverFailuresAreToldApart()
    {
        QFETCH(QString, failure);
        QFETCH(QString, expected);
        if (!pgtest::serverBackendRequested())
            QSKIP("server connections are tested in the PostgreSQL run of this suite");
        std::unique_ptr<pgtest::TestDatabase> database;
        db::ServerAddress address = pgtest::testAddress(QStringLiteral("postgres"));
        QTemporaryDir noServer;
        if (failure == QLatin1String("unreachable")) {
            address.host = noServer.path();
        } else if (failure == QLatin1String("database")) {
            address.name = QStringLiteral("zelvo_no_such_database");
        } else if (failure == QLatin1String("schema")) {
            database = std::make_unique<pgtest::TestDatabase>(pgtest::TestDatabase::Content::Empty);
            address.name = database->name();
        } else if (failure == QLatin1String("procedures")) {
            database = std::make_unique<pgtest::TestDatabase>();
            address.name = database->name();
            pgtest::query(database->db(),
                          QStringLiteral("DELETE FROM zelvo_procedure WHERE name = 'PuantajYaz'"));
        } else {
            database = std::make_unique<pgtest::TestDatabase>();
            address.name = database->name();
            pgtest::query(database->db(), QStringLiteral("UPDATE schema_version SET version = ?"),
                          {failure == QLatin1String("older") ? 0 : db::SchemaVersion + 1});
        }
        QElapsedTimer took;
        took.start();
        const QString text = openingError(address);
        qInfo("%s", qPrintable(text)); // the message as the user reads it, in the log
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY(took.elapsed() < 10000);
        if (failure == QLatin1String("schema") || failure == QLatin1String("older") ||
            failure == QLatin1String("procedures"))
            QVERIFY2(text.contains(QLatin1String("zelvo --install-schema")), qPrintable(text));
    }

    // A role that must authenticate opens the database with its password, given in the settings
    // or found in libpq's password file; a wrong password, or none, is told as a refused login:
    // neither an unreachable server nor libpq's own text.
    void passwordsOpenOrAreRefused_data()
    {
        QTest::addColumn<QString>("given");     // in the settings
        QTest::addColumn<QString>("inTheFile"); // in the password file; empty: no file
        QTest::addColumn<bool>("opens");
        QTest::newRow("wrong password given") << "parola-yanlis"
                                              << "" << false;
        QTest::newRow("no password at all") << ""
                                            << "" << false;
        QTest::newRow("right one in the file") << "" << pgtest::PasswordRolePassword << true;
        QTest::newRow("wrong one in the file") << ""
                                               << "parola-yanlis" << false;
    }
    void passwordsOpenOrAreRefused()
    {
        QFETCH(QString, given);
        QFETCH(QString, inTheFile);
        QFETCH(bool, opens);
        if (!pgtest::serverBackendRequested())
            QSKIP("server connections are tested in the PostgreSQL run of this suite");
        pgtest::TestDatabase database;
        QVERIFY(database.isValid());
        db::ServerAddress address = passwordRoleAddress(database.name());
        address.password = given;
        // host:port:database:user:password, the host being the socket folder
        const PasswordFile file(
            inTheFile.isEmpty()
                ? QStringList()
                : QStringList{QStringLiteral("%1:*:%2:%3:%4")
                                  .arg(address.host, address.name, address.user, inTheFile)});
        db::Connection c;
        QString refusal;
        try {
            c.openPostgres(address);
        } catch (const db::DbError& e) {
            refusal = e.text();
        }
        if (!opens) {
            qInfo("%s", qPrintable(refusal));
            QVERIFY2(refusal.startsWith(QStringLiteral("Veritabanı sunucusu girişi reddetti")),
                     qPrintable(refusal));
            QVERIFY2(refusal.contains(QLatin1Char('"') + pgtest::PasswordRole + QLatin1Char('"')),
                     qPrintable(refusal));
            return;
        }
        QCOMPARE(refusal, QString());
        QCOMPARE(c.query(QStringLiteral("SELECT current_user")).rows.value(0).value(0).toString(),
                 pgtest::PasswordRole);
        QCOMPARE(c.callProcedure(QStringLiteral("BirimGetir"), {}).rows.size(), 1);
    }

    // The installation (`zelvo --install-schema`, from the settings file) makes an empty database
    // one the program opens; a second run changes nothing.
    void schemaInstallsIntoAnEmptyDatabaseAndMayRunTwice()
    {
        if (!pgtest::serverBackendRequested())
            QSKIP("the embedded database installs itself when first opened");
        pgtest::TestDatabase empty(pgtest::TestDatabase::Content::Empty,
                                   QStringLiteral("LOCALE_PROVIDER icu ICU_LOCALE 'tr-TR' "
                                                  "LOCALE 'C.UTF-8'"));
        QVERIFY(empty.isValid());
        const db::ServerAddress address = pgtest::testAddress(empty.name());
        QTemporaryDir dir;
        const QString settingsPath = dir.filePath(QStringLiteral("zelvo.ini"));
        {
            QSettings ini(settingsPath, QSettings::IniFormat);
            ini.setValue(QStringLiteral("database/kind"), QStringLiteral("postgresql"));
            ini.setValue(QStringLiteral("database/host"), address.host);
            ini.setValue(QStringLiteral("database/name"), address.name);
            ini.setValue(QStringLiteral("database/user"), address.user);
        }
        QStringList procedures;
        for (int run = 0; run < 2; ++run) {
            const QString said =
                db::installConfiguredSchema(db::loadDatabaseSettings(settingsPath));
            QVERIFY2(said.contains(empty.name()), qPrintable(said));
            db::Connection c;
            c.openPostgres(address);
            QCOMPARE(c.callProcedure(QStringLiteral("BirimGetir"), {}).rows.size(), 1);
            QStringList names;
            for (const auto& row :
                 c.query(QStringLiteral("SELECT name FROM zelvo_procedure ORDER BY name")).rows)
                names << row.value(0).toString();
            QCOMPARE(names.size(), 38);
            if (run == 1)
                QCOMPARE(names, procedures);
            procedures = names;
        }
    }

    // A password in the settings file is refused while others may read the file.
    void passwordInSettingsNeedsAnOwnerOnlyFile_data()
    {
        QTest::addColumn<int>("permissions");
        QTest::addColumn<bool>("taken");
        QTest::newRow("owner only") << int(QFile::ReadOwner | QFile::WriteOwner) << true;
        QTest::newRow("group may read")
            << int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup) << false;
        QTest::newRow("anyone may read")
            << int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther) << false;
    }
    void passwordInSettingsNeedsAnOwnerOnlyFile()
    {
        QFETCH(int, permissions);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelvo.ini"));
        QFile ini(path);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[database]\nkind=postgresql\nhost=db.example\nport=5433\nname=zelvo\n"
                  "user=zelvo\npassword=secret\nsslmode=require\n");
        ini.close();
        QVERIFY(ini.setPermissions(QFile::Permissions(permissions)));
        QString refusal;
        db::DatabaseSettings settings;
        try {
            settings = db::loadDatabaseSettings(path);
        } catch (const db::DbError& e) {
            refusal = e.text();
        }
        if (!taken) {
            QVERIFY2(refusal.contains(QLatin1String("chmod 600")), qPrintable(refusal));
            return;
        }
        QCOMPARE(refusal, QString());
        QVERIFY(settings.isServer());
        QCOMPARE(settings.server.host, QStringLiteral("db.example"));
        QCOMPARE(settings.server.port, 5433);
        QCOMPARE(settings.server.password, QStringLiteral("secret"));
        QCOMPARE(settings.server.sslmode, QStringLiteral("require"));
    }
};

QTEST_GUILESS_MAIN(TstServerConnection)
#include "tst_server_connection.moc"
