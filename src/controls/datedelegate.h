#pragma once

#include <QStyledItemDelegate>

namespace zelvo::controls {

// Edits the date cells of a grid as dates: the editor is a DateField, typed freely the way staff
// write dates. A typed date goes into the row as a date and an emptied cell as no date; a cell
// only opened and left writes nothing. A text that is not a date is never written: Enter, Tab
// or leaving the editor refuses it (through the field's `refused`) and the editor stays open
// with the text. Other cells are edited as the styled delegate edits them.
class DateDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // A cell of a DatasetModel column shown as "DD-MM-YYYY" or bound to a date column of the
    // database; a new row's cells hold no value yet, so the value's type cannot tell.
    static bool isDateCell(const QModelIndex& index);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

} // namespace zelvo::controls
