#include "db/sqlitedialect.h"

#include "db/passwordupgrade.h"
#include "db/sqlfunctions.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <sqlite3.h>

// The bundled server scripts live in this static library; make sure they are registered.
static void initServerScripts()
{
    Q_INIT_RESOURCE(serverscripts);
}

namespace zelvo::db {

namespace {

const QString InMemory = QStringLiteral(":memory:");

QString withoutLeadingComments(QString sql)
{
    for (;;) {
        sql = sql.trimmed();
        if (sql.startsWith(QLatin1String("--"))) {
            const int end = sql.indexOf(QLatin1Char('\n'));
            sql = end < 0 ? QString() : sql.mid(end + 1);
        } else if (sql.startsWith(QLatin1String("/*"))) {
            const int end = sql.indexOf(QLatin1String("*/"));
            sql = end < 0 ? QString() : sql.mid(end + 2);
        } else {
            return sql;
        }
    }
}

QString bundledFile(const QString& name)
{
    initServerScripts();
    QFile file(QStringLiteral(":/server/sqlite/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Kurulum betiği okunamadı: %1").arg(file.fileName()));
    return QString::fromUtf8(file.readAll());
}

// The bundled scripts in the order they apply: the schema, the catalog and the seed (01 to
// 03), then the migrations (04 on). A migration brings a file made by an earlier version
// forward once; its last statement records it in zelvo_info as 'migration:<file name>', so a
// database built by hand from the same scripts is known to have it too.
QStringList bundledFileNames()
{
    initServerScripts();
    return QDir(QStringLiteral(":/server/sqlite"))
        .entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
}

bool isMigration(const QString& name)
{
    return name.left(2).toInt() >= 4;
}

QString bundledScript()
{
    QString script;
    for (const QString& name : bundledFileNames())
        script += bundledFile(name) + QLatin1Char('\n');
    return script;
}

// The procedure catalog belongs to the program, not to the file: a file made by an earlier
// version lacks the procedures added since and may hold older bodies. Whenever the bundled
// procedures differ from those the file was last given, the catalog is replaced by them in one
// transaction; the digest of the script given is kept beside the schema version.
void refreshProcedureCatalog(Connection& connection)
{
    const QString script = bundledFile(QStringLiteral("02-procedures.sql"));
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(script.toUtf8(), QCryptographicHash::Sha256).toHex());
    const QVariant given =
        connection.query(QStringLiteral("SELECT value FROM zelvo_info WHERE key = 'procedures'"))
            .rows.value(0)
            .value(0);
    if (given.toString() == digest)
        return;
    Transaction transaction(connection);
    connection.execute(QStringLiteral("DELETE FROM zelvo_procedure"));
    connection.applyScript(script);
    connection.execute(
        QStringLiteral("INSERT OR REPLACE INTO zelvo_info (key, value) VALUES ('procedures', @d)"),
        {{QStringLiteral("@d"), digest}});
    transaction.commit();
}

QVariant scalar(Connection& connection, const QString& sql)
{
    return connection.query(sql).rows.value(0).value(0);
}

} // namespace

QStringList splitStatements(const QString& sql)
{
    QStringList statements;
    const QByteArray utf8 = sql.toUtf8();
    qsizetype start = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8.at(i) != ';')
            continue;
        const QByteArray candidate = utf8.mid(start, i - start + 1);
        if (!sqlite3_complete(candidate.constData()))
            continue;
        const QString statement = withoutLeadingComments(QString::fromUtf8(candidate));
        if (statement != QLatin1String(";") && !statement.isEmpty())
            statements << statement;
        start = i + 1;
    }
    const QString tail = withoutLeadingComments(QString::fromUtf8(utf8.mid(start)));
    if (!tail.isEmpty())
        statements << tail;
    return statements;
}

QString SqliteDialect::checkedPath(const QString& path, Connection::OpenMode mode)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.exists() && mode == Connection::OpenMode::MustExist)
        throw DbError(QStringLiteral("Veritabanı dosyası bulunamadı: %1").arg(path));
    // an empty file is no database: it is refused, not quietly made into a new one
    if (info.exists() && info.size() == 0 && mode == Connection::OpenMode::MustExist)
        throw DbError(QStringLiteral("Veritabanı dosyası boş (0 bayt): %1. Doğru dosyayı "
                                     "gösterin ya da bir yedeği geri yükleyin.")
                          .arg(path));
    if (info.exists() && !info.isWritable())
        throw DbError(
            QStringLiteral("Veritabanı dosyası salt okunur, değişiklikler kaydedilemez: %1")
                .arg(path));
    return info.absoluteFilePath();
}

