#pragma once

// The same calls against either backend: the embedded database built by the program from
// server/sqlite, or a database of the test cluster installed from server/postgresql. A month
// of work driven through it stores the same rows on both, so their results can be compared.

#include "pgfixture.h"
#include "serverfixture.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <memory>

namespace pgtest {

using Values = QList<QPair<QString, QVariant>>;

class BackendSide {
public:
    virtual ~BackendSide() = default;
    // Calls a procedure with positional arguments; an error is a test failure.
    virtual Rows call(const QString& name, const QVariantList& args) = 0;
    // Stores one row as the windows write one back; an error is a test failure.
    virtual void insert(const QString& table, const Values& values) = 0;
    virtual void runScript(const QString& sql) = 0;
};

class EmbeddedSide : public BackendSide {
public:
    Rows call(const QString& name, const QVariantList& args) override;
    void insert(const QString& table, const Values& values) override;
    void runScript(const QString& sql) override;

private:
    servertest::ServerFixture m_fixture;
};

class ServerSide : public BackendSide {
public:
    Rows call(const QString& name, const QVariantList& args) override;
    void insert(const QString& table, const Values& values) override;
    void runScript(const QString& sql) override;
    QSqlDatabase db() const { return m_database.db(); }

private:
    TestDatabase m_database;
};

// One value as text that reads the same whichever backend delivered it: numbers in their
// shortest decimal form, dates as YYYY-MM-DD, texts quoted, NULL as NULL.
QString canonical(const QVariant& value);
// A whole result: the column names, then one line per row.
QStringList canonical(const Rows& rows);

// Computes the timesheet, the accrual and the declaration rows of one month of the active
// year for unit 01 the way the windows do, through the procedures of the edition ("" or "xxx").
void workMonth(BackendSide& side, int month, const QString& edition);

} // namespace pgtest
