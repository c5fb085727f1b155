// Passwords in the embedded server: stored only as salted Argon2id hashes and verified by the
// client, the login procedure finding the user by name alone; a database of the previous
// version, whose passwords were stored as typed, is upgraded when the program opens it.

#include "db/connection.h"
#include "db/passwordhash.h"
#include "serverfixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace zelvo;

using namespace servertest;

namespace {

QString scriptDir()
{
    return QStringLiteral(ZELVO_SOURCE_DIR "/server/sqlite");
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Runs SQL on a raw SQLite file, without the program's layer; returns the error, empty if none.
QString execRaw(const QString& path, const QString& sql)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &handle) != SQLITE_OK)
        return QStringLiteral("cannot open %1").arg(path);
    char* error = nullptr;
    const int rc = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString text = rc == SQLITE_OK ? QString() : QString::fromUtf8(error ? error : "error");
    sqlite3_free(error);
    sqlite3_close(handle);
    return text;
}

// Reads rows from a raw SQLite file as "a|b|c" texts, nulls as <null>.
QStringList rawRows(const QString& path, const QString& sql)
{
    sqlite3* handle = nullptr;
    QStringList rows;
    if (sqlite3_open(path.toUtf8().constData(), &handle) != SQLITE_OK)
        return rows;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList fields;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                fields << (text ? QString::fromUtf8(text) : QStringLiteral("<null>"));
            }
            rows << fields.join(QLatin1Char('|'));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(handle);
    return rows;
}

QString installScripts()
{
    QString sql;
    for (const char* name : {"01-schema.sql", "02-procedures.sql", "03-seed.sql"})
        sql += readFile(scriptDir() + QLatin1Char('/') + QLatin1String(name)) + QLatin1Char('\n');
    return sql;
}

// What the previous version left in a database built by its scripts: a password column of ten
// characters, passwords as typed, and a login procedure that compared them in SQL. Besides the
// seeded administrator: a second user, one with Turkish letters, one without a password, and
// a deleted user whose key must not be handed out again.
const QString previousVersion = QStringLiteral(R"(
DROP TABLE kullanici;
CREATE TABLE kullanici (
    idkullanici INTEGER PRIMARY KEY AUTOINCREMENT,
    kullanici   VARCHAR(10),
    sifre       VARCHAR(10),
    adsoy       VARCHAR(50),
    birimkodu   VARCHAR(2),
    email       VARCHAR(50),
    yetkitipi   INTEGER
);
CREATE UNIQUE INDEX kullanici_ad ON kullanici (kullanici);
INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, email, yetkitipi)
VALUES ('admin', 'admin', 'Sistem Yöneticisi', '01', NULL, 1);
INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, email, yetkitipi)
VALUES ('personel', 'Gizli.5', 'Fatma Karagöz', '01', 'f@example.org', 2);
INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, yetkitipi)
VALUES ('işçi', 'Şifre ığü', 'Işık Çelik', '02', 2);
INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, yetkitipi)
VALUES ('sifresiz', NULL, 'Şifresi Yok', '01', 2);
INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, yetkitipi)
VALUES ('gecici', 'x', 'Silinen', '01', 2);
DELETE FROM kullanici WHERE kullanici = 'gecici';
UPDATE zelvo_procedure SET params = '@Key1,@Key2',
body = 'SELECT idkullanici, kullanici, sifre, adsoy, birimkodu, email, yetkitipi
FROM kullanici
WHERE kullanici = @Key1 AND sifre = @Key2
ORDER BY idkullanici' WHERE name = 'BireyGetirLogin';
)");

const QList<QPair<QString, QString>> previousPasswords = {
    {QStringLiteral("admin"), QStringLiteral("admin")},
    {QStringLiteral("personel"), QStringLiteral("Gizli.5")},
    {QStringLiteral("işçi"), QStringLiteral("Şifre ığü")},
};

