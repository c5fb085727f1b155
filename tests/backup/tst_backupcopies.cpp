// Copies of the embedded database as files: a copy is a database of its own with the same rows,
// the folder keeps the newest of each kind, a copy that fails leaves nothing named as a copy, and
// a restore takes only an undamaged database of this program, after a copy of the data as it is.

#include "backup/databasecopies.h"
#include "backupfixture.h"
#include "db/settings.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <csignal>
#include <sys/resource.h>

using namespace zelvo;

using backup::BackupKind;

namespace {

QDateTime at(int day, int hour, int minute = 0)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute));
}

void touch(const QString& path, const QDateTime& modified = QDateTime::currentDateTime())
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.flush(); // or closing would write it, and the time with it
    file.setFileTime(modified, QFileDevice::FileModificationTime);
}

QByteArray headerOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(100) : QByteArray();
}

// Writes bytes over a file at an offset.
void overwrite(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A file size limit makes every write past it fail as a full disk does; root's permission bits
// would not stop a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

// Another program's SQLite file, with a table of a name this program uses too.
bool writeForeignDatabase(const QString& path)
{
    bool written = false;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        other.setDatabaseName(path);
        written = other.open() && QSqlQuery(other).exec("CREATE TABLE ogrenci (ogrencino TEXT)");
    }
    QSqlDatabase::removeDatabase("foreign");
    return written;
}

} // namespace

