#include "backup/sqlitecopies.h"

#include "backup/backupfile.h"
#include "db/connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <filesystem>
#include <optional>
#include <sqlite3.h>
#include <system_error>

namespace zelvo::backup {

namespace {

// The tables without which a file is not a database of this program.
const char* const requiredTables[] = {"zelvo_info", "zelvo_procedure", "kullanici", "ogrenci",
                                      "Puantaj",    "Tahakkuk",        "Xml"};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A connection of SQLite's own, for the files the program does not work on through Qt.
class RawDatabase {
public:
    RawDatabase(const QString& path, int flags)
    {
        // SQLite takes UTF-8 file names on every system, Windows included
        const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            const QString text = m_db ? lastError() : QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_close(m_db); // the destructor does not run for a constructor that throws
            throw db::DbError(QStringLiteral("%1 (%2)").arg(native(path), text));
        }
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~RawDatabase() { sqlite3_close_v2(m_db); }
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    sqlite3* handle() const { return m_db; }
    QString lastError() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    // The first column of every row; throws the database's text on an error.
    QStringList column(const char* sql) const
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw db::DbError(lastError());
        QStringList values;
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            values << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE)
            throw db::DbError(lastError());
        return values;
    }
    void execute(const char* sql) const { column(sql); }

    // Closes now; throws when SQLite cannot (a statement still open).
    void close()
    {
        const int rc = sqlite3_close(m_db);
        if (rc != SQLITE_OK)
            throw db::DbError(lastError());
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
};

sqlite3* handleOf(db::Connection& connection)
{
    const QVariant handle = connection.database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw db::DbError(QStringLiteral("Veritabanı bağlantısı bir SQLite bağlantısı değil"));
    return *static_cast<sqlite3* const*>(handle.constData());
}

// Every page of `source` into `target` in one step, as one transaction of the target: either it
// is all there or the target is as it was.
void copyPages(sqlite3* source, sqlite3* target)
{
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        throw db::DbError(QString::fromUtf8(sqlite3_errmsg(target)));
    int rc = SQLITE_OK;
    for (int waited = 0; waited < 50; ++waited) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        sqlite3_sleep(100);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw db::DbError(QString::fromUtf8(sqlite3_errstr(rc)));
}

void removePartialFiles(const QString& part)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(part + QLatin1String(suffix));
}

// Renames over an existing file in one step (rename(2); MoveFileEx with replace on Windows).
void replaceFile(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    if (error)
        throw db::DbError(QString::fromLocal8Bit(error.message().c_str()));
}

bool sameFile(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    const QString canonicalB = QFileInfo(b).canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

db::DbError notOurs(const QString& file)
{
    return db::DbError(
        QStringLiteral("Seçilen dosya bir Zelvo yedeği değil: %1\nHiçbir şey değiştirilmedi.")
            .arg(native(file)));
}

db::DbError damaged(const QString& file, const QString& why)
{
    return db::DbError(QStringLiteral("Seçilen yedek hasarlı, geri yüklenemez: %1 (%2)\nHiçbir "
                                      "şey değiştirilmedi.")
                           .arg(native(file), why));
}

void checkIntegrity(const RawDatabase& copy, const QString& file)
{
    QStringList findings;
    try {
        findings = copy.column("PRAGMA integrity_check");
    } catch (const db::DbError& e) {
        throw damaged(file, e.text());
    }
    if (findings != QStringList{QStringLiteral("ok")})
        throw damaged(file, findings.mid(0, 3).join(QStringLiteral("; ")));
}

void checkOurs(const RawDatabase& copy, const QString& file, const QString& schemaVersion)
{
    QStringList tables;
    QStringList application;
    QStringList version;
    try {
        tables = copy.column("SELECT name FROM sqlite_master WHERE type = 'table'");
        for (const char* table : requiredTables)
            if (!tables.contains(QLatin1String(table), Qt::CaseInsensitive))
                throw notOurs(file);
        application = copy.column("SELECT value FROM zelvo_info WHERE key = 'application'");
        version = copy.column("SELECT value FROM zelvo_info WHERE key = 'schema_version'");
    } catch (const db::DbError&) {
        throw notOurs(file);
    }
    if (application != QStringList{QStringLiteral("Zelvo")})
        throw notOurs(file);
    // after the restore this program must still open the data: an older copy is brought
    // forward when it is opened, a newer one it cannot read
    if (version.value(0).toInt() > schemaVersion.toInt())
        throw db::DbError(QStringLiteral("Seçilen yedek programın başka bir sürümüne ait (şema "
                                         "sürümü %1, bu veritabanınınki %2): %3\nHiçbir şey "
                                         "değiştirilmedi.")
                              .arg(version.value(0), schemaVersion, native(file)));
}

QString firstValue(db::Connection& connection, const QString& sql)
{
    return connection.query(sql).rows.value(0).value(0).toString();
}

} // namespace

