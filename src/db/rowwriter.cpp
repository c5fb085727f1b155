// Writing one row back by its key: the same statements on every backend, with the table and
// column names as the database stores them.

#include "db/connection.h"
#include "db/dialect.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

namespace zelvo::db {

// A write is one action on the server of its own: it is never sent twice.
void Connection::send(QSqlQuery& q, const QVector<QVariant>& args)
{
    m_access = Access::Write; // for the action around this write, if any
    guarded(Access::Write, [&] {
        for (int i = 0; i < args.size(); ++i)
            q.bindValue(i, args.at(i));
        if (!q.exec()) {
            // the query is finished before the error is thrown
            const QSqlError error = q.lastError();
            q.finish();
            m_dialect->fail(error);
        }
    });
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
    QSqlQuery& q = prepared(dialect().insertStatement(info, names));
    send(q, args);
    const QVariant id = m_dialect->insertedKey(q);
    q.finish();
    return id;
}

int rowsPerInsert(int remaining, int columns)
{
    // a few fixed sizes, so that a run prepares at most five statements however many rows it
    // writes; each stays well below the bound values a statement may hold (SQLite: 32,766)
    for (const int rows : {256, 64, 16, 4})
        if (remaining >= rows && rows * columns <= 30000)
            return rows;
    return 1;
}

void Connection::insertRows(const QString& table, const QStringList& columns,
                            const QVector<QVector<QVariant>>& rows)
{
    const TableInfo& info = tableInfo(table);
    QVector<const TableColumn*> stored;
    QStringList names;
    for (const QString& name : columns) {
        const TableColumn* column = info.column(name);
        if (!column)
            throw DbError(
                QStringLiteral("Tabloda böyle bir sütun yok: %1.%2").arg(info.name, name));
        stored << column;
        names << column->name;
    }
    const QString columnList = names.join(QLatin1String("\",\""));
    if (m_dialect->insertsRowsFromJson()) {
        // each value as the text its column reads (or null), so the server's own input rules
        // convert it exactly as a bound value
        QJsonArray array;
        for (const QVector<QVariant>& row : rows) {
            QJsonObject object;
            for (int c = 0; c < stored.size(); ++c) {
                const QVariant value = toDatabase(row.value(c), stored.at(c));
                object.insert(names.at(c), value.isNull() ? QJsonValue(QJsonValue::Null)
                                                          : QJsonValue(value.toString()));
            }
            array.append(object);
        }
        // the table's row type named with its schema: "xml" alone is also a type of the server's
        const QString rowType =
            query(QStringLiteral("SELECT quote_ident(n.nspname) || '.' || quote_ident(c.relname) "
                                 "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                 "WHERE c.oid = @table::regclass"),
                  {{QStringLiteral("@table"), QStringLiteral("\"%1\"").arg(info.name)}})
                .rows.value(0)
                .value(0)
                .toString();
        QSqlQuery& q = prepared(QStringLiteral("INSERT INTO \"%1\" (\"%2\") SELECT \"%2\" FROM "
                                               "json_populate_recordset(NULL::%3, ?::json)")
                                    .arg(info.name, columnList, rowType));
        send(q, {QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact))});
        q.finish();
        return;
    }
    const QString head =
        QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES ").arg(info.name, columnList);
    const QString tuple = QLatin1Char('(') +
                          QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')) +
                          QLatin1Char(')');
    for (int done = 0; done < rows.size();) {
        const int count = rowsPerInsert(int(rows.size()) - done, int(names.size()));
        QSqlQuery& q = prepared(head + QStringList(count, tuple).join(QLatin1Char(',')));
        QVector<QVariant> args;
        args.reserve(count * stored.size());
        for (int r = done; r < done + count; ++r)
            for (int c = 0; c < stored.size(); ++c)
                args << toDatabase(rows.at(r).value(c), stored.at(c));
        send(q, args);
        q.finish();
        done += count;
    }
}

int Connection::updateRow(const WriteTarget& target, const QVariant& key,
                          const QList<QPair<QString, QVariant>>& values,
                          const QVariant& readVersion)
{
    const TableInfo& info = tableInfo(target.table);
    const TableColumn* versionColumn = info.column(RowVersionColumn);
    QStringList assignments;
    QVector<QVariant> args;
    QStringList seen;
    for (const auto& [name, value] : values) {
        const TableColumn* column = info.column(name);
        // the version is the server's to raise, never the client's to write
        if (!column || column->isKey || column == versionColumn ||
            seen.contains(column->name, Qt::CaseInsensitive))
            continue;
        seen << column->name;
        assignments << QStringLiteral("\"%1\"=?").arg(column->name);
        args << toDatabase(value, column);
    }
    if (assignments.isEmpty())
        return 0;
    const TableColumn* keyColumn = info.column(target.keyColumn);
    const QString keyName = keyColumn ? keyColumn->name : target.keyColumn;
    const bool versioned = versionColumn && !readVersion.isNull();
    args << key;
    const int affected =
        runKeyedWrite(QStringLiteral("UPDATE \"%1\" SET %2 WHERE \"%3\"=?")
                          .arg(info.name, assignments.join(QLatin1Char(',')), keyName),
                      std::move(args), versioned ? versionColumn : nullptr, readVersion);
    if (versioned && affected == 0) {
        if (!rowExists(info, keyName, key))
            throw RowConflict(RowConflict::Kind::Deleted);
        throwChanged(info, key);
    }
    return affected;
}