class TstBackupCopies : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copyIsADatabaseOfItsOwnWithTheSameRows()
    {
        BackupFixture f;
        f.addStudents(1, 30);
        const QString copy = f.service->takeCopy(BackupKind::Daily);
        QCOMPARE(copy, QDir(f.backupsPath()).filePath("zelvo-gunluk-2026-03-14-093005.db"));
        // one file, not in write-ahead-log mode, so nothing beside it is needed to read it
        const QByteArray header = headerOf(copy);
        QCOMPARE(header.left(16), QByteArray("SQLite format 3\0", 16));
        QCOMPARE(int(header.at(18)), 1);
        QCOMPARE(BackupFixture::filesIn(f.backupsPath()), QStringList{QFileInfo(copy).fileName()});
        f.session.addStudent("S99", "Sonra", "Eklenen", QDate(2026, 3, 1), QDate(2026, 4, 1));
        const QStringList copied = BackupFixture::studentsIn(copy);
        QCOMPARE(copied.size(), 30);
        QCOMPARE(copied + QStringList{"S99"}, f.students());
    }

    void copiesGoWhereTheSettingsFileSays()
    {
        BackupFixture f;
        const QString ini = f.dir.filePath("zelvo.ini");
        QCOMPARE(db::backupFolderSetting(ini), QString()); // no settings file: beside the database
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[database]\nkind=sqlite\nfile=zelvo.db\n[backup]\nfolder=disk2/kopyalar\n");
        file.close();
        QCOMPARE(db::backupFolderSetting(ini), f.dir.filePath("disk2/kopyalar"));
        f.startService(db::backupFolderSetting(ini));
        f.service->takeCopy(BackupKind::Daily);
        QCOMPARE(BackupFixture::filesIn(f.dir.filePath("disk2/kopyalar")).size(), 1);
        QVERIFY(!QFileInfo::exists(f.backupsPath()));
    }

    void pruningKeepsTheNewestOfEachKind_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("kept");
        QStringList fifteenDaily;
        for (int day = 1; day <= 15; ++day)
            fifteenDaily << QStringLiteral("zelvo-gunluk-2026-03-%1-080000.db")
                                .arg(day, 2, 10, QLatin1Char('0'));
        QTest::newRow("15 daily: the oldest goes") << fifteenDaily << fifteenDaily.mid(1);
        QStringList runs;
        for (int hour = 8; hour <= 19; ++hour)
            runs << QStringLiteral("zelvo-islem-oncesi-2026-03-14-%1%2.db")
                        .arg(hour, 2, 10, QLatin1Char('0'))
                        .arg("0000");
        QTest::newRow("12 before runs beside 15 daily: each kind counted apart")
            << fifteenDaily + runs << fifteenDaily.mid(1) + runs.mid(2);
        const QStringList restores = {"zelvo-geri-yukleme-oncesi-2026-01-01-100000.db",
                                      "zelvo-geri-yukleme-oncesi-2026-01-02-100000.db"};
        QTest::newRow("before-restore copies beside many runs stay")
            << runs + restores << runs.mid(2) + restores;
        const QStringList foreign = {"birim02-gunluk-2026-01-01-000000.db", "notlar.txt",
                                     "zelvo-gunluk-2026-13-01-000000.db",
                                     "zelvo-yedek-2026-01-01-1000.db"};
        QTest::newRow("another database's copies and other files are left alone")
            << fifteenDaily + foreign << fifteenDaily.mid(1) + foreign;
    }
    void pruningKeepsTheNewestOfEachKind()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, kept);
        QTemporaryDir dir;
        const backup::BackupFolder folder(dir.filePath("zelvo.db"), dir.path());
        for (const QString& name : present)
            touch(dir.filePath(name));
        folder.prune();
        kept.sort();
        QCOMPARE(BackupFixture::filesIn(dir.path()), kept);
    }

    void partialFilesOfAnInterruptedCopyAreRemovedWhenStale()
    {
        QTemporaryDir dir;
        const backup::BackupFolder folder(dir.filePath("zelvo.db"), dir.path());
        const QString stale = "zelvo-gunluk-2026-03-13-080000.db.part";
        const QString fresh = "zelvo-gunluk-2026-03-14-080000.db.part";
        touch(dir.filePath(stale), QDateTime::currentDateTime().addSecs(-7200));
        touch(dir.filePath(stale + "-journal"), QDateTime::currentDateTime().addSecs(-7200));
        touch(dir.filePath(fresh));         // another workstation may be writing it now
        QVERIFY(folder.copies().isEmpty()); // never listed as a copy
        folder.prune();
        QCOMPARE(BackupFixture::filesIn(dir.path()), QStringList{fresh});
    }

    void copiesAtStartAndBeforeRuns()
    {
        BackupFixture f;
        const auto kinds = [&f] {
            QStringList names;
            for (const backup::BackupFile& copy : f.service->folder().copies())
                names << backup::kindTitle(copy.kind) + copy.taken.toString(" dd HH:mm");
            return names;
        };
        f.clock = at(14, 9);
        f.service->atStart();
        f.service->atStart(); // a second start that day
        f.clock = at(14, 9, 50);
        f.service->beforeReplacingRun(nullptr); // the day's copy is recent enough
        QCOMPARE(kinds(), QStringList{"Günlük 14 09:00"});
        f.clock = at(14, 10, 5);
        f.service->beforeReplacingRun(nullptr);
        f.clock = at(14, 10, 45);
        f.service->beforeReplacingRun(nullptr);
        f.clock = at(15, 8);
        f.service->atStart();
        QCOMPARE(kinds(),
                 (QStringList{"Günlük 15 08:00", "İşlem öncesi 14 10:05", "Günlük 14 09:00"}));
        f.clock = at(13, 8); // the clock set back a day: the newest copy is not "recent"
        f.service->beforeReplacingRun(nullptr);
        QCOMPARE(kinds().size(), 4);
        QVERIFY(f.session.dialogs.shown.isEmpty());
    }

    void failedCopyLeavesNothingNamedAsACopy_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("the folder's place is taken by a file") << "folder under a file";
        QTest::newRow("the copy's name is taken by a folder") << "name taken";
        QTest::newRow("the disk fills up halfway") << "disk full";
    }
    void failedCopyLeavesNothingNamedAsACopy()
    {
        QFETCH(QString, failure);
        BackupFixture f;
        f.addStudents(1, 200);
        QString folder = f.backupsPath();
        if (failure == "folder under a file") {
            touch(f.dir.filePath("dosya"));
            folder = f.dir.filePath("dosya/backups");
            f.startService(folder);
        } else if (failure == "name taken") {
            QVERIFY(QDir().mkpath(f.service->folder().newCopyPath(BackupKind::BeforeRun, f.clock)));
        }
        {
            std::optional<FileSizeLimit> limit;
            const qint64 pages = f.session.setup().query("PRAGMA page_count").rows[0][0].toInt();
            QVERIFY(pages * 4096 > 64 * 1024);
            if (failure == "disk full")
                limit.emplace(64 * 1024);
            QVERIFY_THROWS_EXCEPTION(db::DbError, f.service->takeCopy(BackupKind::BeforeRun));
            // the work goes on: told once, and the data still takes changes
            f.service->beforeReplacingRun(nullptr);
            f.service->beforeReplacingRun(nullptr);
        }
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Message).size(), 1);
        QVERIFY(f.session.dialogs.lastText().contains("otomatik yedeği alınamadı"));
        f.session.addStudent("S999", "Yine", "Çalışıyor", QDate(2026, 3, 1), QDate(2026, 4, 1));
        QCOMPARE(f.students().size(), 201);
        QVERIFY(f.service->folder().copies().isEmpty());
        for (const QString& name : BackupFixture::filesIn(folder))
            QVERIFY2(!name.contains(".part"), qPrintable(name));
    }

    void restoreBringsTheCopyBackAfterASafetyCopy()
    {
        BackupFixture f;
        f.addStudents(1, 5);
        const QString copy = f.service->takeCopy(BackupKind::Daily);
        f.session.setup().execute("DELETE FROM ogrenci WHERE ogrencino IN ('S1', 'S2')");
        f.addStudents(10, 2);
        const QStringList beforeRestore = f.students();

        const std::unique_ptr<backup::StagedCopy> staged = f.service->copies().stage(copy);
        f.clock = f.clock.addSecs(60);
        const QString safety = f.service->restore(*staged);
        QCOMPARE(QFileInfo(safety).fileName(),
                 QStringLiteral("zelvo-geri-yukleme-oncesi-2026-03-14-093105.db"));
        QCOMPARE(BackupFixture::studentsIn(safety), beforeRestore);
        // as the next start opens it
        f.session.connection.close();
        QCOMPARE(BackupFixture::studentsIn(f.databasePath),
                 (QStringList{"S1", "S2", "S3", "S4", "S5"}));
        QVERIFY(!QFileInfo::exists(f.databasePath + "-wal"));
    }

    void restoreFromAFileLeftTheWayAnotherProgramLeftIt()
    {
        // a copy of a live file in write-ahead-log mode, taken by hand beside its journal files
        BackupFixture f;
        f.addStudents(1, 3);
        const QString foreignCopy = f.dir.filePath("kopya.db");
        f.session.setup().execute("PRAGMA wal_checkpoint(TRUNCATE)");
        QVERIFY(QFile::copy(f.databasePath, foreignCopy));
        QVERIFY(int(headerOf(foreignCopy).at(18)) == 2);
        f.addStudents(4, 3);
        const auto staged = f.service->copies().stage(foreignCopy);
        QCOMPARE(BackupFixture::filesIn(f.dir.path()).filter("kopya"), QStringList{"kopya.db"});
        f.service->restore(*staged);
        f.session.connection.close();
        QCOMPARE(BackupFixture::studentsIn(f.databasePath),
                 BackupFixture::studentsIn(staged->path()));
    }

    void refusesWhatIsNotAnUndamagedCopy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("a text file") << "text"
                                     << "bir Zelvo yedeği değil";
        QTest::newRow("an empty file") << "empty"
                                       << "bir Zelvo yedeği değil";
        QTest::newRow("a copy with damaged pages") << "damaged"
                                                   << "hasarlı";
        QTest::newRow("a copy cut short") << "truncated"
                                          << "hasarlı";
        QTest::newRow("another program's SQLite file") << "foreign"
                                                       << "bir Zelvo yedeği değil";
        QTest::newRow("a copy of another schema version") << "version"
                                                          << "başka bir sürümüne";
        QTest::newRow("a file that is not there") << "missing"
                                                  << "okunamadı";
    }
    void refusesWhatIsNotAnUndamagedCopy()
    {
        QFETCH(QString, kind);
        QFETCH(QString, refusal);
        BackupFixture f;
        f.addStudents(1, 300);
        const QString good = f.service->takeCopy(BackupKind::Daily);
        f.session.setup().execute("DELETE FROM ogrenci WHERE ogrencino = 'S7'");
        const QStringList before = f.students();
        const QString file = f.dir.filePath("secilen.db");
        if (kind == "text") {
            touch(file);
        } else if (kind == "empty") {
            QFile empty(file);
            QVERIFY(empty.open(QIODevice::WriteOnly));
        } else if (kind == "foreign") {
            QVERIFY(writeForeignDatabase(file));
        } else if (kind != "missing") {
            QVERIFY(QFile::copy(good, file));
            const qint64 size = QFileInfo(file).size();
            if (kind == "damaged") {
                for (qint64 page = 4096; page < size; page += 4096 * 3)
                    overwrite(file, page, QByteArray(24, '\xA5'));
            } else if (kind == "truncated") {
                QVERIFY(QFile(file).resize(size / 2));
            } else {
                db::Connection other;
                other.openSqlite(file);
                other.execute("UPDATE zelvo_info SET value = '99' WHERE key = 'schema_version'");
            }
        }
        try {
            f.service->copies().stage(file);
            QFAIL("the file was taken");
        } catch (const db::DbError& e) {
            QVERIFY2(e.text().contains(refusal), qPrintable(e.text()));
        }
        QCOMPARE(f.students(), before);
        QCOMPARE(f.service->folder().copies().size(), 1); // no safety copy either
    }

    void noSafetyCopyNoRestore()
    {
        BackupFixture f;
        f.addStudents(1, 2);
        const auto staged = f.service->copies().stage(f.service->takeCopy(BackupKind::Daily));
        f.addStudents(3, 1);
        touch(f.dir.filePath("dosya"));
        f.startService(f.dir.filePath("dosya/backups"));
        try {
            f.service->restore(*staged);
            QFAIL("restored without a safety copy");
        } catch (const db::DbError& e) {
            QVERIFY2(e.text().contains("geri yükleme yapılmadı"), qPrintable(e.text()));
        }
        QCOMPARE(f.students(), (QStringList{"S1", "S2", "S3"}));
    }

    void onlyTheEmbeddedFileIsCopied()
    {
        TestSession memory; // in memory, as a server database would be: not the program's to copy
        backup::BackupService service(memory.connection, memory.dialogs, QString());
        QVERIFY(service.unavailableReason().contains("Bellekteki"));
        service.atStart();
        service.beforeReplacingRun(nullptr);
        QVERIFY(memory.dialogs.shown.isEmpty());
        QVERIFY_THROWS_EXCEPTION(db::DbError, service.takeCopy(BackupKind::Daily));
    }
};

QTEST_MAIN(TstBackupCopies)
#include "tst_backupcopies.moc"
