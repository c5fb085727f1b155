#include "controls/datedelegate.h"

#include "controls/datasetmodel.h"
#include "controls/datefield.h"

#include <QKeyEvent>

namespace zelvo::controls {

bool DateDelegate::isDateCell(const QModelIndex& index)
{
    const auto* model = qobject_cast<const DatasetModel*>(index.model());
    if (!model || index.column() < 0 || index.column() >= model->columns().size())
        return false;
    const GridColumn& column = model->columns().at(index.column());
    if (column.checkBox)
        return false;
    if (column.format == QLatin1String("DD-MM-YYYY"))
        return true;
    const db::Dataset* dataset = model->dataset();
    try {
        return dataset && dataset->connection().isDateColumn(column.field);
    } catch (const db::DbError&) {
        return false; // a table the database cannot describe: edited as text
    }
}

QWidget* DateDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    if (!isDateCell(index))
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* field = new DateField(parent);
    field->setFrame(false);
    field->setCalendarButtonShown(false); // a cell is too narrow for the date and the button
    const QString title = index.model()->headerData(index.column(), Qt::Horizontal).toString();
    field->setFieldName(title.simplified()); // titles may be broken over two lines
    return field;
}

void DateDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* field = qobject_cast<DateField*>(editor))
        field->showDate(index.data(Qt::EditRole).toDate());
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void DateDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const
{
    auto* field = qobject_cast<DateField*>(editor);
    if (!field) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (!field->wasTyped())
        return; // opened and left: nothing changes, nothing is stamped
    const DateInput input = field->input();
    const QVariant stored = index.data(Qt::EditRole);
    if (input.isDate() && !(stored.typeId() == QMetaType::QDate && stored.toDate() == input.date))
        model->setData(index, input.date, Qt::EditRole);
    else if (input.isEmpty() && !stored.isNull())
        model->setData(index, QVariant(QMetaType(QMetaType::QDate)), Qt::EditRole);
}

bool DateDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (auto* field = qobject_cast<DateField*>(object)) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool finishing = key == Qt::Key_Return || key == Qt::Key_Enter ||
                                   key == Qt::Key_Tab || key == Qt::Key_Backtab;
            if (finishing && !field->finishEntry())
                return true; // refused: the editor stays open with its text
        } else if (event->type() == QEvent::FocusOut && field->holdsUnreadableEntry()) {
            return false; // not closed, so the text is not lost; the field tells the refusal
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace zelvo::controls
