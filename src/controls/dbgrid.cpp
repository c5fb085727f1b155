#include "controls/dbgrid.h"

#include "controls/datedelegate.h"
#include "controls/datefield.h"
#include "controls/widthlimit.h"
#include "core/lookvalues.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace zelvo::controls {

// Remembers the open editor so that it can be committed from outside.
class DbGrid::Delegate : public DateDelegate {
public:
    using DateDelegate::DateDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = isFraction(index) ? textEditor(parent)
                                            : DateDelegate::createEditor(parent, option, index);
        m_editor = editor;
        m_index = index;
        startChangeOnTyping(editor);
        if (auto* field = qobject_cast<DateField*>(editor))
            QObject::connect(field, &DateField::refused, static_cast<DbGrid*>(this->parent()),
                             &DbGrid::databaseError);
        limitToColumnWidth(editor, index);
        return editor;
    }
    // A decimal the database hands back as a fraction (a wage with kuruş, any numeric value of a
    // server) is typed as text, as whole numbers are: Qt's spin box for it would hold two
    // digits before the point and refuse the comma. The window checks the text before storing.
    static bool isFraction(const QModelIndex& index)
    {
        const int type = index.data(Qt::EditRole).typeId();
        return type == QMetaType::Double || type == QMetaType::Float;
    }
    static QWidget* textEditor(QWidget* parent)
    {
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        return line;
    }
    // A cell takes no more characters than its column holds, so nothing typed is cut silently.
    void limitToColumnWidth(QWidget* editor, const QModelIndex& index) const
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        const auto* model = qobject_cast<const DatasetModel*>(index.model());
        if (!line || !model || !model->dataset() || index.column() >= model->columns().size())
            return;
        if (const int width =
                model->dataset()->textWidth(model->columns().at(index.column()).field);
            width > 0) {
            auto* grid = static_cast<DbGrid*>(parent());
            limitTextWidth(line, width,
                           [grid](const QString& why) { Q_EMIT grid->databaseError(why); });
        }
    }
    // Escape in a cell editor drops what was typed there and the row's change not yet stored.
    bool eventFilter(QObject* object, QEvent* event) override
    {
        const bool escape = event->type() == QEvent::KeyPress &&
                            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel);
        const bool handled = DateDelegate::eventFilter(object, event);
        if (escape)
            static_cast<DbGrid*>(parent())->dropPendingChange();
        return handled;
    }
    // Typing into a cell starts changing the row, as typing into a bound box does, so that the
    // navigator offers to store it while the editor is still open.
    void startChangeOnTyping(QWidget* editor) const
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line && editor)
            line = editor->findChild<QLineEdit*>(); // spin and date boxes
        if (!line)
            return;
        auto* grid = static_cast<DbGrid*>(parent());
        QObject::connect(line, &QLineEdit::textEdited, grid, [grid] {
            db::Dataset* dataset = grid->dataset();
            if (!dataset || dataset->state() != db::Dataset::State::Browse)
                return;
            try {
                dataset->edit();
            } catch (const db::DbError& e) {
                Q_EMIT grid->databaseError(e.text());
            }
        });
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (editor == m_editor)
            m_editor = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }
    // The open editor when it holds a typed text that is not a date.
    DateField* unreadableDateEditor() const
    {
        auto* field = qobject_cast<DateField*>(m_editor.data());
        return field && field->holdsUnreadableEntry() ? field : nullptr;
    }
    mutable QPointer<QWidget> m_editor;
    mutable QPersistentModelIndex m_index;
};

DbGrid::DbGrid(QWidget* parent) : QTableView(parent)
{
    setTextElideMode(Qt::ElideNone); // a value too wide is clipped, not replaced by "…"
    m_model = new DatasetModel(this);
    m_delegate = new Delegate(this);
    setItemDelegate(m_delegate);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    setEditTriggers(editTriggersWhenEditable);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(QRgb(core::look::gridAlternate)));
    p.setColor(QPalette::Highlight, QColor(QRgb(core::look::gridCurrent)));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(QRgb(core::look::gridCurrent)));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    setPalette(p);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(14);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    QFont body(core::look::verdana);
    body.setPixelSize(core::look::gridBodyPixels);
    setBodyFont(body);
    QFont title(core::look::verdana);
    title.setPixelSize(core::look::gridTitlePixels);
    setTitleFont(title);
    connect(m_model, &DatasetModel::writeFailed, this, &DbGrid::databaseError);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DbGrid::followDataset);
}

void DbGrid::setBodyFont(const QFont& font)
{
    setFont(font);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    applyWidths();
}

void DbGrid::setTitleFont(const QFont& font)
{
    horizontalHeader()->setFont(font);
    horizontalHeader()->setFixedHeight(QFontMetrics(font).lineSpacing() * 2 + 8);
}

void DbGrid::setDataset(db::Dataset* dataset)
{
    if (db::Dataset* old = m_model->dataset()) {
        disconnect(old, nullptr, this, nullptr);
        old->removeEntryChecks(this);
    }
    m_model->setDataset(dataset);
    if (dataset) {
        connect(dataset, &db::Dataset::currentChanged, this, &DbGrid::followDataset);
        dataset->addEntryCheck(this, [this] {
            DateField* field = m_delegate->unreadableDateEditor();
            return field ? field->takeRefusal() : QString();
        });
    }
    followDataset();
}

