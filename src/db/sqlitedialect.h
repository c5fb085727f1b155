#pragma once

#include "db/dialect.h"

#include <utility>

namespace zelvo::db {

// The embedded database: one SQLite file (or memory) that the program creates and seeds from
// the bundled scripts on first use. Procedures are rows of zelvo_procedure whose bodies the
// client runs statement by statement.
class SqliteDialect : public Dialect {
public:
    // The absolute path to open, after the checks a file must pass; empty for memory.
    static QString checkedPath(const QString& path, Connection::OpenMode mode);
    static void open(Connection& connection, const QString& path);
    // The error of a failed opening, in words for the user.
    static DbError openingError(const QString& path, const DbError& error);

    // path: the file the connection opened, named in the messages about it; empty for memory
    explicit SqliteDialect(QString path = {}) : m_path(std::move(path)) {}

    QString name() const override { return QStringLiteral("sqlite"); }
    // A full disk, a file another program holds and a damaged file in words for the user,
    // naming the file and what to do, then SQLite's own text.
    QString describe(const QSqlError& error) const override;
    void initialiseSession(Connection& connection) override;
    int schemaVersion(Connection& connection) override;
    ProcedureText procedureText(Connection& connection, const QString& name) override;
    bool namesSlots() const override { return true; }
    bool streamsRows() const override { return true; }
    TableInfo tableInfo(Connection& connection, const QString& table) override;
    QStringList dateColumns(Connection& connection) override;
    QString insertStatement(const TableInfo& table, const QStringList& columns) const override;
    QVariant insertedKey(QSqlQuery& query) const override;
    int changedRows(Connection& connection, QSqlQuery& query) const override;
    void applyScript(Connection& connection, const QString& script) override;
    void lockStep(Connection& connection, const QString& step, const QString& key,
                  int timeoutMs) override;
    void upgradeSchema(Connection& connection) override;
    void upgradeStoredData(Connection& connection) override;

private:
    QString m_path;
};

} // namespace zelvo::db
