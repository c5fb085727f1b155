#pragma once

#include "db/connection.h"

#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVector>

class QSqlQuery;

namespace zelvo::db {

// A procedure of the catalog as a backend runs it: statements in which the formal names
// ("@key1") stand where the values go.
struct ProcedureText {
    QStringList formals;
    WriteTarget target;
    QStringList statements;
    // the one statement gives a single value, the number of rows the procedure changed
    bool returnsCount = false;
    // the procedure only reads (the server declares it so): it may run again after a lost
    // connection was re-opened
    bool readOnly = false;
};

// What differs between the embedded database and a server: opening and the session, where the
// catalog and the table definitions are read from, how a procedure is called, how an inserted
// row's key and a statement's changed rows are learnt, how a script is sent, and what an error
// means. Everything else (statements, binding, writing rows back, transactions) is the
// Connection's and the same for both.
class Dialect {
public:
    virtual ~Dialect() = default;

    virtual QString name() const = 0;
    // Statements run once per opened session.
    virtual void initialiseSession(Connection& connection) = 0;
    // The schema's version as this database records it; 0 when it records none.
    virtual int schemaVersion(Connection& connection) = 0;

    virtual ProcedureText procedureText(Connection& connection, const QString& name) = 0;
    // Whether a formal name used twice in a statement takes one value ("@p1" twice) or one
    // placeholder per use ("?").
    virtual bool namesSlots() const = 0;
    // Whether prepared statements read their rows as they arrive. Qt's PostgreSQL driver can
    // have only one such query in flight per connection, and the layer keeps many prepared.
    virtual bool streamsRows() const = 0;

    // The table as stored (its name in the database's letter case), columns in order; an empty
    // column list for a table that does not exist.
    virtual TableInfo tableInfo(Connection& connection, const QString& table) = 0;
    // Names of the columns of any stored table that hold dates.
    virtual QStringList dateColumns(Connection& connection) = 0;

    // INSERT text for the stored table and columns, with one placeholder per column.
    virtual QString insertStatement(const TableInfo& table, const QStringList& columns) const = 0;
    // Whether many rows go in as one JSON parameter (json_populate_recordset), so that a batch
    // of any size is one round trip to a server; otherwise as multi-row INSERTs.
    virtual bool insertsRowsFromJson() const { return false; }
    // The key of the row the statement built by insertStatement() just inserted.
    virtual QVariant insertedKey(QSqlQuery& query) const = 0;
    virtual int changedRows(Connection& connection, QSqlQuery& query) const = 0;

    // Runs a whole script inside the connection's transaction.
    virtual void applyScript(Connection& connection, const QString& script) = 0;

    // The text for the user of an error the database gave.
    virtual QString describe(const QSqlError& error) const;
    // Whether the error tells that the session is gone (the server ended it or went away).
    virtual bool connectionLost(const QSqlError&) const { return false; }
    // Throws the error: ConnectionLost for a session that is gone, DbError otherwise.
    [[noreturn]] void fail(const QSqlError& error) const;

    // Serialises one step of the monthly work (a unit, a month, a step) among workstations
    // until the end of the current transaction. Waits at most timeoutMs, then throws DbError
    // naming the step.
    virtual void lockStep(Connection& connection, const QString& step, const QString& key,
                          int timeoutMs) = 0;

    // Brings the schema of a database an older version made up to this program's version, where
    // the database lets the program do it by itself (the embedded file does; a server's schema
    // is its administrator's, installed with --install-schema). Runs at every opening of a database
    // that is not newer than the program, before the version check.
    virtual void upgradeSchema(Connection&) {}

    // Brings data an older version of the program stored to the form this one reads; runs
    // once after opening, before anyone logs in.
    virtual void upgradeStoredData(Connection& connection) = 0;
};

// The server's text of an error when it gave one, the driver's otherwise.
QString errorText(const QSqlError& error);

} // namespace zelvo::db