namespace {

// Long titles break at the blank nearest their middle, so they stand on two lines.
QString twoLineTitle(const QString& title, int widthChars)
{
    if (title.contains(QLatin1Char('\n')) || title.size() <= widthChars + 2)
        return title;
    const int middle = int(title.size()) / 2;
    int best = -1;
    for (int i = 0; i < title.size(); ++i)
        if (title.at(i) == QLatin1Char(' ') && (best < 0 || qAbs(i - middle) < qAbs(best - middle)))
            best = i;
    if (best < 0)
        return title;
    QString broken = title;
    broken[best] = QLatin1Char('\n');
    return broken;
}

} // namespace

void DbGrid::setColumns(const QVector<GridColumn>& columns)
{
    QVector<GridColumn> shown = columns;
    for (GridColumn& c : shown)
        c.title = twoLineTitle(c.title, c.widthChars);
    m_model->setColumns(shown);
    applyWidths();
}

// A column of n characters holds n digits (or n average characters for names) and its title.
void DbGrid::applyWidths()
{
    if (!m_model)
        return;
    const QFontMetrics body(font());
    const QFontMetrics title(horizontalHeader()->font());
    const int digit = body.horizontalAdvance(QLatin1Char('0'));
    const auto& columns = m_model->columns();
    for (int i = 0; i < columns.size(); ++i) {
        const GridColumn& column = columns.at(i);
        int width =
            column.widthChars * (column.measuredInCharacters ? body.averageCharWidth() : digit);
        for (const QString& line : column.title.split(QLatin1Char('\n')))
            width = qMax(width, title.horizontalAdvance(line));
        setColumnWidth(i, width + kPadding);
    }
}

void DbGrid::fitColumnsToContent(int sampledRows)
{
    const QFontMetrics body(font());
    const int rows = qMin(m_model->rowCount(), sampledRows);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        int width = 0;
        for (int r = 0; r < rows; ++r)
            width = qMax(width, body.horizontalAdvance(m_model->index(r, c).data().toString()));
        setColumnWidth(c, qMax(columnWidth(c), width + kPadding));
    }
}

void DbGrid::setReadOnly(bool readOnly)
{
    m_model->setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers : editTriggersWhenEditable);
}

bool DbGrid::dropPendingChange()
{
    db::Dataset* dataset = m_model->dataset();
    if (!dataset || !dataset->isOpen() || dataset->state() == db::Dataset::State::Browse)
        return false;
    if (QWidget* editor = m_delegate->m_editor) // what is typed there goes too
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    dataset->cancel();
    return true;
}

void DbGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel) && dropPendingChange())
        return; // a second Escape, with nothing pending, goes on to the window
    QTableView::keyPressEvent(event);
}

// A click on the current cell opens its editor at once. Qt's "selected clicked" trigger waits a
// double-click interval first and meanwhile swallows the keys typed into the cell.
void DbGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex pressed = indexAt(event->position().toPoint());
    m_pressedCurrentCell = pressed.isValid() && pressed == currentIndex() ? pressed : QModelIndex();
    QTableView::mousePressEvent(event);
}

void DbGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const QModelIndex released = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && released.isValid() &&
        released == m_pressedCurrentCell && editTriggers() != NoEditTriggers &&
        state() != EditingState)
        edit(released);
    m_pressedCurrentCell = QModelIndex();
}

void DbGrid::commitEditor()
{
    if (QWidget* editor = m_delegate->m_editor) {
        commitData(editor);
        // a date that cannot be read stays in its cell for correcting; storing the row is refused
        if (editor != m_delegate->unreadableDateEditor())
            closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DbGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
}

void DbGrid::followDataset()
{
    db::Dataset* dataset = m_model->dataset();
    if (!dataset || m_syncing)
        return;
    const int row = dataset->isOpen() ? dataset->currentIndex() : -1;
    m_syncing = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        setCurrentIndex(m_model->index(row, column));
        selectRow(row);
        setCurrentIndex(m_model->index(row, column));
    } else {
        clearSelection();
    }
    m_syncing = false;
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // The cursor stays on a cell holding a date that cannot be read until it is corrected.
    if (DateField* field = m_delegate->unreadableDateEditor();
        field && !m_syncing && current != m_delegate->m_index) {
        Q_EMIT databaseError(field->takeRefusal());
        QMetaObject::invokeMethod(
            this,
            [this, held = QPersistentModelIndex(m_delegate->m_index)] {
                if (!held.isValid())
                    return;
                m_syncing = true;
                selectRow(held.row()); // before the cursor: selecting a row moves it to column 0
                setCurrentIndex(held);
                m_syncing = false;
            },
            Qt::QueuedConnection);
        return;
    }
    QTableView::currentChanged(current, previous);
    db::Dataset* dataset = m_model->dataset();
    if (m_syncing || !dataset || !dataset->isOpen() || !current.isValid())
        return;
    if (current.row() == dataset->currentIndex())
        return;
    try {
        dataset->moveTo(current.row()); // posts the row being left if it changed
    } catch (const db::DbError& e) {
        Q_EMIT databaseError(e.text());
    }
    if (dataset->currentIndex() != current.row())
        QMetaObject::invokeMethod(this, &DbGrid::followDataset, Qt::QueuedConnection);
}

} // namespace zelvo::controls
