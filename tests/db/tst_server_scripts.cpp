// The server scripts themselves: applied by hand the way `cat server/sqlite/0*.sql | sqlite3`
// does, they give the same database as the program's first run, one the program then opens
// and works with; the demonstration data loads on top and covers the cases it promises.

#include "db/connection.h"
#include "db/passwordhash.h"
#include "serverfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The installation scripts in the order the shell's 0*.sql gives them.
QStringList installScripts()
{
    QStringList paths;
    const QDir dir(scriptDir());
    for (const QString& name : dir.entryList({QStringLiteral("0*.sql")}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// Runs SQL text on a raw SQLite connection, without any function of the client. Returns the
// error text, empty on success.
QString execRaw(sqlite3* handle, const QString& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString text = rc == SQLITE_OK ? QString() : QString::fromUtf8(error ? error : "error");
    sqlite3_free(error);
    return text;
}

// Builds a database file from the scripts as the sqlite3 shell does; empty text on success.
QString buildByHand(const QString& path, const QStringList& scripts)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &handle) != SQLITE_OK)
        return QStringLiteral("cannot open %1").arg(path);
    QString error;
    for (const QString& script : scripts) {
        error = execRaw(handle, readFile(script));
        if (!error.isEmpty()) {
            error = script + QLatin1String(": ") + error;
            break;
        }
    }
    sqlite3_close(handle);
    return error;
}

QStringList rowsAsText(db::Connection& c, const QString& sql)
{
    QStringList texts;
    for (const auto& row : c.query(sql).rows) {
        QStringList fields;
        for (const QVariant& v : row)
            fields << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        texts << fields.join(QLatin1Char('|'));
    }
    return texts;
}

const QString SchemaQuery = QStringLiteral(
    "SELECT type, name, tbl_name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite%' "
    "ORDER BY type, name");

} // namespace