StagedCopy::StagedCopy() : m_path(m_folder.filePath(QStringLiteral("yedek.db"))) {}

SqliteCopies::SqliteCopies(db::Connection& connection) : m_connection(connection) {}

QString SqliteCopies::databasePath() const
{
    return m_connection.filePath();
}

void SqliteCopies::checkTarget(const QString& target) const
{
    const QString database = databasePath();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        if (sameFile(target, database + QLatin1String(suffix)))
            throw db::DbError(QStringLiteral("Yedek, veritabanı dosyasının kendisine yazılamaz: %1")
                                  .arg(native(target)));
    if (m_connection.inTransaction())
        throw db::DbError(QStringLiteral("Bir işlem sürerken yedek alınamaz"));
}

void SqliteCopies::writeCopy(const QString& target)
{
    checkTarget(target);
    const QString part = partialPath(target);
    removePartialFiles(part);
    try {
        RawDatabase copy(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        copyPages(handleOf(m_connection), copy.handle());
        // the pages carry the write-ahead-log mark of the live file; a copy is one file that
        // any SQLite reads as it is
        copy.execute("PRAGMA journal_mode = DELETE");
        copy.close();
        replaceFile(part, target);
    } catch (const db::DbError& e) {
        removePartialFiles(part);
        throw db::DbError(
            QStringLiteral("Yedek yazılamadı: %1 (%2)").arg(native(target), e.text()));
    }
}

std::unique_ptr<StagedCopy> SqliteCopies::stage(const QString& file) const
{
    QFile chosen(file);
    if (!chosen.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("Dosya okunamadı: %1 (%2)\nHiçbir şey değiştirilmedi.")
                              .arg(native(file), chosen.errorString()));
    if (chosen.read(16) != QByteArray("SQLite format 3\0", 16))
        throw notOurs(file);
    chosen.close();

    auto staged = std::make_unique<StagedCopy>();
    staged->setSource(file);
    if (!staged->isValid() || !QFile::copy(file, staged->path()))
        throw db::DbError(QStringLiteral("Dosya geçici bir klasöre kopyalanamadı: %1\nHiçbir şey "
                                         "değiştirilmedi.")
                              .arg(native(file)));
    // a copy from a write-protected stick keeps its read-only mark
    QFile::setPermissions(staged->path(), QFile::ReadOwner | QFile::WriteOwner);

    const QString pageSize = firstValue(m_connection, QStringLiteral("PRAGMA page_size"));
    const QString schemaVersion = firstValue(
        m_connection, QStringLiteral("SELECT value FROM zelvo_info WHERE key = 'schema_version'"));
    std::optional<RawDatabase> opened;
    try {
        opened.emplace(staged->path(), SQLITE_OPEN_READWRITE);
    } catch (const db::DbError& e) {
        throw damaged(file, e.text());
    }
    RawDatabase& copy = *opened;
    checkIntegrity(copy, file);
    checkOurs(copy, file, schemaVersion);
    try {
        copy.execute("PRAGMA journal_mode = DELETE");
        // a live file in write-ahead-log mode takes pages of its own size only
        if (copy.column("PRAGMA page_size").value(0) != pageSize) {
            const QByteArray setPageSize =
                "PRAGMA page_size = " + QByteArray::number(pageSize.toInt());
            copy.execute(setPageSize.constData());
            copy.execute("VACUUM");
        }
        copy.close();
    } catch (const db::DbError& e) {
        throw damaged(file, e.text());
    }
    return staged;
}

void SqliteCopies::replaceWith(const StagedCopy& staged)
{
    if (m_connection.inTransaction())
        throw db::DbError(QStringLiteral("Bir işlem sürerken geri yükleme yapılamaz"));
    try {
        RawDatabase source(staged.path(), SQLITE_OPEN_READONLY);
        RawDatabase target(databasePath(), SQLITE_OPEN_READWRITE);
        copyPages(source.handle(), target.handle());
        // leaves the restored pages in the database file itself where no reader holds the log;
        // otherwise SQLite moves them there at the next checkpoint, the data being the same
        sqlite3_wal_checkpoint_v2(target.handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr,
                                  nullptr);
        target.close();
    } catch (const db::DbError& e) {
        throw db::DbError(QStringLiteral("Yedek geri yüklenemedi: %1 (%2)\nVeritabanı "
                                         "değiştirilmedi.")
                              .arg(native(staged.source()), e.text()));
    }
}

} // namespace zelvo::backup
