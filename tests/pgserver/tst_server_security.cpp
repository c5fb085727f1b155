// A shared server decides itself who reads and changes what: each user signs in as a login role
// of their own, and the row policies keep a unit's rows to that unit's users. Statements are
// typed as a user of unit 01 would type them into psql with their own password while unit 02
// has students; the user commands make the users, and no password reaches the server's log.

#include "app/usercommands.h"
#include "db/postgresdialect.h"
#include "db/serveraccount.h"
#include "testbackend.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace zelvo;

namespace {

// What a statement gave: its first value, the rows it changed ("0 rows") or the SQLSTATE of its
// refusal ("refused 42501"). Statements separated by "; " run one after another in the session;
// the last one's outcome is given.
QString outcome(QSqlDatabase db, const QString& sql)
{
    QString result;
    for (const QString& statement : sql.split(QStringLiteral("; "))) {
        QSqlQuery q(db);
        q.setForwardOnly(false); // one simple query, as psql sends it
        if (!q.exec(statement))
            return QStringLiteral("refused ") + q.lastError().nativeErrorCode();
        if (q.isSelect())
            result = q.next() ? q.value(0).toString() : QStringLiteral("no row");
        else
            result = QStringLiteral("%1 rows").arg(q.numRowsAffected());
    }
    return result;
}

// A database of the cluster with units 01 and 02, a student in each, and users made as the
// installer makes them.
struct SharedServer {
    std::unique_ptr<pgtest::TestDatabase> database;
    db::Connection installer;

    SharedServer()
    {
        pgtest::openTestDatabase(installer, database, pgtest::Backend::Server);
        installer.applyScript(QStringLiteral(
            "INSERT INTO birim VALUES ('02', 'İktisat Fakültesi');"
            "INSERT INTO isyeri (birimkodu, birimadi) VALUES ('02', 'İktisat');"
            "INSERT INTO ogrenci (ogrencino, adi, soyadi, tckimlikno, birimkodu, gss) VALUES "
            "('1001', 'Ali', 'Bir', '11111111110', '01', 0), "
            "('2001', 'Veli', 'İki', '22222222220', '02', 0)"));
    }
    QString addUser(QChar initial, const QString& unit, bool administrator)
    {
        const QString name = pgtest::uniqueUserName(initial);
        db::addServerUser(installer, {name, unit, administrator, QStringLiteral("Ad Soyad")},
                          QStringLiteral("parola1"));
        return name;
    }
    // A psql-like session of the user, signed in with the password.
    QSqlDatabase signIn(const QString& user)
    {
        return database->signIn(user, QStringLiteral("parola1"));
    }
};

app::PasswordPrompt answers(QStringList passwords)
{
    return [passwords](const QString&) mutable {
        return passwords.isEmpty() ? QString() : passwords.takeFirst();
    };
}

} // namespace

