#include "db/connection.h"
#include "db/dataset.h"
#include "db/settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>
#include <utility>

using namespace zelvo;

using namespace db;

namespace {

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QString openError(Connection& c, const QString& path, Connection::OpenMode mode)
{
    try {
        c.openSqlite(path, mode);
    } catch (const DbError& e) {
        return e.text();
    }
    return {};
}

} // namespace

class TstDbLayer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void errorTextRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "no such table: x"
                                << "no such table: x.";
        QTest::newRow("digit") << "error 42"
                               << "error 42.";
        QTest::newRow("full stop") << "done."
                                   << "done.";
        QTest::newRow("closing bracket sorts before") << "failed (x)"
                                                      << "failed (x)";
        QTest::newRow("exclamation") << "failed!"
                                     << "failed!";
        QTest::newRow("Turkish letter") << "kayıt silinemedi: öğrenci"
                                        << "kayıt silinemedi: öğrenci.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorTextRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(errorBoxText(text), shown);
    }

    void unknownProcedureAndColumnAreNamed()
    {
        Connection c;
        c.openInMemory();
        try {
            c.callProcedure(QStringLiteral("YokBoyleYordam"), {});
            QFAIL("an unknown procedure must fail");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(QLatin1String("YokBoyleYordam")), qPrintable(e.text()));
        }
        Dataset d(c);
        d.setProcedure(QStringLiteral("ParametreGetir"));
        d.open();
        QCOMPARE(d.text(QStringLiteral("AKTIFYIL")), QStringLiteral("2026")); // any letter case
        try {
            d.value(QStringLiteral("olmayansutun"));
            QFAIL("a missing column must fail");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(QLatin1String("olmayansutun")), qPrintable(e.text()));
        }
    }

    void argumentCountIsChecked()
    {
        Connection c;
        c.openInMemory();
        QVERIFY_THROWS_EXCEPTION(DbError, c.callProcedure(QStringLiteral("isyerigetir"), {}));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 c.callProcedure(QStringLiteral("ParametreGetir"), {{"@key1", 1}}));
    }

    void appendedAndEditedRowsAreWrittenBack()
    {
        Connection c;
        c.openInMemory();
        Dataset students(c);
        students.setProcedure(QStringLiteral("OgrenciGetirAdi"));
        students.addParam(QStringLiteral("@key1"), QStringLiteral("01"));
        students.addParam(QStringLiteral("@key2"), QString());
        students.open();
        const int before = students.recordCount();

        students.append();
        QCOMPARE(students.state(), Dataset::State::Insert);
        students.setValue(QStringLiteral("ogrencino"), QStringLiteral("12345678901234")); // 10 max
        students.setValue(QStringLiteral("adi"), QStringLiteral("Ayşe"));
        students.setValue(QStringLiteral("soyadi"), QStringLiteral("Işık"));
        students.setValue(QStringLiteral("birimkodu"), QStringLiteral("01"));
        students.setValue(QStringLiteral("baslangictarihi"), QDate(2026, 1, 15));
        students.post();
        QCOMPARE(students.state(), Dataset::State::Browse);
        const QVariant id = students.value(QStringLiteral("idogrenci"));
        QVERIFY(id.toInt() > 0);
        QCOMPARE(students.text(QStringLiteral("ogrencino")), QStringLiteral("1234567890"));

        students.refresh();
        QCOMPARE(students.recordCount(), before + 1);
        const auto stored = c.query(QStringLiteral("SELECT ogrencino, soyadi, baslangictarihi "
                                                   "FROM ogrenci WHERE idogrenci=@id"),
                                    {{QStringLiteral("@id"), id}});
        QCOMPARE(stored.rows.size(), 1);
        QCOMPARE(stored.rows[0][0].toString(), QStringLiteral("1234567890"));
        QCOMPARE(stored.rows[0][1].toString(), QStringLiteral("Işık"));
        QCOMPARE(stored.rows[0][2].toDate(), QDate(2026, 1, 15));

        // edit the row by its key; other rows stay as they were
        for (students.first();; students.next()) {
            if (students.value(QStringLiteral("idogrenci")) == id)
                break;
            QVERIFY(!students.isEof());
        }
        students.setValue(QStringLiteral("degistiren"), QString(80, QLatin1Char('x')));
        QCOMPARE(students.state(), Dataset::State::Edit);
        students.post();
        const auto edited = c.query(
            QStringLiteral("SELECT degistiren FROM ogrenci WHERE idogrenci=@id"), {{"@id", id}});
        QCOMPARE(edited.rows[0][0].toString(), QString(50, QLatin1Char('x')));
        const auto others =
            c.query(QStringLiteral("SELECT count(*) FROM ogrenci WHERE degistiren = @d"),
                    {{"@d", QString(50, QLatin1Char('x'))}});
        QCOMPARE(others.rows[0][0].toInt(), 1);
    }

    void movingPostsAChangedRowAndDropsAnUntouchedNewOne()
    {
        Connection c;
        c.openInMemory();
        for (const char* name : {"Ali", "Veli"})
            c.insertRow(QStringLiteral("ogrenci"),
                        {{"adi", QString::fromUtf8(name)}, {"birimkodu", QStringLiteral("01")}});
        Dataset d(c);
        d.setProcedure(QStringLiteral("OgrenciGetirAdi"));
        d.addParam(QStringLiteral("@key1"), QStringLiteral("01"));
        d.addParam(QStringLiteral("@key2"), QString());
        d.open();
        QCOMPARE(d.recordCount(), 2);
        d.setValue(QStringLiteral("soyadi"), QStringLiteral("Yılmaz"));
        const QVariant id = d.value(QStringLiteral("idogrenci"));
        d.next();
        QCOMPARE(d.state(), Dataset::State::Browse);
        QCOMPARE(
            c.query(QStringLiteral("SELECT soyadi FROM ogrenci WHERE idogrenci=@i"), {{"@i", id}})
                .rows[0][0]
                .toString(),
            QStringLiteral("Yılmaz"));
        d.append();
        d.first();
        QCOMPARE(d.recordCount(), 2);
        QCOMPARE(c.query(QStringLiteral("SELECT count(*) FROM ogrenci")).rows[0][0].toInt(), 2);
    }

    void beforePostHookSeesTheState()
    {
        Connection c;
        c.openInMemory();
        Dataset d(c);
        d.setSql(QStringLiteral("SELECT * FROM ogrenci"),
                 {QStringLiteral("ogrenci"), QStringLiteral("idogrenci")});
        QStringList seen;
        d.beforePost = [&](Dataset& ds) {
            seen << (ds.state() == Dataset::State::Insert ? QStringLiteral("new")
                                                          : QStringLiteral("changed"));
            ds.setValue(QStringLiteral("statu"), QStringLiteral("1"));
        };
        d.open();
        d.append();
        d.setValue(QStringLiteral("adi"), QStringLiteral("Can"));
        d.post();
        d.setValue(QStringLiteral("adi"), QStringLiteral("Cem"));
        d.post();
        QCOMPARE(seen, QStringList({QStringLiteral("new"), QStringLiteral("changed")}));
        QCOMPARE(c.query(QStringLiteral("SELECT adi, statu FROM ogrenci")).rows[0],
                 QVector<QVariant>({QStringLiteral("Cem"), QStringLiteral("1")}));
    }

    void transactionRollsBackUnlessCommitted()
    {
        Connection c;
        c.openInMemory();
        {
            Transaction tx(c);
            c.insertRow(QStringLiteral("ogrenci"), {{"adi", QStringLiteral("Geçici")}});
        }
        QCOMPARE(c.query(QStringLiteral("SELECT count(*) FROM ogrenci")).rows[0][0].toInt(), 0);
        {
            Transaction tx(c);
            c.insertRow(QStringLiteral("ogrenci"), {{"adi", QStringLiteral("Kalıcı")}});
            tx.commit();
        }
        QCOMPARE(c.query(QStringLiteral("SELECT count(*) FROM ogrenci")).rows[0][0].toInt(), 1);
    }

    void firstRunCreatesAndSeedsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelvo.db"));
        {
            Connection c;
            c.openSqlite(path);
            QCOMPARE(c.callProcedure(QStringLiteral("BireyGetirLogin"),
                                     {{"@Key1", QStringLiteral("admin")}})
                         .rows.size(),
                     1);
            QCOMPARE(c.query(QStringLiteral("PRAGMA journal_mode")).rows[0][0].toString(),
                     QStringLiteral("wal"));
        }
        // a second start finds the database and does not seed it twice
        Connection again;
        again.openSqlite(path, Connection::OpenMode::MustExist);
        QCOMPARE(again.query(QStringLiteral("SELECT count(*) FROM kullanici")).rows[0][0].toInt(),
                 1);
    }

    void badFilesEndInAClearMessageAndStayUntouched()
    {
        QTemporaryDir dir;
        const QString garbage = dir.filePath(QStringLiteral("garbage.db"));
        {
            QFile f(garbage);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'z'));
        }
        const QByteArray before = fileHash(garbage);
        Connection c;
        QString error = openError(c, garbage, Connection::OpenMode::MustExist);
        QVERIFY2(error.contains(QStringLiteral("veritabanı değil")), qPrintable(error));
        QCOMPARE(fileHash(garbage), before);
        QVERIFY(!c.isOpen());

        const QString missing = dir.filePath(QStringLiteral("missing.db"));
        error = openError(c, missing, Connection::OpenMode::MustExist);
        QVERIFY2(error.contains(QStringLiteral("bulunamadı")), qPrintable(error));
        QVERIFY(!QFile::exists(missing));

        // an SQLite file of another program is not taken over
        const QString foreign = dir.filePath(QStringLiteral("foreign.db"));
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
            other.setDatabaseName(foreign);
            QVERIFY(other.open());
            QSqlQuery(other).exec(QStringLiteral("CREATE TABLE t(x)"));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        const QByteArray foreignBefore = fileHash(foreign);
        error = openError(c, foreign, Connection::OpenMode::MustExist);
        QVERIFY2(error.contains(QStringLiteral("Zelvo veritabanı değil")), qPrintable(error));
        QCOMPARE(fileHash(foreign), foreignBefore);

        if (geteuid() != 0) { // root writes anyway; the permission check is still exercised
            const QString readOnly = dir.filePath(QStringLiteral("ro.db"));
            {
                Connection make;
                make.openSqlite(readOnly);
            }
            QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
            error = openError(c, readOnly, Connection::OpenMode::MustExist);
            QVERIFY2(error.contains(QLatin1String("salt okunur")), qPrintable(error));
        }
    }

    void lockedFileEndsInAClearMessage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("locked.db"));
        {
            Connection make;
            make.openSqlite(path);
        }
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
        Connection c;
        const QString error = openError(c, path, Connection::OpenMode::MustExist);
        QVERIFY2(error.contains(QLatin1String("kilit")) && error.contains(path) &&
                     error.contains(QStringLiteral("programı kapatıp")),
                 qPrintable(error));
        lock.exec(QStringLiteral("ROLLBACK"));
        lock.finish();
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        c.openSqlite(path, Connection::OpenMode::MustExist); // free again: it opens
        QVERIFY(c.isOpen());
    }

    // What goes wrong with the file itself is said in Turkish, naming the file and what to do,
    // with SQLite's text after it; an empty file is refused and stays empty.
    void damagedFileInWords_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("disk full") << "full"
                                   << "Diskte yer kalmadı"
                                   << "database or disk is full";
        QTest::newRow("malformed") << "malformed"
                                   << "\"Yedekten Geri Yükle\""
                                   << "malformed";
        QTest::newRow("empty file") << "empty"
                                    << "Veritabanı dosyası boş (0 bayt)"
                                    << "";
    }
    void damagedFileInWords()
    {
        QFETCH(QString, damage);
        QFETCH(QString, said);
        QFETCH(QString, sqlite);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelvo.db"));
        Connection c;
        QString error;
        if (damage == QLatin1String("empty")) {
            QFile(path).open(QIODevice::WriteOnly);
            error = openError(c, path, Connection::OpenMode::MustExist);
            QCOMPARE(QFileInfo(path).size(), 0);
        } else {
            c.openSqlite(path);
            if (damage == QLatin1String("full")) {
                // a disk that fills up: the file may not grow by another page
                c.execute(QStringLiteral("CREATE TABLE dolgu (x)"));
                const int pages = c.query(QStringLiteral("PRAGMA page_count")).rows[0][0].toInt();
                c.execute(QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
                try {
                    c.execute(QStringLiteral("INSERT INTO dolgu SELECT randomblob(100000)"));
                } catch (const DbError& e) {
                    error = e.text();
                }
            } else {
                c.close();
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                // the schema's own page, past the file header, overwritten
                file.seek(100);
                file.write(QByteArray(3000, '\x5a'));
                file.close();
                error = openError(c, path, Connection::OpenMode::MustExist);
            }
        }
        QVERIFY2(error.contains(said) && error.contains(path) && error.contains(sqlite),
                 qPrintable(error));
    }

    void settingsFile()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("zelvo.ini"));
        auto write = [&](const QByteArray& text) {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
        };
        write("[database]\nkind=oracle\nfile=x.db\n");
        QVERIFY_THROWS_EXCEPTION(DbError, loadDatabaseSettings(ini));
        try {
            loadDatabaseSettings(ini);
        } catch (const DbError& e) {
            QVERIFY(e.text().contains(QLatin1String("oracle")));
        }

        write("[database]\nkind=sqlite\nfile=yok.db\n");
        const DatabaseSettings s = loadDatabaseSettings(ini);
        QCOMPARE(s.file, dir.filePath(QStringLiteral("yok.db")));
        Connection c;
        QVERIFY_THROWS_EXCEPTION(DbError, openConfigured(c, s));
        QVERIFY(!QFile::exists(s.file)); // a named file is never created behind the user's back

        const DatabaseSettings none = loadDatabaseSettings(dir.filePath(QStringLiteral("no.ini")));
        QVERIFY(!none.fromSettingsFile);
        QVERIFY(none.file.endsWith(QLatin1String("zelvo.db")));
    }

    void settingsFileLookup_data()
    {
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("systemWide");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("both") << true << true << "program/zelvo.ini";
        QTest::newRow("beside the program only") << true << false << "program/zelvo.ini";
        QTest::newRow("system-wide only") << false << true << "etc/zelvo.ini";
        QTest::newRow("none") << false << false << "";
    }
    void settingsFileLookup()
    {
        QFETCH(bool, besideProgram);
        QFETCH(bool, systemWide);
        QTemporaryDir dir;
        const QDir root(dir.path());
        for (const char* folder : {"program", "etc"})
            QVERIFY(root.mkpath(QString::fromLatin1(folder)));
        const QString beside = root.filePath(QStringLiteral("program/zelvo.ini"));
        const QString system = root.filePath(QStringLiteral("etc/zelvo.ini"));
        for (const auto& [wanted, path] : {std::pair{besideProgram, beside}, {systemWide, system}})
            if (wanted) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        const QString found = settingsFilePath(beside, system);
        QTEST(found.isEmpty() ? QString() : root.relativeFilePath(found), "chosen");
    }

    // The package's example, every line a comment, leaves the user on the embedded database.
    void shippedSettingsNameNoDatabase()
    {
        const DatabaseSettings s =
            loadDatabaseSettings(QStringLiteral(ZELVO_SOURCE_DIR "/packaging/zelvo.ini"));
        QVERIFY(!s.fromSettingsFile);
        QCOMPARE(s.kind, QStringLiteral("sqlite"));
        QCOMPARE(s.file, defaultDatabasePath());
    }
};

QTEST_GUILESS_MAIN(TstDbLayer)
#include "tst_dblayer.moc"