void SqliteDialect::open(Connection& connection, const QString& path)
{
    const bool memory = path.isEmpty();
    const bool existed = !memory && QFileInfo::exists(path);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection.connectionName());
        if (!db.isValid())
            throw DbError(QStringLiteral("SQLite veritabanı sürücüsü yüklenemedi (QSQLITE)"));
        db.setDatabaseName(memory ? InMemory : path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            throw DbError(QStringLiteral("Veritabanı açılamadı: %1 (%2)")
                              .arg(memory ? InMemory : path, errorText(db.lastError())));
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            registerSqlFunctions(*static_cast<sqlite3* const*>(handle.constData()));
    }
    connection.execute(QStringLiteral("PRAGMA foreign_keys=ON"));
    const bool empty =
        scalar(connection, QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() == 0;
    if (empty) {
        // a file of some length with no table in it is not one this program made
        if (existed && QFileInfo(path).size() > 0)
            throw DbError(QStringLiteral("Veritabanı boş: %1").arg(path));
        connection.applyScript(bundledScript());
    } else if (scalar(connection,
                      QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' "
                                     "AND name IN ('zelvo_info','zelvo_procedure')"))
                   .toInt() != 2) {
        throw DbError(QStringLiteral("Bu dosya bir Zelvo veritabanı değil: %1").arg(path));
    }
    if (!memory) {
        connection.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        // A program holding the write lock makes this wait for the busy time-out and then
        // fail, so a locked file is found at start rather than in the middle of a run.
        connection.execute(QStringLiteral("BEGIN IMMEDIATE"));
        connection.execute(QStringLiteral("ROLLBACK"));
    }
}

QString SqliteDialect::describe(const QSqlError& error) const
{
    const QString text = errorText(error);
    const int code = error.nativeErrorCode().toInt() & 0xff;
    const auto said = [&](const char16_t* sentence) {
        return QString::fromUtf16(sentence).arg(m_path.isEmpty() ? InMemory : m_path, text);
    };
    if (code == SQLITE_FULL || text.contains(QLatin1String("database or disk is full")))
        return said(u"Diskte yer kalmadı, veritabanı dosyasına yazılamadı: %1. Diskte yer açıp "
                    u"işlemi yeniden deneyin; yazılmakta olan hiçbir şey kaydedilmedi. (%2)");
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED ||
        text.contains(QLatin1String("database is locked")))
        return said(u"Veritabanı dosyası başka bir program tarafından kilitli tutuluyor: %1. O "
                    u"programı kapatıp işlemi yeniden deneyin. (%2)");
    if (code == SQLITE_CORRUPT || text.contains(QLatin1String("malformed")))
        return said(u"Veritabanı dosyası bozuk: %1. Yedekleme menüsünün \"Yedekten Geri Yükle\" "
                    u"penceresinden son sağlam yedeği geri yükleyin. (%2)");
    return text;
}

DbError SqliteDialect::openingError(const QString& path, const DbError& error)
{
    const QString text = error.text();
    // a message that names the file already says what is wrong with it
    if (!path.isEmpty() && text.contains(path))
        return error;
    if (text.contains(QLatin1String("not a database")))
        return DbError(QStringLiteral("Bu dosya bir veritabanı değil: %1 (%2)").arg(path, text));
    if (text.contains(QLatin1String("locked")) || text.contains(QLatin1String("busy")))
        return DbError(
            QStringLiteral("Veritabanı başka bir program tarafından kilitlenmiş: %1 (%2)")
                .arg(path, text));
    return error;
}

void SqliteDialect::initialiseSession(Connection&)
{
    // foreign keys are switched on as the file is opened, before the first script runs
}

int SqliteDialect::schemaVersion(Connection& connection)
{
    return scalar(connection,
                  QStringLiteral("SELECT value FROM zelvo_info WHERE key = 'schema_version'"))
        .toInt();
}

