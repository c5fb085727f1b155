#include "connection.h"

#include "passwordupgrade.h"
#include "sqlfunctions.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

// The bundled server scripts live in this static library; make sure they are registered.
static void initServerScripts()
{
    Q_INIT_RESOURCE(serverscripts);
}

namespace db {

namespace {

int g_connectionSerial = 0;

QString errorText(const QSqlError& error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

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

const QStringList& bundledScripts()
{
    static const QStringList scripts = {
        QStringLiteral(":/server/sqlite/01-schema.sql"),
        QStringLiteral(":/server/sqlite/02-procedures.sql"),
        QStringLiteral(":/server/sqlite/03-seed.sql"),
    };
    return scripts;
}

} // namespace

const TableColumn* TableInfo::column(const QString& name) const
{
    for (const TableColumn& c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

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

// A statement as the database runs it: "@name" replaced by "?", with the argument each
// placeholder takes.
struct Connection::Statement {
    QString sql;
    QVector<int> argIndex;
    std::unique_ptr<QSqlQuery> query;
};

struct Connection::Compiled {
    QString name;
    QStringList formals;
    WriteTarget target;
    std::vector<Statement> statements;
};

Connection::Connection() : m_name(QStringLiteral("zelvo-%1").arg(++g_connectionSerial)) {}

Connection::~Connection()
{
    close();
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

void Connection::close()
{
    m_procedures.clear();
    m_statements.clear();
    m_tables.clear();
    m_dateColumns.clear();
    m_dateColumnsLoaded = false;
    m_transactionDepth = 0;
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = database();
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
}

void Connection::openSqlite(const QString& path, OpenMode mode)
{
    const QFileInfo info(path);
    if (!info.exists() && mode == OpenMode::MustExist)
        throw DbError(QStringLiteral("Veritabanı dosyası bulunamadı: %1").arg(path));
    if (info.exists() && !info.isWritable())
        throw DbError(
            QStringLiteral("Veritabanı dosyası salt okunur, değişiklikler kaydedilemez: %1")
                .arg(path));
    m_path = info.absoluteFilePath();
    openFile(m_path, !info.exists());
}

void Connection::openInMemory()
{
    m_path.clear();
    openFile(QStringLiteral(":memory:"), true);
}

void Connection::openFile(const QString& path, bool create)
{
    close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        if (!db.isValid())
            throw DbError(QStringLiteral("SQLite veritabanı sürücüsü yüklenemedi (QSQLITE)"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            const QString text = errorText(db.lastError());
            close();
            throw DbError(QStringLiteral("Veritabanı açılamadı: %1 (%2)").arg(path, text));
        }
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            registerSqlFunctions(*static_cast<sqlite3* const*>(handle.constData()));
    }
    try {
        initialiseSession();
        const ResultRows tables = query(QStringLiteral("SELECT count(*) FROM sqlite_master"), {});
        const bool empty = tables.rows.value(0).value(0).toInt() == 0;
        if (empty) {
            if (!create && path != QLatin1String(":memory:") && QFileInfo(path).size() > 0)
                throw DbError(QStringLiteral("Veritabanı boş: %1").arg(path));
            install();
        } else if (query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' "
                                        "AND name IN ('zelvo_info','zelvo_procedure')"))
                       .rows.value(0)
                       .value(0)
                       .toInt() != 2) {
            throw DbError(QStringLiteral("Bu dosya bir Zelvo veritabanı değil: %1").arg(path));
        }
        if (path != QLatin1String(":memory:")) {
            execute(QStringLiteral("PRAGMA journal_mode=WAL"));
            // A program holding the write lock makes this wait for the busy time-out and then
            // fail, so a locked file is found at start rather than in the middle of a run.
            execute(QStringLiteral("BEGIN IMMEDIATE"));
            execute(QStringLiteral("ROLLBACK"));
        }
        // before anyone can log in: no password of an older database stays readable
        upgradeStoredPasswords(*this);
    } catch (const DbError& error) {
        close();
        const QString text = error.text();
        if (text.contains(QLatin1String("not a database")))
            throw DbError(QStringLiteral("Bu dosya bir veritabanı değil: %1 (%2)").arg(path, text));
        if (text.contains(QLatin1String("locked")) || text.contains(QLatin1String("busy")))
            throw DbError(
                QStringLiteral("Veritabanı başka bir program tarafından kilitlenmiş: %1 (%2)")
                    .arg(path, text));
        throw;
    }
}

void Connection::initialiseSession()
{
    execute(QStringLiteral("PRAGMA foreign_keys=ON"));
}

void Connection::install()
{
    initServerScripts();
    QString script;
    for (const QString& name : bundledScripts()) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            throw DbError(QStringLiteral("Kurulum betiği okunamadı: %1").arg(name));
        script += QString::fromUtf8(file.readAll()) + QLatin1Char('\n');
    }
    applyScript(script);
}

void Connection::applyScript(const QString& scriptText)
{
    QStringList pragmas;
    QStringList rest;
    for (const QString& statement : splitStatements(scriptText)) {
        if (statement.startsWith(QLatin1String("PRAGMA"), Qt::CaseInsensitive))
            pragmas << statement;
        else
            rest << statement;
    }
    for (const QString& statement : pragmas) {
        // journal_mode has no meaning for an in-memory database
        if (m_path.isEmpty() &&
            statement.contains(QLatin1String("journal_mode"), Qt::CaseInsensitive))
            continue;
        execute(statement);
    }
    Transaction tx(*this);
    QSqlQuery q(database());
    for (const QString& statement : rest) {
        if (!q.exec(statement))
            throw DbError(errorText(q.lastError()));
    }
    q.finish();
    tx.commit();
    m_tables.clear();
    m_dateColumnsLoaded = false;
}

const Connection::Compiled& Connection::compileProcedure(const QString& name)
{
    const QString key = name.toLower();
    if (auto it = m_procedures.constFind(key); it != m_procedures.constEnd())
        return **it;

    QSqlQuery q(database());
    q.prepare(QStringLiteral(
        "SELECT params, target, target_key, body FROM zelvo_procedure WHERE name = ?"));
    q.addBindValue(name);
    if (!q.exec())
        throw DbError(errorText(q.lastError()));
    if (!q.next())
        throw DbError(QStringLiteral("Saklı yordam bulunamadı: '%1'").arg(name));
    auto compiled = std::make_shared<Compiled>();
    compiled->name = name;
    for (const QString& formal : q.value(0).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        compiled->formals << formal.trimmed();
    compiled->target = {q.value(1).toString(), q.value(2).toString()};
    const QString body = q.value(3).toString();
    q.finish();

    for (const QString& sql : splitStatements(body)) {
        Statement statement;
        QChar quote;
        for (qsizetype i = 0; i < sql.size(); ++i) {
            const QChar c = sql.at(i);
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                statement.sql += c;
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                quote = c;
                statement.sql += c;
            } else if (c == QLatin1Char('@')) {
                qsizetype end = i + 1;
                while (end < sql.size() && isIdentifierChar(sql.at(end)))
                    ++end;
                const QString parameter = sql.mid(i, end - i);
                qsizetype index = -1;
                for (qsizetype f = 0; f < compiled->formals.size(); ++f)
                    if (compiled->formals.at(f).compare(parameter, Qt::CaseInsensitive) == 0)
                        index = f;
                if (index < 0)
                    throw DbError(QStringLiteral("Saklı yordam '%1' tanımsız bir parametre "
                                                 "kullanıyor: %2")
                                      .arg(name, parameter));
                // a parameter used several times is bound once: SQLite numbers named
                // parameters by first use (Qt counts every '?', so ?N repeated would not do)
                qsizetype slot = statement.argIndex.indexOf(int(index));
                if (slot < 0) {
                    slot = statement.argIndex.size();
                    statement.argIndex << int(index);
                }
                statement.sql += QStringLiteral("@p") + QString::number(slot + 1);
                i = end - 1;
            } else {
                statement.sql += c;
            }
        }
        statement.query = std::make_unique<QSqlQuery>(database());
        // rows are read once, front to back; a scrollable query allocates a row cache per exec
        statement.query->setForwardOnly(true);
        if (!statement.query->prepare(statement.sql))
            throw DbError(
                QStringLiteral("%1 (%2)").arg(errorText(statement.query->lastError()), name));
        compiled->statements.push_back(std::move(statement));
    }
    return **m_procedures.insert(key, compiled);
}

const Connection::Compiled& Connection::compileStatement(const QString& sql,
                                                         const QStringList& formals)
{
    const QString key = formals.join(QLatin1Char(',')) + QLatin1Char('\n') + sql;
    if (auto it = m_statements.constFind(key); it != m_statements.constEnd())
        return **it;
    auto compiled = std::make_shared<Compiled>();
    compiled->formals = formals;
    Statement statement;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('@') || c == QLatin1Char(':')) {
            qsizetype end = i + 1;
            while (end < sql.size() && isIdentifierChar(sql.at(end)))
                ++end;
            const QString parameter = QLatin1Char('@') + sql.mid(i + 1, end - i - 1);
            const qsizetype index = formals.indexOf(parameter, 0);
            qsizetype found = index;
            if (found < 0)
                for (qsizetype f = 0; f < formals.size(); ++f)
                    if (formals.at(f).compare(parameter, Qt::CaseInsensitive) == 0)
                        found = f;
            if (end > i + 1 && found >= 0) {
                statement.argIndex << int(found);
                statement.sql += QLatin1Char('?');
                i = end - 1;
                continue;
            }
            if (c == QLatin1Char('@') && end > i + 1)
                throw DbError(QStringLiteral("Tanımsız parametre: %1").arg(parameter));
        }
        statement.sql += c;
    }
    statement.query = std::make_unique<QSqlQuery>(database());
    statement.query->setForwardOnly(true);
    if (!statement.query->prepare(statement.sql))
        throw DbError(errorText(statement.query->lastError()));
    compiled->statements.push_back(std::move(statement));
    return **m_statements.insert(key, compiled);
}

