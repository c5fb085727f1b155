#include "controls/datasetmodel.h"

#include "core/money.h"

#include <QDate>
#include <QLocale>

namespace zelvo::controls {

namespace money = zelvo::core::money;

QString displayValue(const QVariant& value, const QString& format)
{
    if (value.isNull())
        return {};
    if (format == QLatin1String("##,##0.00 ")) {
        const auto kurus = core::money::kurusFromVariant(value);
        return kurus ? core::money::displayText(*kurus, QLocale()) : value.toString();
    }
    if (format == QLatin1String("0.00")) {
        const auto kurus = core::money::kurusFromVariant(value);
        return kurus ? core::money::plainText(*kurus).replace(QLatin1Char('.'),
                                                              QLocale().decimalPoint())
                     : value.toString();
    }
    if (value.typeId() == QMetaType::QDate) {
        const QDate date = value.toDate();
        if (format == QLatin1String("DD-MM-YYYY"))
            return date.toString(QStringLiteral("dd-MM-yyyy"));
        return QLocale().toString(date, QLocale::ShortFormat);
    }
    return value.toString();
}

DatasetModel::DatasetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DatasetModel::setDataset(db::Dataset* dataset)
{
    beginResetModel();
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (m_dataset) {
        connect(m_dataset, &db::Dataset::rowsReset, this, [this] {
            beginResetModel();
            endResetModel();
        });
        connect(m_dataset, &db::Dataset::rowChanged, this, [this](int row) {
            if (row >= 0 && row < rowCount())
                Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
        });
        // the row indicator follows the current row and its state
        for (auto signal : {&db::Dataset::currentChanged, &db::Dataset::rowChanged})
            connect(m_dataset, signal, this, &DatasetModel::refreshIndicator);
        connect(m_dataset, &db::Dataset::stateChanged, this, &DatasetModel::refreshIndicator);
    }
    endResetModel();
}

void DatasetModel::setColumns(const QVector<GridColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_dataset ? 0 : m_dataset->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

int DatasetModel::fieldIndex(int column) const
{
    return m_dataset && column >= 0 && column < m_columns.size()
               ? m_dataset->columnIndex(m_columns.at(column).field)
               : -1;
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    const int field = fieldIndex(index.column());
    if (field < 0)
        return {};
    const GridColumn& column = m_columns.at(index.column());
    const QVariant value = m_dataset->valueAt(index.row(), field);
    switch (role) {
    case Qt::DisplayRole:
        return column.checkBox ? QVariant() : QVariant(displayValue(value, column.format));
    case Qt::EditRole:
        return value;
    case Qt::CheckStateRole:
        if (column.checkBox)
            return value.toInt() != 0 ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return int(column.alignment);
    default:
        return {};
    }
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int field = fieldIndex(index.column());
    if (field < 0 || (role != Qt::EditRole && role != Qt::CheckStateRole))
        return false;
    const GridColumn& column = m_columns.at(index.column());
    QVariant stored = value;
    if (role == Qt::CheckStateRole)
        stored = value.toInt() == Qt::Checked ? 1 : 0;
    else if (value.typeId() == QMetaType::QString && value.toString().isEmpty() &&
             m_dataset->valueAt(index.row(), field).isNull())
        return false; // an untouched empty cell stays empty (null)
    try {
        if (m_dataset->currentIndex() != index.row())
            m_dataset->moveTo(index.row());
        m_dataset->setValue(column.field, stored);
    } catch (const db::DbError& e) {
        Q_EMIT writeFailed(e.text());
        return false;
    }
    return true;
}

QString DatasetModel::indicator(int row) const
{
    if (!m_dataset || row != m_dataset->currentIndex())
        return {};
    switch (m_dataset->state()) {
    case db::Dataset::State::Edit:
        return QStringLiteral("✎");
    case db::Dataset::State::Insert:
        return QStringLiteral("✱");
    case db::Dataset::State::Browse:
        return QStringLiteral("▸");
    case db::Dataset::State::Inactive:
        break;
    }
    return {};
}

void DatasetModel::refreshIndicator()
{
    if (const int rows = rowCount(); rows > 0)
        Q_EMIT headerDataChanged(Qt::Vertical, 0, rows - 1);
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return indicator(section);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    if (section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns.at(section).title;
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!index.isValid() || fieldIndex(index.column()) < 0)
        return flags;
    const GridColumn& column = m_columns.at(index.column());
    const bool editable = !m_readOnly && !column.readOnly && m_dataset && m_dataset->canModify();
    if (editable)
        flags |= column.checkBox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    return flags;
}

} // namespace zelvo::controls
