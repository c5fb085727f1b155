#pragma once

#include "dberror.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class QSqlQuery;

namespace db {

// One argument of a procedure call or a statement, by name ("@key1", "@idogrenci").
struct Param {
    QString name;
    QVariant value;
};
using Params = QList<Param>;

// Where the rows of a result are written back: one row of `table`, found by `keyColumn`.
struct WriteTarget {
    QString table;
    QString keyColumn;
    bool isValid() const { return !table.isEmpty() && !keyColumn.isEmpty(); }
};

// A column of a stored table as the database declares it.
struct TableColumn {
    QString name;
    QString declaredType;
    int width = 0;       // characters for text columns, 0 when unbounded or not text
    bool isDate = false; // DATE / DATETIME columns, exchanged as ISO "YYYY-MM-DD" text
    bool isKey = false;
};

struct TableInfo {
    QString name;
    QVector<TableColumn> columns;
    const TableColumn* column(const QString& name) const;
};

// The rows of one result, read to the end.
struct ResultRows {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
    WriteTarget target;
};

// Owns the one database connection. Everything the windows do with the database goes through
// here: stored procedures from the server's catalog, statements with bound values, writing one
// row back by its key, and transactions. Statements are prepared once and reused.
class Connection {
public:
    enum class OpenMode { CreateIfMissing, MustExist };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens (and on first use creates and seeds) an embedded database file; passwords an older
    // version stored as typed are hashed before it returns. Throws DbError with a clear text
    // when the file is no database, not ours, read-only or locked.
    void openSqlite(const QString& path, OpenMode mode = OpenMode::CreateIfMissing);
    // A private in-memory database built from the bundled scripts (tests, benchmarks).
    void openInMemory();
    void close();
    bool isOpen() const;
    QString backendName() const { return QStringLiteral("sqlite"); }
    QString filePath() const { return m_path; }
    QSqlDatabase database() const;

    // Runs an SQL script (statements separated by ';'): PRAGMA statements first, outside any
    // transaction, everything else in one transaction.
    void applyScript(const QString& scriptText);

    // Calls a stored procedure of the catalog. The values are bound by position to the
    // procedure's formal parameters; the names are kept for the messages.
    ResultRows callProcedure(const QString& name, const Params& params);
    // Runs a direct statement; "@name" in the text is bound from `params` by name.
    ResultRows query(const QString& sql, const Params& params = {});
    int execute(const QString& sql, const Params& params = {});

    // Writing one row back. Texts are cut to the column's width; dates go as ISO text.
    QVariant insertRow(const QString& table, const QList<QPair<QString, QVariant>>& values);
    void updateRow(const WriteTarget& target, const QVariant& key,
                   const QList<QPair<QString, QVariant>>& values);
    int deleteRow(const WriteTarget& target, const QVariant& key);

    const TableInfo& tableInfo(const QString& table);
    bool isDateColumn(const QString& column);

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_transactionDepth > 0; }

private:
    struct Statement;
    struct Compiled;
    const Compiled& compileProcedure(const QString& name);
    const Compiled& compileStatement(const QString& sql, const QStringList& formals);
    ResultRows run(const Compiled& compiled, const QVector<QVariant>& args);
    void openFile(const QString& path, bool create);
    void initialiseSession();
    void install();
    QVariant toDatabase(const QVariant& value, const TableColumn* column) const;
    QVariant fromDatabase(const QString& column, const QVariant& value);

    QString m_name;
    QString m_path;
    int m_transactionDepth = 0;
    QHash<QString, std::shared_ptr<Compiled>> m_procedures;
    QHash<QString, std::shared_ptr<Compiled>> m_statements;
    QHash<QString, std::shared_ptr<TableInfo>> m_tables;
    QHash<QString, bool> m_dateColumns;
    bool m_dateColumnsLoaded = false;
};

// Rolls back unless committed: `Transaction tx(conn); ...; tx.commit();`
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_connection;
    bool m_done = false;
};

// Splits SQL text into complete statements (trigger bodies stay whole).
QStringList splitStatements(const QString& sql);

} // namespace db
