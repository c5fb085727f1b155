#include "declaration/datasetrows.h"

#include "db/dataset.h"

namespace zelvo::declaration {

QVariantHash rowValues(const db::Dataset& dataset, int row)
{
    QVariantHash values;
    const QStringList& columns = dataset.columns();
    values.reserve(columns.size());
    for (int c = 0; c < columns.size(); ++c) {
        const QString name = columns.at(c).toLower();
        if (!values.contains(name))
            values.insert(name, dataset.valueAt(row, c));
    }
    return values;
}

QVariantHash currentRowValues(const db::Dataset& dataset, const QStringList& columns)
{
    if (!dataset.isOpen())
        throw db::DbError(QStringLiteral("Veri kümesi kapalı: %1").arg(dataset.objectName()));
    for (const QString& column : columns)
        dataset.requireColumn(column);
    return dataset.currentIndex() < 0 ? QVariantHash() : rowValues(dataset, dataset.currentIndex());
}

QList<ShownRow> allRows(const db::Dataset& dataset)
{
    return db::mapRows(dataset, rowValues);
}

} // namespace zelvo::declaration
