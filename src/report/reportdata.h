#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace zelvo::report {

// What a report is filled with: the data rows (one detail band each, in order), named records
// such as "isyeri" and "parametre", and free variables. All names are matched without regard
// to letter case.
class ReportData {
public:
    ReportData() = default;

    // Rows keyed by column name. The columns are the union of all rows' keys.
    static ReportData fromRows(const QList<QVariantHash>& rows);
    // Rows as value lists in the order of `columns`.
    static ReportData fromTable(const QStringList& columns, const QList<QVariantList>& rows);

    void setRecord(const QString& name, const QVariantHash& fields);
    void setRecords(const QHash<QString, QVariantHash>& records);
    void setVariable(const QString& name, const QVariant& value);
    void setVariables(const QVariantHash& variables);

    // Lower-case column names.
    const QStringList& columns() const { return m_columns; }
    const QList<QVariantList>& rows() const { return m_rows; }
    qsizetype rowCount() const { return m_rows.size(); }
    // -1 when there is no such column.
    int columnIndex(const QString& name) const;
    // Records and variables with lower-case names and field names.
    const QHash<QString, QVariantHash>& records() const { return m_records; }
    const QVariantHash& variables() const { return m_variables; }

private:
    QStringList m_columns;
    QHash<QString, int> m_columnIndex;
    QList<QVariantList> m_rows;
    QHash<QString, QVariantHash> m_records;
    QVariantHash m_variables;
};

struct RenderOptions {
    // The moment printed by [date], [time] and [now]; the current time when not set.
    QDateTime printTime;
    // Separators of numbers; a template's own `locale` wins. When neither is given the
    // default locale is used, and Turkish where that is the C locale.
    std::optional<QLocale> locale;
};

} // namespace zelvo::report