ResultRows Connection::run(const Compiled& compiled, const QVector<QVariant>& args)
{
    ResultRows result;
    result.target = compiled.target;
    for (const Statement& statement : compiled.statements) {
        QSqlQuery& q = *statement.query;
        for (int i = 0; i < statement.argIndex.size(); ++i)
            q.bindValue(i, toDatabase(args.value(statement.argIndex.at(i)), nullptr));
        if (!q.exec()) {
            const QString text = errorText(q.lastError());
            q.finish();
            throw DbError(text);
        }
        if (q.isSelect()) {
            const QSqlRecord record = q.record();
            const int count = record.count();
            result.columns.clear();
            result.rows.clear();
            for (int c = 0; c < count; ++c)
                result.columns << record.fieldName(c);
            QVector<bool> dates(count);
            for (int c = 0; c < count; ++c)
                dates[c] = isDateColumn(result.columns.at(c));
            while (q.next()) {
                QVector<QVariant> row(count);
                for (int c = 0; c < count; ++c)
                    row[c] = dates[c] ? fromDatabase(result.columns.at(c), q.value(c)) : q.value(c);
                result.rows.push_back(std::move(row));
            }
            if (q.lastError().isValid()) {
                const QString text = errorText(q.lastError());
                q.finish();
                throw DbError(text);
            }
        }
        q.finish();
    }
    return result;
}

