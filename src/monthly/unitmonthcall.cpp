#include "monthly/unitmonthcall.h"

#include "monthly/runprogress.h"

#include "db/dataset.h"

#include <QJsonDocument>

#include <utility>

using namespace Qt::StringLiterals;

namespace zelvo::monthly {

UnitMonthCall::UnitMonthCall(QString year, int month, QString unit)
    : m_year(std::move(year)), m_month(month), m_unit(std::move(unit))
{
}

db::Params UnitMonthCall::keys() const
{
    return {{u"@key1"_s, m_year}, {u"@key2"_s, m_month}, {u"@key3"_s, m_unit}};
}

void UnitMonthCall::lockStep(db::Connection& connection, const QString& step) const
{
    connection.lockStep(step, QStringLiteral("birim %1, %2/%3").arg(m_unit, m_year).arg(m_month));
}

void UnitMonthCall::run(db::Dataset& dataset, const QString& procedure) const
{
    dataset.prepareCall(procedure, keys());
    dataset.execProc();
}

void UnitMonthCall::storeThenOpen(db::Dataset& store, const QString& storeProcedure,
                                  const QJsonArray& rows, db::Dataset& view,
                                  const QString& viewProcedure,
                                  const QStringList& viewColumns) const
{
    db::Params params = keys();
    params.append({u"@key4"_s, compactJson(rows)});
    store.prepareCall(storeProcedure, params);
    store.execProc();
    open(view, viewProcedure, viewColumns);
}

void UnitMonthCall::open(db::Dataset& dataset, const QString& procedure,
                         const QStringList& columns) const
{
    dataset.prepareCall(procedure, keys());
    dataset.open();
    for (const QString& column : columns)
        dataset.requireColumn(column);
}

QJsonArray collectRows(int count, RunProgress& progress,
                       const std::function<QJsonArray(int row)>& rowAt)
{
    progress.setTotal(count);
    QJsonArray rows;
    for (int row = 0; row < count; ++row) {
        rows.append(rowAt(row));
        progress.advance(row + 1);
    }
    return rows;
}

QString compactJson(const QJsonArray& rows)
{
    return QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
}

} // namespace zelvo::monthly
