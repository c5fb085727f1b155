#pragma once

#include "db/connection.h"

#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace zelvo::db {
class Dataset;
}

namespace zelvo::monthly {

class RunProgress;

// One unit's month as the timesheet and accrual runs hand it to the server: every procedure of
// the monthly work takes the year, month and unit as @key1..@key3 (the batched ones the rows as
// compact JSON in @key4).
class UnitMonthCall {
public:
    UnitMonthCall(QString year, int month, QString unit);

    db::Params keys() const;
    // Makes a second workstation running the same step for this unit and month wait.
    void lockStep(db::Connection& connection, const QString& step) const;
    // Runs a procedure that only acts (a removal).
    void run(db::Dataset& dataset, const QString& procedure) const;
    // Stores all rows with one call of a batched procedure (store), then opens what the month
    // holds now (view, as open() does).
    void storeThenOpen(db::Dataset& store, const QString& storeProcedure, const QJsonArray& rows,
                       db::Dataset& view, const QString& viewProcedure,
                       const QStringList& viewColumns) const;
    // Opens the month's rows and checks that they hold every column the window shows.
    void open(db::Dataset& dataset, const QString& procedure, const QStringList& columns) const;

private:
    QString m_year;
    int m_month;
    QString m_unit;
};

// The rows a batched procedure takes, rowAt(0) .. rowAt(count - 1), with the progress shown.
QJsonArray collectRows(int count, RunProgress& progress,
                       const std::function<QJsonArray(int row)>& rowAt);

// The rows as the batched procedures take them.
QString compactJson(const QJsonArray& rows);

} // namespace zelvo::monthly