int Connection::deleteRow(const WriteTarget& target, const QVariant& key,
                          const QVariant& readVersion)
{
    const TableInfo& info = tableInfo(target.table);
    const TableColumn* keyColumn = info.column(target.keyColumn);
    const QString keyName = keyColumn ? keyColumn->name : target.keyColumn;
    const TableColumn* versionColumn =
        readVersion.isNull() ? nullptr : info.column(RowVersionColumn);
    const int affected =
        runKeyedWrite(QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\"=?").arg(info.name, keyName),
                      {key}, versionColumn, readVersion);
    // a row someone else deleted first is gone as wished; one they changed is kept
    if (versionColumn && affected == 0 && rowExists(info, keyName, key))
        throwChanged(info, key);
    return affected;
}

int Connection::runKeyedWrite(QString sql, QVector<QVariant> args, const TableColumn* versionColumn,
                              const QVariant& readVersion)
{
    if (versionColumn) {
        sql += QStringLiteral(" AND \"%1\"=?").arg(versionColumn->name);
        args << readVersion;
    }
    QSqlQuery& q = prepared(sql);
    send(q, args);
    const int affected = m_dialect->changedRows(*this, q);
    q.finish();
    return affected;
}

QVariant Connection::rowVersion(const WriteTarget& target, const QVariant& key)
{
    const TableInfo& info = tableInfo(target.table);
    const TableColumn* versionColumn = info.column(RowVersionColumn);
    const TableColumn* keyColumn = info.column(target.keyColumn);
    if (!versionColumn || !keyColumn)
        return {};
    return query(QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"%3\"=@key")
                     .arg(versionColumn->name, info.name, keyColumn->name),
                 {{QStringLiteral("@key"), key}})
        .rows.value(0)
        .value(0);
}

bool Connection::rowExists(const TableInfo& table, const QString& keyColumn, const QVariant& key)
{
    return !query(
                QStringLiteral("SELECT 1 FROM \"%1\" WHERE \"%2\"=@key").arg(table.name, keyColumn),
                {{QStringLiteral("@key"), key}})
                .rows.isEmpty();
}

// The newest recorded change of the row names who changed it and when; a row whose changes
// are not recorded (a timesheet row) or that the user may not read is refused all the same.
void Connection::throwChanged(const TableInfo& table, const QVariant& key)
{
    const ResultRows last =
        callProcedure(QStringLiteral("SonDegisiklik"), {{QStringLiteral("@key1"), table.name},
                                                        {QStringLiteral("@key2"), key.toString()}});
    const QVector<QVariant> newest = last.rows.value(0);
    throw RowConflict(RowConflict::Kind::Changed, newest.value(0).toString(),
                      newest.value(1).toString());
}

// The outermost level is the transaction itself; every level inside it is a savepoint named
// by its depth, so that an inner rollback undoes exactly the inner work.
void Connection::beginTransaction()
{
    // nothing is written yet: a BEGIN on a lost session is simply sent again on the new one
    guarded(Access::Read, [this] {
        if (m_transactionDepth == 0) {
            QSqlDatabase db = database();
            if (!db.transaction())
                dialect().fail(db.lastError());
        } else {
            exec(QStringLiteral("SAVEPOINT zelvo_%1").arg(m_transactionDepth));
        }
    });
    ++m_transactionDepth;
}

void Connection::commit()
{
    if (m_transactionDepth == 0)
        return;
    try {
        guarded(Access::Write, [this] {
            if (m_transactionDepth > 1) {
                const int savepoint = m_transactionDepth - 1;
                exec(QStringLiteral("RELEASE SAVEPOINT zelvo_%1").arg(savepoint));
                --m_transactionDepth;
                return;
            }
            m_transactionDepth = 0;
            QSqlDatabase db = database();
            if (!db.commit()) {
                const QSqlError error = db.lastError();
                db.rollback();
                dialect().fail(error);
            }
        });
    } catch (const ConnectionLost&) {
        // every level ended with the session: no Transaction rolls back on the new one
        if (m_cutTransaction) {
            m_transactionDepth = 0;
            m_cutTransaction = false;
        }
        throw;
    }
}

// Never throws: it runs in Transaction's destructor, also on a session that is gone.
void Connection::rollback()
{
    if (m_transactionDepth == 0)
        return;
    if (m_cutTransaction) {
        // the server ended the whole transaction with the session; the new session has none
        m_transactionDepth = 0;
        m_cutTransaction = false;
        return;
    }
    if (m_transactionDepth > 1) {
        const int savepoint = m_transactionDepth - 1;
        try {
            // the savepoint stays after ROLLBACK TO; release it so the names stay in step
            exec(QStringLiteral("ROLLBACK TO SAVEPOINT zelvo_%1").arg(savepoint));
            exec(QStringLiteral("RELEASE SAVEPOINT zelvo_%1").arg(savepoint));
            --m_transactionDepth;
            return;
        } catch (const DbError&) {
            // the inner work cannot be undone alone: undo all of it, and every outer level's
            // commit then fails instead of pretending to store anything
        }
    }
    m_transactionDepth = 0;
    QSqlDatabase db = database();
    if (!db.rollback() && m_server && (m_dialect->connectionLost(db.lastError()) || !db.isOpen()))
        m_lost = true;
}

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    m_connection.beginTransaction();
    m_depth = m_connection.transactionDepth();
}

Transaction::~Transaction()
{
    // a level already unwound (the whole transaction was rolled back) is not rolled back again
    if (!m_done && m_connection.transactionDepth() == m_depth)
        m_connection.rollback();
}

void Transaction::commit()
{
    m_done = true;
    if (m_connection.transactionDepth() != m_depth)
        throw DbError(QStringLiteral("İşlem daha önce geri alındı; değişiklikler kaydedilmedi"));
    m_connection.commit();
}

} // namespace zelvo::db
