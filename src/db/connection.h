#pragma once

#include "db/dberror.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

class QSqlQuery;

namespace zelvo::db {

class Dialect;

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

// The column of a stored row's version, which the server raises by one at every update.
inline const QString RowVersionColumn = QStringLiteral("surum");

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

// Where a server database is reached. Port 0 and empty texts leave the choice to libpq (its
// environment, service file and password file, ~/.pgpass or PGPASSFILE).
struct ServerAddress {
    QString host; // a name, an address or the folder of a Unix socket
    int port = 0;
    QString name;
    QString user;
    QString password;
    QString sslmode;
    QString sslrootcert; // the authorities' certificates verify-ca and verify-full trust
    int connectTimeoutSeconds = 5;
};

// The version of the database schema this program reads and writes.
constexpr int SchemaVersion = 4;

// The rows of one result, read to the end.
struct ResultRows {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
    WriteTarget target;
};

// Owns the one database connection. Everything the windows do with the database goes through
// here: stored procedures from the server's catalog, statements with bound values, writing one
// row back by its key, and transactions. Statements are prepared once and reused. What differs
// between the embedded database and a PostgreSQL server is the Dialect's.
//
// A server's session can end under the program (the server restarts, an administrator ends it).
// The next action opens it again with what the first opening was given; an action that only
// read runs once more on the new session, one that wrote or ran inside a transaction is not
// repeated (the server rolled it back) and throws ConnectionLost saying so. While the server
// cannot be reached every action throws ConnectionLost at once with libpq's reason.
class Connection {
public:
    enum class OpenMode { CreateIfMissing, MustExist };
    enum class SchemaCheck { Required, Skipped };

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
    // Opens a database on a PostgreSQL server. Throws DbError with a text of its own for a
    // server that cannot be reached, a refused login, a missing database, and (unless skipped,
    // as the installation does) a missing schema or one of another version.
    void openPostgres(const ServerAddress& address, SchemaCheck check = SchemaCheck::Required);
    void close();
    bool isOpen() const;
    // How the server session was opened (its user and password among it); none on the embedded
    // database.
    const std::optional<ServerAddress>& serverAddress() const { return m_server; }
    // After the user's password changed on the server: a session opened again signs in with it.
    void setServerPassword(const QString& password);
    // "sqlite" or "postgresql"; empty when closed.
    QString backendName() const;
    QString filePath() const { return m_path; }
    QSqlDatabase database() const;
    QString connectionName() const { return m_name; }
    Dialect& dialect() const;

    // Runs an SQL script. On the embedded database its statements are separated by ';' and
    // PRAGMA statements run first, outside any transaction; a server gets the text whole.
    // Everything else runs in one transaction.
    void applyScript(const QString& scriptText);

    // Makes a second workstation that starts the same step of the monthly work (`step` names it
    // for the user, `key` tells the unit and month) wait until this transaction ends; after
    // stepWaitMs it gives up with a message naming the step. Nothing to wait for on the
    // embedded database, which one program uses at a time. Call inside a transaction.
    void lockStep(const QString& step, const QString& key);
    void setStepWaitMs(int milliseconds) { m_stepWaitMs = milliseconds; }
    // Called with the step's name when lockStep() finds another workstation running it, before
    // it starts to wait (the window says so meanwhile). Returns the notice it replaces.
    std::function<void(const QString& step)>
    setStepWaitNotice(std::function<void(const QString& step)> notice);
    void noticeStepWait(const QString& step) const;

    // Calls a stored procedure of the catalog. The values are bound by position to the
    // procedure's formal parameters; the names are kept for the messages.
    ResultRows callProcedure(const QString& name, const Params& params);
    // Runs a direct statement; "@name" in the text is bound from `params` by name.
    ResultRows query(const QString& sql, const Params& params = {});
    int execute(const QString& sql, const Params& params = {});

    // Writing one row back. Texts are cut to the column's width; dates go as ISO text.
    QVariant insertRow(const QString& table, const QList<QPair<QString, QVariant>>& values);
    // Many new rows of one table, every row giving `columns` in that order: one statement per
    // batch of rows instead of one per row, each value converted as insertRow() converts it. A
    // null value stores NULL; keys are left to the database. The rows are added in order.
    void insertRows(const QString& table, const QStringList& columns,
                    const QVector<QVector<QVariant>>& rows);
    // With `readVersion`, the row is written (or deleted) only while its version is still the
    // one read; otherwise nothing is written and RowConflict says who changed it, or that it is
    // gone. A null readVersion, or a table without versions, writes by the key alone.
    // Returns the rows written: 0 when no value names a column it may write.
    int updateRow(const WriteTarget& target, const QVariant& key,
                  const QList<QPair<QString, QVariant>>& values, const QVariant& readVersion = {});
    int deleteRow(const WriteTarget& target, const QVariant& key, const QVariant& readVersion = {});

