#pragma once

#include "db/dataset.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace zelvo::controls {

// How the grid shows one field.
struct GridColumn {
    GridColumn() = default;
    GridColumn(QString field, QString title, int widthChars, QString format = {},
               Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, bool checkBox = false,
               bool readOnly = false)
        : field(std::move(field)), title(std::move(title)), widthChars(widthChars),
          format(std::move(format)), alignment(alignment), checkBox(checkBox), readOnly(readOnly)
    {
    }

    QString field;
    QString title;       // may hold a line break; shown centred on two lines
    int widthChars = 10; // width in average characters of the body font
    QString format;      // "##,##0.00 " or "0.00" for amounts, "DD-MM-YYYY" for dates, empty: as is
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool checkBox = false; // a yes/no column shown as a check box (stores 0 / 1)
    bool readOnly = false;
    // Widths count digits, which are wider than the font's average character (numbers and
    // dates are most of what the grids show); a column of names counts average characters.
    bool measuredInCharacters = false;
};

// Formats a value as a grid column shows it.
QString displayValue(const QVariant& value, const QString& format);

// The table model over a dataset: rows and current row are the dataset's own; writing a cell
// makes that row current (posting a changed row it leaves) and sets the field.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(QObject* parent = nullptr);

    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const { return m_dataset; }
    void setColumns(const QVector<GridColumn>& columns);
    const QVector<GridColumn>& columns() const { return m_columns; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Horizontal: the column titles. Vertical: the row indicator, on the current row only:
    // "▸" browsing, "✎" being changed, "✱" a new row not stored yet.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QString indicator(int row) const;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // A database error while writing a cell; the grid shows it.
    void writeFailed(const QString& text);

private:
    int fieldIndex(int column) const;
    void refreshIndicator();

    QPointer<db::Dataset> m_dataset;
    QVector<GridColumn> m_columns;
    bool m_readOnly = false;
};

} // namespace zelvo::controls