class TstServerSecurity : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ZELVO_REQUIRE_PG_CLUSTER(); }

    // What a staff user and an administrator of unit 01 may do while unit 02 has a student.
    void usersReachOnlyTheirUnit_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        const QList<std::tuple<bool, const char*, const char*>> cases = {
            {false, "select count(*) from ogrenci where birimkodu <> '01'", "0"},
            {false, "select count(*) from OgrenciGetirAdi('02', '')", "0"},
            {false, "select count(*) from isyeri", "1"},
            {false, "select count(*) from kullanici", "1"},
            {false, "select count(*) from kullanici where sifre is not null", "0"},
            {false, "select count(*) from degisiklik where birimkodu <> '01'", "0"},
            {false, "update kullanici set yetkitipi = 1", "refused 42501"},
            {false, "update kullanici set kullanici = 'admin'", "refused 42501"},
            {false, "update kullanici set birimkodu = '02'", "refused P0001"},
            {false, "delete from ogrenci where birimkodu = '02'", "0 rows"},
            {false, "insert into ogrenci (ogrencino, birimkodu) values ('9', '02')",
             "refused 42501"},
            {false, "insert into kullanici (kullanici, birimkodu, yetkitipi) values ('x', '01', 1)",
             "refused 42501"},
            {false, "update parametre set isci = 5", "refused 42501"},
            {false, "delete from parametre", "refused 42501"},
            {false, "delete from degisiklik", "refused 42501"},
            {false, "drop table ogrenci", "refused 42501"},
            {false, "create table kopya (a int)", "refused 42501"},
            {false, "alter table ogrenci disable row level security", "refused 42501"},
            {true, "update parametre set isci = 1", "1 rows"},
            {true, "update kullanici set birimkodu = '09'", "refused P0001"}, // no such unit
            // the unit change moves what the administrator sees
            {true,
             "update kullanici set birimkodu = '02'; select string_agg(ogrencino, ',') "
             "from ogrenci",
             "2001"},
        };
        for (const auto& [administrator, sql, expected] : cases)
            QTest::newRow(sql) << administrator << QString::fromUtf8(sql)
                               << QString::fromUtf8(expected);
    }
    void usersReachOnlyTheirUnit()
    {
        QFETCH(bool, administrator);
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        SharedServer server;
        server.addUser(u'q', QStringLiteral("02"), false);
        QSqlDatabase user =
            server.signIn(server.addUser(u'p', QStringLiteral("01"), administrator));
        QCOMPARE(outcome(user, sql), expected);
        // whatever was refused changed nothing another unit holds
        QCOMPARE(outcome(server.database->db(), QStringLiteral("select string_agg(adi || '/' || "
                                                               "birimkodu, ',' order by ogrencino) "
                                                               "from ogrenci")),
                 QStringLiteral("Ali/01,Veli/02"));
    }

    // The user commands, one after another on one database, as an administrator runs them.
    void userCommands()
    {
        SharedServer server;
        db::DatabaseSettings settings;
        settings.kind = QStringLiteral("postgresql");
        settings.server = pgtest::testAddress(server.database->name());
        const QString name = pgtest::uniqueUserName(u'k');
        const QString other = pgtest::uniqueUserName(u'k');
        using Kind = app::UserCommand::Kind;
        struct Step {
            Kind kind;
            QString user;
            const char* unit;
            const char* password;
            int status;
            QString said; // a part of what it printed
        };
        const QList<Step> steps = {
            {Kind::Add, name, "01", "ilk.12", 0,
             QStringLiteral("Kullanıcı eklendi: %1 (birim 01, personel)").arg(name)},
            {Kind::Add, name, "01", "ilk.12", 1, QStringLiteral("zaten var")},
            {Kind::Add, other, "07", "ilk.12", 1, QStringLiteral("Birim bulunamadı")},
            {Kind::Add, other, "01", "kisa", 1, QStringLiteral("en az 5")},
            {Kind::SetPassword, name, "", "ikinci.3", 0,
             QStringLiteral("Parola verildi: %1").arg(name)},
            {Kind::Remove, name, "", "", 0, QStringLiteral("Kullanıcı silindi: %1").arg(name)},
            {Kind::Remove, name, "", "", 1, QStringLiteral("bulunamadı")},
        };
        for (const Step& step : steps) {
            app::UserCommand command;
            command.kind = step.kind;
            command.name = step.user;
            command.unit = QString::fromLatin1(step.unit);
            QString out;
            QTextStream stream(&out);
            const int status = app::runUserCommand(
                command, settings, answers({QString::fromLatin1(step.password)}), stream, stream);
            stream.flush();
            QVERIFY2(status == step.status && out.contains(step.said), qPrintable(out));
        }
        QCOMPARE(
            outcome(server.database->db(),
                    QStringLiteral("select count(*) from pg_roles where rolname = '%1'").arg(name)),
            QStringLiteral("0"));
    }

    // --install-schema over a database an earlier version installed (its scripts before the
    // security one, its users checked by the client): in one go the policies are in place, and
    // its users wait for a login role, which --set-password gives them.
    void earlierInstallationIsSecured()
    {
        pgtest::TestDatabase earlier(pgtest::TestDatabase::Content::Empty);
        pgtest::runScript(earlier.db(), QStringLiteral("SET client_min_messages = warning"));
        const QDir scripts(QStringLiteral(ZELVO_SOURCE_DIR "/server/postgresql"));
        for (const QString& name :
             scripts.entryList({QStringLiteral("0*.sql")}, QDir::Files, QDir::Name))
            QCOMPARE(pgtest::runScript(earlier.db(), pgtest::readFile(scripts.filePath(name))),
                     QString());
        const QString name = pgtest::uniqueUserName(u'e');
        pgtest::query(earlier.db(),
                      QStringLiteral("INSERT INTO kullanici (kullanici, sifre, birimkodu, "
                                     "yetkitipi) VALUES (?, '$argon2id$eski', '01', 2)"),
                      {name});
        db::Connection installer;
        installer.openPostgres(pgtest::testAddress(earlier.name()),
                               db::Connection::SchemaCheck::Skipped);
        db::installServerSchema(installer);
        db::DatabaseSettings settings;
        settings.kind = QStringLiteral("postgresql");
        settings.server = pgtest::testAddress(earlier.name());
        QString listed;
        QTextStream stream(&listed);
        app::giveLoginsAfterInstall(settings, false, answers({}), stream);
        stream.flush();
        QVERIFY2(listed.contains(QLatin1String("--set-password")) && listed.contains(name),
                 qPrintable(listed));
        db::setServerUserPassword(installer, name, QStringLiteral("parola1"));

        db::Connection user;
        db::ServerAddress address = pgtest::testAddress(earlier.name());
        address.user = name;
        address.password = QStringLiteral("parola1");
        user.openPostgres(address); // the schema check of the program: version 4
        const db::ResultRows own =
            user.query(QStringLiteral("SELECT kullanici, sifre FROM kullanici"));
        QCOMPARE(own.rows.size(), 1);
        QVERIFY(own.rows.first().at(1).isNull()); // the server checks the password now
    }

    // With every statement of the user's sessions logged, neither the login, the check of the
    // current password nor the change to a new one leaves a password in the server's log.
    void noPasswordReachesTheServerLog()
    {
        SharedServer server;
        const QString first = QStringLiteral("Ilk.Gz7q");
        const QString second = QStringLiteral("Yeni.Kq4w");
        const QString user = pgtest::uniqueUserName(u'l');
        // the superuser of the cluster turns the logging on for this database's new sessions
        QCOMPARE(outcome(server.database->signIn(QStringLiteral("postgres"), {}),
                         QStringLiteral("alter database %1 set log_statement = 'all'")
                             .arg(server.database->name())),
                 QStringLiteral("0 rows"));
        db::Connection installer;
        installer.openPostgres(pgtest::testAddress(server.database->name()));
        db::addServerUser(installer, {user, QStringLiteral("01"), false, {}}, first);
        db::Connection session;
        db::ServerAddress address = pgtest::testAddress(server.database->name());
        address.user = user;
        address.password = first;
        session.openPostgres(address);
        QVERIFY(db::serverPasswordAccepted(session, first));
        db::changeOwnServerPassword(session, second);
        QVERIFY(db::serverPasswordAccepted(session, second));
        session.close();
        installer.close();

        const auto logged = [] {
            QFile log(pgtest::testCluster().host + QStringLiteral("/server.log"));
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        };
        // the log shows the statements it was given: the change went as a verifier
        QTRY_VERIFY(
            logged().contains("ALTER ROLE \"" + user.toUtf8() + "\" PASSWORD 'SCRAM-SHA-256$"));
        QVERIFY(!logged().contains(first.toUtf8()));
        QVERIFY(!logged().contains(second.toUtf8()));
    }
};

QTEST_MAIN(TstServerSecurity)
#include "tst_server_security.moc"
