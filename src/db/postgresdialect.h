#pragma once

#include "db/dialect.h"

namespace zelvo::db {

// A database on a PostgreSQL server, installed from server/postgresql. Every procedure of the
// catalog is a server function of the same name: one that reads is called as
// SELECT * FROM name(...), one that only acts as SELECT name(...), which gives the number of
// rows it changed. Names are stored in lower case.
class PostgresDialect : public Dialect {
public:
    // Connects; a failure is told apart (server unreachable, login refused, database missing).
    static void open(Connection& connection, const ServerAddress& address);
    // Connects; returns libpq's message when it failed, an empty text when it succeeded.
    static QString connect(Connection& connection, const ServerAddress& address);
    // The text for the user of a failed connection attempt; driverText is libpq's message.
    static QString connectionFailure(const ServerAddress& address, const QString& driverText);

    QString name() const override { return QStringLiteral("postgresql"); }
    void initialiseSession(Connection& connection) override;
    int schemaVersion(Connection& connection) override;
    ProcedureText procedureText(Connection& connection, const QString& name) override;
    bool namesSlots() const override { return false; }
    bool streamsRows() const override { return false; }
    TableInfo tableInfo(Connection& connection, const QString& table) override;
    QStringList dateColumns(Connection& connection) override;
    QString insertStatement(const TableInfo& table, const QStringList& columns) const override;
    bool insertsRowsFromJson() const override { return true; }
    QVariant insertedKey(QSqlQuery& query) const override;
    int changedRows(Connection& connection, QSqlQuery& query) const override;
    void applyScript(Connection& connection, const QString& script) override;
    void lockStep(Connection& connection, const QString& step, const QString& key,
                  int timeoutMs) override;
    void upgradeStoredData(Connection& connection) override;
    // The server's message without its severity ("ERROR:  "), position and state code.
    QString describe(const QSqlError& error) const override;
    // Connection exceptions (SQLSTATE class 08), the server shutting down or ending the session
    // (57P01 to 57P03), and libpq's own texts for a session that is gone.
    bool connectionLost(const QSqlError& error) const override;
};

// Installs the bundled server scripts into the database the connection has open (opened with
// the schema check skipped), all in one transaction; on an installed database it changes
// nothing, on one of an older version it adds what is missing and records this version.
// Throws DbError, and nothing is changed then.
void installServerSchema(Connection& connection);

} // namespace zelvo::db
