#include "db/connection.h"

#include <utility>

#include "db/compiledstatement.h"
#include "db/dialect.h"
#include "db/postgresdialect.h"
#include "db/sqlitedialect.h"

#include <QDate>
#include <QDateTime>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace zelvo::db {

namespace {

int g_connectionSerial = 0;

} // namespace

QString errorText(const QSqlError& error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

QString Dialect::describe(const QSqlError& error) const
{
    return errorText(error);
}

void Dialect::fail(const QSqlError& error) const
{
    if (connectionLost(error))
        throw ConnectionLost(describe(error));
    throw DbError(describe(error));
}

const TableColumn* TableInfo::column(const QString& name) const
{
    for (const TableColumn& c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

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
    return m_dialect && QSqlDatabase::contains(m_name) && database().isOpen();
}

QString Connection::backendName() const
{
    return m_dialect ? m_dialect->name() : QString();
}

Dialect& Connection::dialect() const
{
    if (!m_dialect)
        throw DbError(QStringLiteral("Veritabanı bağlantısı açık değil"));
    return *m_dialect;
}

void Connection::forgetSchema()
{
    m_procedures.clear();
    m_statements.clear();
    m_tables.clear();
    m_dateColumns.clear();
    m_dateColumnsLoaded = false;
}

void Connection::close()
{
    forgetSchema();
    m_server.reset();
    m_lost = false;
    m_cutTransaction = false;
    m_transactionDepth = 0;
    m_dialect.reset();
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
    close();
    m_path = SqliteDialect::checkedPath(path, mode);
    m_dialect = std::make_unique<SqliteDialect>(m_path);
    try {
        SqliteDialect::open(*this, m_path);
        finishOpening(SchemaCheck::Required);
    } catch (const DbError& error) {
        close();
        throw SqliteDialect::openingError(m_path, error);
    }
}

void Connection::openInMemory()
{
    openSqlite(QString(), OpenMode::CreateIfMissing);
}

void Connection::openPostgres(const ServerAddress& address, SchemaCheck check)
{
    close();
    m_path.clear();
    m_dialect = std::make_unique<PostgresDialect>();
    try {
        PostgresDialect::open(*this, address);
        finishOpening(check);
    } catch (const DbError&) {
        close();
        throw;
    }
    m_server = address;
}

void Connection::setServerPassword(const QString& password)
{
    if (m_server)
        m_server->password = password;
}

bool Connection::beginGuarded(Access access)
{
    if (m_guarding || !m_server)
        return false;
    if (m_cutTransaction && inTransaction())
        throw ConnectionLost::cutWork(m_cutText);
    if (m_lost || !database().isOpen()) {
        // a transaction is never carried over to a new session
        const bool cut = inTransaction();
        if (cut) {
            m_cutTransaction = true;
            m_cutText.clear();
        }
        reopen();
        if (cut)
            throw ConnectionLost::cutWork(m_cutText);
    }
    m_access = access;
    m_guarding = true;
    return true;
}

void Connection::recover(const DbError& error)
{
    if (!dynamic_cast<const ConnectionLost*>(&error) && database().isOpen())
        throw;
    m_lost = true;
    // the server rolled back what the session had not committed: a transaction still open here
    // can do nothing more, and its owner's rollback only forgets it
    const bool cut = inTransaction() || m_access == Access::Write;
    if (inTransaction()) {
        m_cutTransaction = true;
        m_cutText = error.text();
    }
    reopen();
    if (cut)
        throw ConnectionLost::cutWork(error.text());
}

// The same address, options and certificates as the first opening, and the same session
// settings. The user the server's audit trail records is the session's role, which the address
// names. What was learnt about tables stays; the statements prepared on the old session go.
void Connection::reopen()
{
    m_lost = true;
    // the driver goes first: the statements prepared on the old session then go without asking
    // it to free them
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = database();
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_procedures.clear();
    m_statements.clear();
    QString failure = PostgresDialect::connect(*this, *m_server);
    if (failure.isEmpty()) {
        try {
            m_dialect->initialiseSession(*this);
        } catch (const DbError& error) {
            failure = error.text();
        }
    }
    if (!failure.isEmpty())
        throw ConnectionLost::unreachable(failure);
    m_lost = false;
}

void Connection::finishOpening(SchemaCheck check)
{
    m_dialect->initialiseSession(*this);
    if (check == SchemaCheck::Skipped)
        return;
    int version = m_dialect->schemaVersion(*this);
    if (version > SchemaVersion)
        throw DbError(QStringLiteral("Veritabanının şeması bu programdan yeni (sürüm %1; bu "
                                     "program sürüm %2 ile çalışır). Programın yeni sürümünü "
                                     "kurun.")
                          .arg(version)
                          .arg(SchemaVersion));
    // the scripts' migrations and the stored data's upgrade stand or fall together: a file
    // whose upgrade fails is left exactly as it was found
    Transaction upgrade(*this);
    m_dialect->upgradeSchema(*this);
    version = m_dialect->schemaVersion(*this);
    if (version < SchemaVersion)
        throw DbError(QStringLiteral("Veritabanının şeması eski (sürüm %1; bu program sürüm %2 "
                                     "ile çalışır). Yükseltmek için: zelvo --install-schema")
                          .arg(version)
                          .arg(SchemaVersion));
    // before anyone can log in: no password of an older database stays readable
    m_dialect->upgradeStoredData(*this);
    upgrade.commit();
}

void Connection::applyScript(const QString& scriptText)
{
    guarded(Access::Write, [&] { dialect().applyScript(*this, scriptText); });
    forgetSchema();
}

void Connection::lockStep(const QString& step, const QString& key)
{
    if (!inTransaction())
        throw DbError(QStringLiteral("%1 bir işlem (transaction) içinde başlatılmalı").arg(step));
    guarded(Access::Write, [&] { dialect().lockStep(*this, step, key, m_stepWaitMs); });
}

std::function<void(const QString& step)>
Connection::setStepWaitNotice(std::function<void(const QString& step)> notice)
{
    return std::exchange(m_stepWaitNotice, std::move(notice));
}

void Connection::noticeStepWait(const QString& step) const
{
    if (m_stepWaitNotice)
        m_stepWaitNotice(step);
}

ResultRows Connection::run(const Compiled& compiled, const QVector<QVariant>& args)
{
    ResultRows result;
    result.target = compiled.target;
    m_changedRows = 0;
    if (!compiled.readOnly)
        m_access = Access::Write;
    for (const Statement& statement : compiled.statements) {
        QSqlQuery& q = *statement.query;
        for (int i = 0; i < statement.argIndex.size(); ++i)
            q.bindValue(i, toDatabase(args.value(statement.argIndex.at(i)), nullptr));
        if (!q.exec()) {
            const QSqlError error = q.lastError();
            q.finish();
            m_dialect->fail(error);
        }
        if (compiled.returnsCount) {
            m_changedRows = q.next() ? q.value(0).toInt() : 0;
        } else if (q.isSelect()) {
            const QSqlRecord record = q.record();
            const int count = record.count();
            result.columns.clear();
            result.rows.clear();
            for (int c = 0; c < count; ++c)
                result.columns << record.fieldName(c);
            QVector<bool> dates(count);
            for (int c = 0; c < count; ++c)
                dates[c] = isDateColumn(result.columns.at(c)) ||
                           record.field(c).metaType().id() == QMetaType::QDate;
            while (q.next()) {
                QVector<QVariant> row(count);
                for (int c = 0; c < count; ++c)
                    row[c] = dates[c] ? fromDatabase(q.value(c)) : q.value(c);
                result.rows.push_back(std::move(row));
            }
            if (q.lastError().isValid()) {
                const QSqlError error = q.lastError();
                q.finish();
                m_dialect->fail(error);
            }
        } else {
            m_changedRows = m_dialect->changedRows(*this, q);
        }
        q.finish();
    }
    return result;
}

ResultRows Connection::callProcedure(const QString& name, const Params& params)
{
    return guarded(Access::Read, [&] { return callProcedureOnce(name, params); });
}

ResultRows Connection::callProcedureOnce(const QString& name, const Params& params)
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
    return guarded(Access::Read, [&] { return run(compileStatement(sql, formals), args); });
}

int Connection::execute(const QString& sql, const Params& params)
{
    return guarded(Access::Write, [&] {
        query(sql, params);
        return m_changedRows;
    });
}

void Connection::exec(const QString& sql)
{
    QSqlQuery q(database());
    if (!q.exec(sql))
        dialect().fail(q.lastError());
}

const TableInfo& Connection::tableInfo(const QString& table)
{
    const QString key = table.toLower();
    if (auto it = m_tables.constFind(key); it != m_tables.constEnd())
        return **it;
    auto info = std::make_shared<TableInfo>(dialect().tableInfo(*this, table));
    if (info->columns.isEmpty())
        throw DbError(QStringLiteral("Tablo bulunamadı: %1").arg(table));
    return **m_tables.insert(key, info);
}

bool Connection::isDateColumn(const QString& column)
{
    if (!m_dateColumnsLoaded) {
        m_dateColumnsLoaded = true;
        m_dateColumns.clear();
        for (const QString& name : dialect().dateColumns(*this))
            m_dateColumns.insert(name.toLower(), true);
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

QVariant Connection::fromDatabase(const QVariant& value) const
{
    if (value.isNull())
        return QVariant(QMetaType(QMetaType::QDate));
    if (value.typeId() == QMetaType::QDate)
        return value;
    const QString text = value.toString();
    // ISO parsing is a fraction of the cost of a format string, and dates are read per row
    const QDate date = QDate::fromString(QStringView(text).left(10), Qt::ISODate);
    return date.isValid() ? QVariant(date) : value;
}

} // namespace zelvo::db
