#include "report/reportdata.h"

#include <algorithm>

namespace zelvo::report {

namespace {

QVariantHash lowerKeys(const QVariantHash& hash)
{
    QVariantHash out;
    out.reserve(hash.size());
    for (auto it = hash.constBegin(); it != hash.constEnd(); ++it)
        out.insert(it.key().toLower(), it.value());
    return out;
}

} // namespace

ReportData ReportData::fromRows(const QList<QVariantHash>& rows)
{
    ReportData data;
    // Column names in a stable order: the first row's keys sorted, then any others met later.
    for (const QVariantHash& row : rows) {
        QStringList keys = row.keys();
        std::sort(keys.begin(), keys.end());
        for (const QString& key : keys) {
            const QString lower = key.toLower();
            if (!data.m_columnIndex.contains(lower)) {
                data.m_columnIndex.insert(lower, int(data.m_columns.size()));
                data.m_columns.append(lower);
            }
        }
    }
    data.m_rows.reserve(rows.size());
    const qsizetype width = data.m_columns.size();
    for (const QVariantHash& row : rows) {
        QVariantList values(width);
        for (auto it = row.constBegin(); it != row.constEnd(); ++it) {
            const QString& key = it.key();
            auto found = data.m_columnIndex.constFind(key);
            if (found == data.m_columnIndex.constEnd())
                found = data.m_columnIndex.constFind(key.toLower());
            values[*found] = it.value();
        }
        data.m_rows.append(std::move(values));
    }
    return data;
}

ReportData ReportData::fromTable(const QStringList& columns, const QList<QVariantList>& rows)
{
    ReportData data;
    for (const QString& c : columns) {
        const QString lower = c.toLower();
        data.m_columnIndex.insert(lower, int(data.m_columns.size()));
        data.m_columns.append(lower);
    }
    data.m_rows = rows;
    for (QVariantList& row : data.m_rows)
        row.resize(columns.size());
    return data;
}

void ReportData::setRecord(const QString& name, const QVariantHash& fields)
{
    m_records.insert(name.toLower(), lowerKeys(fields));
}

void ReportData::setRecords(const QHash<QString, QVariantHash>& records)
{
    for (auto it = records.constBegin(); it != records.constEnd(); ++it)
        setRecord(it.key(), it.value());
}

void ReportData::setVariable(const QString& name, const QVariant& value)
{
    m_variables.insert(name.toLower(), value);
}

void ReportData::setVariables(const QVariantHash& variables)
{
    for (auto it = variables.constBegin(); it != variables.constEnd(); ++it)
        setVariable(it.key(), it.value());
}

int ReportData::columnIndex(const QString& name) const
{
    return m_columnIndex.value(name.toLower(), -1);
}

} // namespace zelvo::report