class TstServerScripts : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void scriptsArePresent()
    {
        const QStringList scripts = installScripts();
        QVERIFY(scripts.size() >= 3);
        QVERIFY(scripts.at(0).endsWith(QLatin1String("01-schema.sql")));
        QVERIFY(scripts.at(1).endsWith(QLatin1String("02-procedures.sql")));
        QVERIFY(scripts.at(2).endsWith(QLatin1String("03-seed.sql")));
        // a migration records itself, so that a file built by hand is known to have it
        for (const QString& migration : scripts.mid(3)) {
            const QString name = QFileInfo(migration).fileName();
            QVERIFY2(
                readFile(migration).contains(QStringLiteral("('migration:%1', '1')").arg(name)),
                qPrintable(name));
        }
        // the program runs them in its own transaction, statement by statement
        for (const QString& script : scripts) {
            for (const QString& statement : db::splitStatements(readFile(script))) {
                const QString head = statement.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
                QVERIFY2(head != QLatin1String("BEGIN") && head != QLatin1String("COMMIT") &&
                             head != QLatin1String("END") && !head.startsWith(QLatin1Char('.')),
                         qPrintable(script + QLatin1String(": ") + statement.left(60)));
            }
        }
    }

    // The shell and the program's first run give the same schema, catalog and seed rows.
    void handMadeDatabaseEqualsFirstRun()
    {
        const QString path = m_dir.filePath(QStringLiteral("byhand.db"));
        QCOMPARE(buildByHand(path, installScripts()), QString());

        db::Connection byHand;
        byHand.openSqlite(path, db::Connection::OpenMode::MustExist);
        db::Connection firstRun;
        firstRun.openSqlite(m_dir.filePath(QStringLiteral("firstrun.db")));

        for (const QString& sql :
             {SchemaQuery,
              QStringLiteral("SELECT name, params, target, target_key, body FROM zelvo_procedure "
                             "ORDER BY name"),
              QStringLiteral("SELECT * FROM zelvo_info ORDER BY key"),
              QStringLiteral("SELECT * FROM statu ORDER BY kodu"),
              QStringLiteral("SELECT * FROM birim ORDER BY birimkodu"),
              QStringLiteral("SELECT * FROM isyeri ORDER BY idisyeri"),
              QStringLiteral("SELECT * FROM Parametre ORDER BY idparametre"),
              QStringLiteral("SELECT * FROM kullanici ORDER BY idkullanici")}) {
            const QStringList a = rowsAsText(byHand, sql);
            QVERIFY2(!a.isEmpty(), qPrintable(sql));
            QCOMPARE(a, rowsAsText(firstRun, sql));
        }
        QCOMPARE(rowsAsText(byHand, QStringLiteral("PRAGMA journal_mode")), QStringList{"wal"});
        QCOMPARE(rowsAsText(byHand, QStringLiteral("SELECT value FROM zelvo_info WHERE key = "
                                                   "'schema_version'")),
                 QStringList{QString::number(db::SchemaVersion)});
    }

    // A file made by an earlier version (the first three scripts only) is given every
    // migration when the program opens it, and then holds what a new file holds.
    void earlierFileGetsEveryMigration()
    {
        const QString path = m_dir.filePath(QStringLiteral("earlier.db"));
        QCOMPARE(buildByHand(path, installScripts().mid(0, 3)), QString());
        db::Connection earlier;
        earlier.openSqlite(path, db::Connection::OpenMode::MustExist);
        db::Connection firstRun;
        firstRun.openSqlite(m_dir.filePath(QStringLiteral("firstrun-migrations.db")));
        for (const QString& sql :
             {SchemaQuery, QStringLiteral("SELECT * FROM zelvo_info WHERE key <> 'procedures' "
                                          "ORDER BY key")})
            QCOMPARE(rowsAsText(earlier, sql), rowsAsText(firstRun, sql));
    }

    // A file made by an earlier version gets the procedures added since and the bodies changed
    // since when the program opens it; what the users stored stays.
    void olderCatalogIsBroughtUpToDate()
    {
        const QString path = m_dir.filePath(QStringLiteral("oldcatalog.db"));
        const QString catalog = QStringLiteral(
            "SELECT name, params, target, target_key, body FROM zelvo_procedure ORDER BY name");
        QStringList current;
        {
            db::Connection c;
            c.openSqlite(path);
            current = rowsAsText(c, catalog);
            c.execute(QStringLiteral("DELETE FROM zelvo_procedure WHERE name = 'GunHesaplaListe'"));
            c.execute(QStringLiteral(
                "UPDATE zelvo_procedure SET body = 'SELECT 1' WHERE name = 'BirimGetir'"));
            c.execute(
                QStringLiteral("UPDATE zelvo_info SET value = 'older' WHERE key = 'procedures'"));
            c.execute(QStringLiteral("UPDATE birim SET birimadi = 'Kendi birimim'"));
        }
        db::Connection c;
        c.openSqlite(path, db::Connection::OpenMode::MustExist);
        QCOMPARE(rowsAsText(c, catalog), current);
        QCOMPARE(rowsAsText(c, QStringLiteral("SELECT DISTINCT birimadi FROM birim")),
                 QStringList{QStringLiteral("Kendi birimim")});
    }

    // The real shell, where it is installed.
    void sqliteShellAppliesTheScripts()
    {
        const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (shell.isEmpty())
            QSKIP("the sqlite3 shell is not installed");
        const QString path = m_dir.filePath(QStringLiteral("shell.db"));
        QProcess p;
        p.start(shell, {QStringLiteral("-bail"), path});
        QVERIFY(p.waitForStarted());
        for (const QString& script : installScripts())
            p.write(readFile(script).toUtf8());
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()), QString());
        QCOMPARE(p.exitCode(), 0);

        db::Connection c;
        c.openSqlite(path, db::Connection::OpenMode::MustExist);
        QCOMPARE(rowsAsText(c, QStringLiteral("SELECT count(*) FROM zelvo_procedure")),
                 QStringList{"38"});
        const db::ResultRows login =
            c.callProcedure(QStringLiteral("BireyGetirLogin"),
                            {{QStringLiteral("@Key1"), QStringLiteral("admin")}});
        QCOMPARE(login.rows.size(), 1);
        QVERIFY(db::verifyPassword(field(login, 0, "sifre").toString(), QStringLiteral("admin")));
    }

    // A hand-made database works with the program: searches, accrual with its amounts and
    // shares, the December split, the cascade.
    void handMadeDatabaseWorksWithTheProgram()
    {
        const QString path = m_dir.filePath(QStringLiteral("works.db"));
        QCOMPARE(buildByHand(path, installScripts()), QString());
        db::Connection c;
        c.openSqlite(path, db::Connection::OpenMode::MustExist);
        const QVariant id = c.insertRow(QStringLiteral("ogrenci"),
                                        {{QStringLiteral("ogrencino"), QStringLiteral("2024001")},
                                         {QStringLiteral("adi"), QStringLiteral("Işıl")},
                                         {QStringLiteral("soyadi"), QStringLiteral("Şahin")},
                                         {QStringLiteral("baslangictarihi"), QDate(2026, 12, 1)},
                                         {QStringLiteral("bitistarihi"), QDate(2027, 1, 31)},
                                         {QStringLiteral("statu"), QStringLiteral("1")},
                                         {QStringLiteral("birimkodu"), QStringLiteral("01")}});
        const db::ResultRows found = c.callProcedure(
            QStringLiteral("OgrenciGetirAdi"), {{QStringLiteral("@key1"), QStringLiteral("01")},
                                                {QStringLiteral("@key2"), QStringLiteral("IŞI")}});
        QCOMPARE(found.rows.size(), 1);

        c.insertRow(QStringLiteral("Puantaj"),
                    {{QStringLiteral("idogrenci"), id},
                     {QStringLiteral("yil"), QStringLiteral("2026")},
                     {QStringLiteral("ay"), 12},
                     {QStringLiteral("gun"), 30},
                     {QStringLiteral("birimkodu"), QStringLiteral("01")}});
        const db::ResultRows timesheet = c.callProcedure(
            QStringLiteral("PuantajGenel"), {{QStringLiteral("@key1"), QStringLiteral("2026")},
                                             {QStringLiteral("@key2"), 12},
                                             {QStringLiteral("@key3"), QStringLiteral("01")}});
        QCOMPARE(field(timesheet, 0, "gun1").toInt(), 16);
        QCOMPARE(field(timesheet, 0, "gun2").toInt(), 14);

        c.callProcedure(QStringLiteral("Tahakkukekle"),
                        {{QStringLiteral("@idogrenci"), id.toString()},
                         {QStringLiteral("@yil"), QStringLiteral("2026")},
                         {QStringLiteral("@ay"), 12},
                         {QStringLiteral("@gun"), 30},
                         {QStringLiteral("@birimkodu"), QStringLiteral("01")},
                         {QStringLiteral("@kazanc"), 33030.0 * 16 / 30 + 33030.0 * 14 / 30},
                         {QStringLiteral("@matrah"), 33030.0 * 16 / 30 + 33030.0 * 14 / 30}});
        const db::ResultRows accrual = c.callProcedure(
            QStringLiteral("Liste1"), {{QStringLiteral("@key1"), QStringLiteral("2026")},
                                       {QStringLiteral("@key2"), 12},
                                       {QStringLiteral("@key3"), QStringLiteral("01")}});
        QCOMPARE(field(accrual, 0, "kazanc").toDouble(), 33030.0);
        QCOMPARE(field(accrual, 0, "isveren").toDouble(), 330.30);

        c.deleteRow({QStringLiteral("ogrenci"), QStringLiteral("idogrenci")}, id);
        QCOMPARE(rowsAsText(c, QStringLiteral("SELECT (SELECT count(*) FROM Puantaj) + "
                                              "(SELECT count(*) FROM Tahakkuk)")),
                 QStringList{"0"});
    }

    // The schema works without the client: the December trigger and the cascade run on a
    // bare SQLite connection.
    void schemaNeedsNoClientFunctions()
    {
        const QString path = m_dir.filePath(QStringLiteral("bare.db"));
        QCOMPARE(buildByHand(path, installScripts()), QString());
        sqlite3* handle = nullptr;
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &handle), SQLITE_OK);
        QCOMPARE(
            execRaw(handle,
                    QStringLiteral(
                        "PRAGMA foreign_keys=ON;"
                        "INSERT INTO ogrenci (idogrenci, ogrencino, baslangictarihi, "
                        "bitistarihi, birimkodu) VALUES (1, '1', '2026-12-20', '2027-01-10', '01');"
                        "INSERT INTO Puantaj (idogrenci, yil, ay, gun, birimkodu) "
                        "VALUES (1, '2026', 12, 22, '01');"
                        "CREATE TEMP TABLE r AS SELECT gun1, gun2 FROM Puantaj;"
                        "DELETE FROM ogrenci;")),
            QString());
        sqlite3_stmt* stmt = nullptr;
        QCOMPARE(sqlite3_prepare_v2(handle,
                                    "SELECT (SELECT gun1 || '/' || gun2 FROM r), "
                                    "(SELECT count(*) FROM Puantaj)",
                                    -1, &stmt, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        const QString split =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        const int left = sqlite3_column_int(stmt, 1);
        sqlite3_finalize(stmt);
        sqlite3_close(handle);
        QCOMPARE(split, QStringLiteral("12/10"));
        QCOMPARE(left, 0);
    }

    // The demonstration data loads on top of a new database and covers its cases.
    void demoDataCoversItsCases()
    {
        const QString path = m_dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(buildByHand(path, installScripts()
                                       << QStringLiteral(ZELVO_SOURCE_DIR "/server/demo.sql")),
                 QString());
        db::Connection c;
        c.openSqlite(path, db::Connection::OpenMode::MustExist);

        auto one = [&](const QString& sql) { return c.query(sql).rows.value(0).value(0).toInt(); };
        QVERIFY(one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE birimkodu = '01'")) >= 18);
        QVERIFY(one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE gss = 1")) >= 2);
        QVERIFY(one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE statu = '2'")) >= 1);
        QVERIFY(one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE statu = '3'")) >= 1);
        QVERIFY(one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE ilksoyadi <> ''")) >= 1);
        QVERIFY(one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE baslangictarihi = "
                                   "bitistarihi")) >= 1);
        QVERIFY(one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE baslangictarihi <= "
                                   "'2026-12-31' AND bitistarihi >= '2027-01-01'")) >= 1);
        const QString names =
            c.query(
                 QStringLiteral("SELECT group_concat(adi || soyadi || coalesce(ilksoyadi, ''), '') "
                                "FROM ogrenci"))
                .rows.value(0)
                .value(0)
                .toString();
        for (const QChar letter : QStringLiteral("ıİşŞğüöçIÇÖÜ"))
            QVERIFY2(names.contains(letter), qPrintable(QString(letter)));

        // all dates are proper ISO dates
        QCOMPARE(
            one(QStringLiteral("SELECT count(*) FROM ogrenci WHERE baslangictarihi IS NOT "
                               "date(baslangictarihi) OR bitistarihi IS NOT date(bitistarihi)")),
            0);

        auto listed = [&](const QString& procedure, int month) {
            const QString first = QStringLiteral("15-%1-2026").arg(month, 2, 10, QLatin1Char('0'));
            const QString last =
                month == 12 ? QStringLiteral("14-01-2027")
                            : QStringLiteral("14-%1-2026").arg(month + 1, 2, 10, QLatin1Char('0'));
            return columnTexts(
                c.callProcedure(procedure, {{QStringLiteral("@key1"), first},
                                            {QStringLiteral("@key2"), last},
                                            {QStringLiteral("@key3"), QStringLiteral("01")}}),
                "ogrencino");
        };
        QCOMPARE(listed(QStringLiteral("PuantajGetir"), 1),
                 (QStringList{"2022101001", "2022101002", "2022101003", "2022101004"}));
        QCOMPARE(listed(QStringLiteral("PuantajGetirxxx"), 1),
                 (QStringList{"2022101016", "2022101017"}));
        QCOMPARE(listed(QStringLiteral("PuantajGetir"), 12),
                 (QStringList{"2022101012", "2022101013", "2022101014"}));
        QCOMPARE(listed(QStringLiteral("PuantajGetirxxx"), 12), QStringList{"2022101018"});
    }
};

QTEST_GUILESS_MAIN(TstServerScripts)
#include "tst_server_scripts.moc"