const QString everythingButPasswords = QStringLiteral(
    "SELECT idkullanici, kullanici, adsoy, birimkodu, email, yetkitipi FROM kullanici "
    "ORDER BY idkullanici");

QString storedPassword(db::Connection& c, const QString& user)
{
    return c
        .query(QStringLiteral("SELECT sifre FROM kullanici WHERE kullanici = @u"),
               {{QStringLiteral("@u"), user}})
        .rows.value(0)
        .value(0)
        .toString();
}

db::ResultRows login(db::Connection& c, const QString& user)
{
    return c.callProcedure(QStringLiteral("BireyGetirLogin"), {{QStringLiteral("@Key1"), user}});
}

} // namespace

class TstServerPasswords : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_hash; // of "Gizli.ş5"

    QString previousVersionFile(const QString& name, const QString& extra = {})
    {
        const QString path = m_dir.filePath(name);
        const QString error = execRaw(path, installScripts() + previousVersion + extra);
        if (!error.isEmpty())
            qFatal("building %s: %s", qPrintable(name), qPrintable(error));
        return path;
    }

private Q_SLOTS:
    void initTestCase() { m_hash = db::hashPassword(QStringLiteral("Gizli.ş5")); }

    void hashesAreSaltedAtTheStandardCost()
    {
        const QString again = db::hashPassword(QStringLiteral("Gizli.ş5"));
        QVERIFY(again != m_hash); // a fresh salt every time
        for (const QString& hash : {m_hash, again}) {
            QVERIFY(hash.startsWith(QLatin1String("$argon2id$v=19$")));
            QVERIFY(hash.size() <= db::passwordHashWidth);
            QVERIFY(db::isPasswordHash(hash));
            QVERIFY(db::hasStandardCost(hash));
            QVERIFY(!hash.contains(QLatin1String("Gizli")));
            QVERIFY(db::verifyPassword(hash, QStringLiteral("Gizli.ş5")));
        }
    }

    // Only the password as typed matches its hash; a stored value that is no hash never
    // matches, not even the same text typed.
    void verification_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exact") << m_hash << "Gizli.ş5" << true;
        QTest::newRow("other letter case") << m_hash << "gizli.ş5" << false;
        QTest::newRow("Turkish capital") << m_hash << "Gizli.Ş5" << false;
        QTest::newRow("trailing blank") << m_hash << "Gizli.ş5 " << false;
        QTest::newRow("prefix") << m_hash << "Gizli.ş" << false;
        QTest::newRow("empty typed") << m_hash << "" << false;
        QTest::newRow("plain text stored") << "admin"
                                           << "admin" << false;
        QTest::newRow("empty stored") << ""
                                      << "" << false;
        QTest::newRow("a password that looks like a prefix") << "$argon2id$"
                                                             << "$argon2id$" << false;
        QString damaged = m_hash;
        damaged[damaged.size() - 2] = damaged.at(damaged.size() - 2) == QLatin1Char('A')
                                          ? QLatin1Char('B')
                                          : QLatin1Char('A');
        QTest::newRow("damaged hash") << damaged << "Gizli.ş5" << false;
        QTest::newRow("cut hash") << m_hash.left(10) << "Gizli.ş5" << false;
    }
    void verification()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QCOMPARE(db::verifyPassword(stored, typed), accepted);
        if (stored.size() < 20)
            QVERIFY(!db::isPasswordHash(stored));
    }

    void seedAndDemoHoldOnlyHashes()
    {
        ServerFixture f;
        f.conn->applyScript(readFile(QStringLiteral(ZELVO_SOURCE_DIR "/server/demo.sql")));
        const db::ResultRows rows =
            f.conn->query(QStringLiteral("SELECT kullanici, sifre FROM kullanici"));
        QCOMPARE(rows.rows.size(), 2);
        for (const auto& row : rows.rows) {
            QVERIFY2(db::isPasswordHash(row.at(1).toString()), qPrintable(row.at(0).toString()));
            QVERIFY(db::hasStandardCost(row.at(1).toString()));
        }
        QVERIFY(db::verifyPassword(storedPassword(*f.conn, "admin"), "admin"));
        QVERIFY(db::verifyPassword(storedPassword(*f.conn, "personel"), "zelvo2026"));
    }

    void loginProcedureFindsTheUserByNameOnly()
    {
        ServerFixture f;
        QCOMPARE(f.conn
                     ->query(QStringLiteral("SELECT params FROM zelvo_procedure WHERE name = "
                                            "'BireyGetirLogin'"))
                     .rows.value(0)
                     .value(0)
                     .toString(),
                 QStringLiteral("@Key1"));
        QCOMPARE(login(*f.conn, QStringLiteral("admin")).rows.size(), 1);
        QCOMPARE(login(*f.conn, QStringLiteral("Admin")).rows.size(), 0);
        QVERIFY_THROWS_EXCEPTION(db::DbError,
                                 f.conn->callProcedure(QStringLiteral("BireyGetirLogin"),
                                                       {{QStringLiteral("@Key1"), "admin"},
                                                        {QStringLiteral("@Key2"), "admin"}}));
    }

    // Neither a script nor an installed procedure compares a password column with a parameter.
    void noSqlComparesAPassword()
    {
        static const QRegularExpression comparison(
            QStringLiteral("\\bsifre\\b\\s*(=|==|<>|!=|\\bLIKE\\b|\\bGLOB\\b|\\bIN\\b|\\bIS\\b)\\s*"
                           "\\(?\\s*@|@\\w+\\s*(=|==|<>|!=)\\s*\\bsifre\\b"),
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY(comparison.match(QStringLiteral("WHERE kullanici = @Key1 AND sifre = @Key2"))
                    .hasMatch());
        const QDir dir(scriptDir());
        for (const QString& name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files))
            QVERIFY2(!comparison.match(readFile(dir.filePath(name))).hasMatch(), qPrintable(name));
        db::Connection c;
        c.openSqlite(previousVersionFile(QStringLiteral("catalog.db")),
                     db::Connection::OpenMode::MustExist);
        for (const auto& row :
             c.query(QStringLiteral("SELECT name, body FROM zelvo_procedure")).rows)
            QVERIFY2(!comparison.match(row.at(1).toString()).hasMatch(),
                     qPrintable(row.at(0).toString()));
    }

    void previousVersionIsUpgradedOnOpening()
    {
        const QString path = previousVersionFile(QStringLiteral("previous.db"));
        const QStringList before = rawRows(path, everythingButPasswords);
        QCOMPARE(before.size(), 4);

        db::Connection c;
        c.openSqlite(path, db::Connection::OpenMode::MustExist);
        QCOMPARE(c.tableInfo(QStringLiteral("kullanici")).column(QStringLiteral("sifre"))->width,
                 255);
        for (const auto& [user, password] : previousPasswords) {
            const QString stored = storedPassword(c, user);
            QVERIFY2(db::isPasswordHash(stored), qPrintable(user));
            QVERIFY(db::verifyPassword(stored, password));
            QCOMPARE(login(c, user).rows.size(), 1);
        }
        QVERIFY(c.query(QStringLiteral("SELECT sifre FROM kullanici WHERE kullanici = "
                                       "'sifresiz'"))
                    .rows.value(0)
                    .value(0)
                    .isNull());
        c.close();

        // every other value and key as before, the same table as a new database has
        QCOMPARE(rawRows(path, everythingButPasswords), before);
        ServerFixture newDatabase;
        QStringList declared;
        for (const auto& row :
             newDatabase.conn->query(QStringLiteral("PRAGMA table_info(kullanici)")).rows) {
            QStringList fields;
            for (const QVariant& v : row)
                fields << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            declared << fields.join(QLatin1Char('|'));
        }
        QCOMPARE(rawRows(path, QStringLiteral("PRAGMA table_info(kullanici)")), declared);
        // the views and triggers on the table came back with it, as a new database has them
        const QString dependents = QStringLiteral(
            "SELECT type || ' ' || name FROM sqlite_master WHERE type IN ('view', 'trigger') AND "
            "sql LIKE '%kullanici%' ORDER BY name");
        QStringList newDependents;
        for (const auto& row : newDatabase.conn->query(dependents).rows)
            newDependents << row.at(0).toString();
        QVERIFY(newDependents.size() >= 5);
        QCOMPARE(rawRows(path, dependents), newDependents);
        // the user names stay unique and the deleted user's key is not handed out again
        QVERIFY(!execRaw(path, QStringLiteral("INSERT INTO kullanici (kullanici) VALUES "
                                              "('admin')"))
                     .isEmpty());
        QCOMPARE(execRaw(path, QStringLiteral("INSERT INTO kullanici (kullanici) VALUES ('yeni')")),
                 QString());
        QCOMPARE(rawRows(path, QStringLiteral("SELECT idkullanici FROM kullanici WHERE "
                                              "kullanici = 'yeni'")),
                 QStringList{"6"});
    }

    // A second opening hashes nothing again, and nothing goes back to plain text.
    void upgradeHappensOnce()
    {
        const QString path = previousVersionFile(QStringLiteral("twice.db"));
        const QString passwords = QStringLiteral("SELECT sifre FROM kullanici ORDER BY 1");
        {
            db::Connection c;
            c.openSqlite(path, db::Connection::OpenMode::MustExist);
        }
        const QStringList first = rawRows(path, passwords);
        {
            db::Connection c;
            c.openSqlite(path, db::Connection::OpenMode::MustExist);
        }
        QCOMPARE(rawRows(path, passwords), first);
        QCOMPARE(first.filter(QStringLiteral("$argon2id$")).size(), 3);
    }

    // A password stored as typed into a current database (a script of the previous version
    // loaded by hand) is hashed at the next opening; the seeded hash is left as it was.
    void plainTextInACurrentDatabaseIsHashed()
    {
        const QString path = m_dir.filePath(QStringLiteral("current.db"));
        QCOMPARE(execRaw(path, installScripts() +
                                   QStringLiteral("INSERT INTO kullanici (kullanici, sifre) "
                                                  "VALUES ('memur', '12345');")),
                 QString());
        const QStringList seeded =
            rawRows(path, QStringLiteral("SELECT sifre FROM kullanici WHERE kullanici='admin'"));
        db::Connection c;
        c.openSqlite(path, db::Connection::OpenMode::MustExist);
        QVERIFY(db::verifyPassword(storedPassword(c, QStringLiteral("memur")), "12345"));
        QCOMPARE(QStringList{storedPassword(c, QStringLiteral("admin"))}, seeded);
    }

    // The upgrade is one transaction: when a step fails, the file is left exactly as it was.
    void failedUpgradeChangesNothing()
    {
        // user names that are no longer unique cannot take the rebuilt table's unique index
        const QString path = previousVersionFile(
            QStringLiteral("broken.db"),
            QStringLiteral("DROP INDEX kullanici_ad; INSERT INTO kullanici (kullanici, sifre) "
                           "VALUES ('admin', 'ikinci');"));
        const QString everything = QStringLiteral(
            "SELECT type, name, sql FROM sqlite_master UNION ALL SELECT 'row', kullanici, "
            "sifre FROM kullanici UNION ALL SELECT 'procedure', name, params || body FROM "
            "zelvo_procedure ORDER BY 1, 2, 3");
        const QStringList before = rawRows(path, everything);
        db::Connection c;
        QVERIFY_THROWS_EXCEPTION(db::DbError,
                                 c.openSqlite(path, db::Connection::OpenMode::MustExist));
        QVERIFY(!c.isOpen());
        QCOMPARE(rawRows(path, everything), before);
    }
};

QTEST_GUILESS_MAIN(TstServerPasswords)
#include "tst_server_passwords.moc"