ResultRows Connection::callProcedure(const QString& name, const Params& params)
{
    if (!isOpen())
        throw DbError(QStringLiteral("Veritabanı bağlantısı açık değil"));
    const Compiled& compiled = compileProcedure(name);
    if (params.size() > compiled.formals.size())
        throw DbError(QStringLiteral("Saklı yordam '%1' için çok fazla parametre verildi (%2, "
                                     "beklenen %3)")
                          .arg(name)
                          .arg(params.size())
                          .arg(compiled.formals.size()));
    if (params.size() < compiled.formals.size())
        throw DbError(QStringLiteral("Saklı yordam '%1' şu parametreyi bekliyor: %2")
                          .arg(name, compiled.formals.at(params.size())));
    QVector<QVariant> args;
    args.reserve(params.size());
    for (const Param& p : params)
        args << p.value;
    return run(compiled, args);
}

ResultRows Connection::query(const QString& sql, const Params& params)
{
    QStringList formals;
    QVector<QVariant> args;
    for (const Param& p : params) {
        formals << (p.name.startsWith(QLatin1Char('@')) || p.name.startsWith(QLatin1Char(':'))
                        ? QLatin1Char('@') + p.name.mid(1)
                        : QLatin1Char('@') + p.name);
        args << p.value;
    }
    return run(compileStatement(sql, formals), args);
}

int Connection::execute(const QString& sql, const Params& params)
{
    query(sql, params);
    QSqlQuery q(database());
    if (q.exec(QStringLiteral("SELECT changes()")) && q.next())
        return q.value(0).toInt();
    return 0;
}

const TableInfo& Connection::tableInfo(const QString& table)
{
    const QString key = table.toLower();
    if (auto it = m_tables.constFind(key); it != m_tables.constEnd())
        return **it;
    auto info = std::make_shared<TableInfo>();
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
        throw DbError(errorText(q.lastError()));
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
        info->columns << column;
    }
    if (info->columns.isEmpty())
        throw DbError(QStringLiteral("Tablo bulunamadı: %1").arg(table));
    info->name = table;
    return **m_tables.insert(key, info);
}

bool Connection::isDateColumn(const QString& column)
{
    if (!m_dateColumnsLoaded) {
        m_dateColumnsLoaded = true;
        m_dateColumns.clear();
        QStringList tables;
        QSqlQuery q(database());
        if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'")))
            while (q.next())
                tables << q.value(0).toString();
        q.finish();
        for (const QString& table : tables)
            for (const TableColumn& c : tableInfo(table).columns)
                if (c.isDate)
                    m_dateColumns.insert(c.name.toLower(), true);
    }
    return m_dateColumns.contains(column.toLower());
}

