#pragma once

#include "controls/datasetmodel.h"

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

namespace zelvo::controls {

// The data grid: columns by field with two-line centred titles, widths in characters, display
// formats, check-box columns; alternate rows in the grid colour, the current row in dark blue.
// It keeps the view's current row and the dataset's current row one, posting a changed row when
// the current row moves. An open cell editor is committed before anything else happens.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);

    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const { return m_model->dataset(); }
    void setColumns(const QVector<GridColumn>& columns);
    void setReadOnly(bool readOnly);
    DatasetModel* datasetModel() const { return m_model; }
    // Writes what is being typed in a cell into the dataset (no post).
    void commitEditor();
    // Drops the current row's change that is not stored yet, with what is typed in a cell;
    // false when nothing was pending (Escape then goes on to the window).
    bool dropPendingChange();
    // Widens the columns so the values of the first rows show whole (never narrows them).
    void fitColumnsToContent(int sampledRows = 500);
    void setBodyFont(const QFont& font);
    void setTitleFont(const QFont& font);

Q_SIGNALS:
    // A database error, or a cell entry refused before it reached the row (a date that cannot be
    // read); either way the window shows it in its error box.
    void databaseError(const QString& text);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class Delegate;
    void followDataset();
    void applyWidths();

    static constexpr int kPadding = 10;
    static constexpr EditTriggers editTriggersWhenEditable =
        DoubleClicked | EditKeyPressed | AnyKeyPressed;
    QPersistentModelIndex m_pressedCurrentCell;
    DatasetModel* m_model = nullptr;
    Delegate* m_delegate = nullptr;
    bool m_syncing = false;
};

} // namespace zelvo::controls