    // The stored version of one row; null when the table keeps none or the row is gone.
    QVariant rowVersion(const WriteTarget& target, const QVariant& key);

    const TableInfo& tableInfo(const QString& table);
    bool isDateColumn(const QString& column);

    // A transaction begun inside another is a savepoint: its rollback undoes only its own work,
    // and the outer one still commits what it did itself.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_transactionDepth > 0; }
    int transactionDepth() const { return m_transactionDepth; }

    // Drops what was learnt about tables and procedures (after a script changed them).
    void forgetSchema();

private:
    struct Statement;
    struct Compiled;
    // What the work of one call to the server has sent so far: a read may be repeated.
    enum class Access { Read, Write };
    // Runs work as one action on the server (see the class comment); calls made inside it belong
    // to the same action.
    template <typename Work> decltype(auto) guarded(Access access, Work work);
    // Whether the action needs guarding; re-opens a lost session first.
    bool beginGuarded(Access access);
    // After work failed: rethrows unless the session was lost and work may run again.
    void recover(const DbError& error);
    void reopen();
    // Binds args in order and runs q, a statement that writes (q is prepared()'s).
    void send(QSqlQuery& q, const QVector<QVariant>& args);
    const Compiled& compileProcedure(const QString& name);
    const Compiled& compileStatement(const QString& sql, const QStringList& formals);
    ResultRows run(const Compiled& compiled, const QVector<QVariant>& args);
    ResultRows callProcedureOnce(const QString& name, const Params& params);
    // A statement without formal names, prepared once: the one query of the row writers.
    QSqlQuery& prepared(const QString& sql);
    void finishOpening(SchemaCheck check);
    void exec(const QString& sql);
    QVariant toDatabase(const QVariant& value, const TableColumn* column) const;
    QVariant fromDatabase(const QVariant& value) const;
    bool rowExists(const TableInfo& table, const QString& keyColumn, const QVariant& key);
    // Runs an UPDATE or DELETE ending in its key's condition, with the version's condition added
    // when there is one; the rows it changed.
    int runKeyedWrite(QString sql, QVector<QVariant> args, const TableColumn* versionColumn,
                      const QVariant& readVersion);
    // A versioned write found the row at another version: RowConflict naming the last change.
    [[noreturn]] void throwChanged(const TableInfo& table, const QVariant& key);

    QString m_name;
    QString m_path;
    std::unique_ptr<Dialect> m_dialect;
    int m_transactionDepth = 0;
    int m_changedRows = 0;
    int m_stepWaitMs = 15000;
    std::function<void(const QString& step)> m_stepWaitNotice;
    QHash<QString, std::shared_ptr<Compiled>> m_procedures;
    QHash<QString, std::shared_ptr<Compiled>> m_statements;
    QHash<QString, std::shared_ptr<TableInfo>> m_tables;
    QHash<QString, bool> m_dateColumns;
    bool m_dateColumnsLoaded = false;
    // a server session: how it was opened, so that it can be opened again
    std::optional<ServerAddress> m_server;
    bool m_lost = false;
    bool m_guarding = false;
    Access m_access = Access::Read;
    // the transaction still open here was ended with the lost session
    bool m_cutTransaction = false;
    QString m_cutText;
};

template <typename Work> decltype(auto) Connection::guarded(Access access, Work work)
{
    if (!beginGuarded(access))
        return work();
    struct End {
        bool& guarding;
        ~End() { guarding = false; }
    } end{m_guarding};
    try {
        return work();
    } catch (const DbError& error) {
        recover(error);
    }
    try {
        return work();
    } catch (const ConnectionLost& again) {
        m_lost = true;
        throw ConnectionLost::unreachable(again.text());
    }
}

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
    int m_depth = 0;
    bool m_done = false;
};

// The rows of `columns` values one statement of Connection::insertRows() carries when
// `remaining` rows are still to be written.
int rowsPerInsert(int remaining, int columns);

// Splits SQL text of the embedded database into complete statements (trigger bodies stay
// whole).
QStringList splitStatements(const QString& sql);

} // namespace zelvo::db