ProcedureText SqliteDialect::procedureText(Connection& connection, const QString& name)
{
    QSqlQuery q(connection.database());
    q.prepare(QStringLiteral(
        "SELECT params, target, target_key, body FROM zelvo_procedure WHERE name = ?"));
    q.addBindValue(name);
    if (!q.exec())
        throw DbError(describe(q.lastError()));
    if (!q.next())
        throw DbError(QStringLiteral("Saklı yordam bulunamadı: '%1'").arg(name));
    ProcedureText text;
    for (const QString& formal : q.value(0).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        text.formals << formal.trimmed();
    text.target = {q.value(1).toString(), q.value(2).toString()};
    text.statements = splitStatements(q.value(3).toString());
    return text;
}

TableInfo SqliteDialect::tableInfo(Connection& connection, const QString& table)
{
    TableInfo info;
    info.name = table;
    QSqlQuery q(connection.database());
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
        throw DbError(describe(q.lastError()));
    static const QRegularExpression width(QStringLiteral("CHAR\\s*\\(\\s*(\\d+)\\s*\\)"),
                                          QRegularExpression::CaseInsensitiveOption);
    while (q.next()) {
        TableColumn column;
        column.name = q.value(1).toString();
        column.declaredType = q.value(2).toString();
        if (const auto match = width.match(column.declaredType); match.hasMatch())
            column.width = match.captured(1).toInt();
        column.isDate = column.declaredType.contains(QLatin1String("DATE"), Qt::CaseInsensitive);
        column.isKey = q.value(5).toInt() > 0;
        info.columns << column;
    }
    return info;
}

QStringList SqliteDialect::dateColumns(Connection& connection)
{
    QStringList tables;
    QSqlQuery q(connection.database());
    if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'")))
        while (q.next())
            tables << q.value(0).toString();
    q.finish();
    QStringList columns;
    for (const QString& table : tables)
        for (const TableColumn& c : connection.tableInfo(table).columns)
            if (c.isDate)
                columns << c.name;
    return columns;
}

QString SqliteDialect::insertStatement(const TableInfo& table, const QStringList& columns) const
{
    if (columns.isEmpty())
        return QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table.name);
    return QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES (%3)")
        .arg(table.name, columns.join(QLatin1String("\",\"")),
             QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
}

QVariant SqliteDialect::insertedKey(QSqlQuery& query) const
{
    return query.lastInsertId();
}

int SqliteDialect::changedRows(Connection& connection, QSqlQuery&) const
{
    const QVariant handle = connection.database().driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        return sqlite3_changes(*static_cast<sqlite3* const*>(handle.constData()));
    return 0;
}

void SqliteDialect::applyScript(Connection& connection, const QString& script)
{
    QStringList pragmas;
    QStringList rest;
    for (const QString& statement : splitStatements(script)) {
        if (statement.startsWith(QLatin1String("PRAGMA"), Qt::CaseInsensitive))
            pragmas << statement;
        else
            rest << statement;
    }
    for (const QString& statement : pragmas) {
        // journal_mode has no meaning for an in-memory database
        if (connection.filePath().isEmpty() &&
            statement.contains(QLatin1String("journal_mode"), Qt::CaseInsensitive))
            continue;
        connection.execute(statement);
    }
    Transaction tx(connection);
    QSqlQuery q(connection.database());
    for (const QString& statement : rest) {
        if (!q.exec(statement))
            throw DbError(describe(q.lastError()));
    }
    q.finish();
    tx.commit();
}

void SqliteDialect::lockStep(Connection&, const QString&, const QString&, int)
{
    // one program writes the file at a time: its write lock already keeps runs apart
}

void SqliteDialect::upgradeSchema(Connection& connection)
{
    const QString marker = QStringLiteral("'migration:' || @name");
    QStringList pending;
    for (const QString& name : bundledFileNames())
        if (isMigration(name) &&
            connection
                .query(QStringLiteral("SELECT 1 FROM zelvo_info WHERE key = %1").arg(marker),
                       {{QStringLiteral("@name"), name}})
                .rows.isEmpty())
            pending << name;
    if (pending.isEmpty() && schemaVersion(connection) >= SchemaVersion)
        return;
    Transaction transaction(connection);
    for (const QString& name : pending) {
        connection.applyScript(bundledFile(name));
        connection.execute(
            QStringLiteral("INSERT OR REPLACE INTO zelvo_info (key, value) VALUES (%1, '1')")
                .arg(marker),
            {{QStringLiteral("@name"), name}});
    }
    connection.execute(QStringLiteral("UPDATE zelvo_info SET value = @v WHERE key = "
                                      "'schema_version' AND CAST(value AS INTEGER) < @v"),
                       {{QStringLiteral("@v"), QString::number(SchemaVersion)}});
    transaction.commit();
}

void SqliteDialect::upgradeStoredData(Connection& connection)
{
    upgradeStoredPasswords(connection);
    refreshProcedureCatalog(connection);
}

} // namespace zelvo::db