QVariant Connection::toDatabase(const QVariant& value, const TableColumn* column) const
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().isValid()
                   ? QVariant(value.toDate().toString(QStringLiteral("yyyy-MM-dd")))
                   : QVariant(QMetaType(QMetaType::QString));
    case QMetaType::QDateTime:
        return value.toDateTime().isValid()
                   ? QVariant(value.toDateTime().date().toString(QStringLiteral("yyyy-MM-dd")))
                   : QVariant(QMetaType(QMetaType::QString));
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::QString:
        if (column && column->isDate && value.toString().trimmed().isEmpty())
            return QVariant(QMetaType(QMetaType::QString));
        if (column && column->width > 0 && !value.isNull())
            return value.toString().left(column->width);
        return value;
    default:
        return value;
    }
}

QVariant Connection::fromDatabase(const QString&, const QVariant& value)
{
    if (value.isNull())
        return QVariant(QMetaType(QMetaType::QDate));
    const QString text = value.toString();
    // ISO parsing is a fraction of the cost of a format string, and dates are read per row
    const QDate date = QDate::fromString(QStringView(text).left(10), Qt::ISODate);
    return date.isValid() ? QVariant(date) : value;
}

QVariant Connection::insertRow(const QString& table, const QList<QPair<QString, QVariant>>& values)
{
    const TableInfo& info = tableInfo(table);
    QStringList names;
    QVector<QVariant> args;
    for (const auto& [name, value] : values) {
        const TableColumn* column = info.column(name);
        // a generated key is left to the database; a key the caller gives (a unit code) is kept
        if (!column || (column->isKey && value.isNull()) ||
            names.contains(column->name, Qt::CaseInsensitive))
            continue;
        names << column->name;
        args << toDatabase(value, column);
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(info.name)
            : QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES (%3)")
                  .arg(info.name, names.join(QLatin1String("\",\"")),
                       QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    const Compiled& compiled = compileStatement(sql, {});
    QSqlQuery& q = *compiled.statements.front().query;
    for (int i = 0; i < args.size(); ++i)
        q.bindValue(i, args.at(i));
    if (!q.exec()) {
        const QString text = errorText(q.lastError());
        q.finish();
        throw DbError(text);
    }
    const QVariant id = q.lastInsertId();
    q.finish();
    return id;
}

void Connection::updateRow(const WriteTarget& target, const QVariant& key,
                           const QList<QPair<QString, QVariant>>& values)
{
    const TableInfo& info = tableInfo(target.table);
    QStringList assignments;
    QVector<QVariant> args;
    QStringList seen;
    for (const auto& [name, value] : values) {
        const TableColumn* column = info.column(name);
        if (!column || column->isKey || seen.contains(column->name, Qt::CaseInsensitive))
            continue;
        seen << column->name;
        assignments << QStringLiteral("\"%1\"=?").arg(column->name);
        args << toDatabase(value, column);
    }
    if (assignments.isEmpty())
        return;
    const QString sql = QStringLiteral("UPDATE \"%1\" SET %2 WHERE \"%3\"=?")
                            .arg(info.name, assignments.join(QLatin1Char(',')), target.keyColumn);
    const Compiled& compiled = compileStatement(sql, {});
    QSqlQuery& q = *compiled.statements.front().query;
    args << key;
    for (int i = 0; i < args.size(); ++i)
        q.bindValue(i, args.at(i));
    if (!q.exec()) {
        const QString text = errorText(q.lastError());
        q.finish();
        throw DbError(text);
    }
    q.finish();
}

int Connection::deleteRow(const WriteTarget& target, const QVariant& key)
{
    const QString sql =
        QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\"=?").arg(target.table, target.keyColumn);
    const Compiled& compiled = compileStatement(sql, {});
    QSqlQuery& q = *compiled.statements.front().query;
    q.bindValue(0, key);
    if (!q.exec()) {
        const QString text = errorText(q.lastError());
        q.finish();
        throw DbError(text);
    }
    const int affected = q.numRowsAffected();
    q.finish();
    return affected;
}

void Connection::beginTransaction()
{
    if (m_transactionDepth++ > 0)
        return;
    QSqlDatabase db = database();
    if (!db.transaction()) {
        m_transactionDepth = 0;
        throw DbError(errorText(db.lastError()));
    }
}

void Connection::commit()
{
    if (m_transactionDepth == 0)
        return;
    if (--m_transactionDepth > 0)
        return;
    QSqlDatabase db = database();
    if (!db.commit()) {
        const QString text = errorText(db.lastError());
        db.rollback();
        throw DbError(text);
    }
}

void Connection::rollback()
{
    if (m_transactionDepth == 0)
        return;
    m_transactionDepth = 0;
    QSqlDatabase db = database();
    db.rollback();
}

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (!m_done)
        m_connection.rollback();
}

void Transaction::commit()
{
    m_done = true;
    m_connection.commit();
}

} // namespace db
