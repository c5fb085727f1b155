#include "controls/boundcontrols.h"

#include "controls/widthlimit.h"

#include "controls/datasetfollow.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>

namespace zelvo::controls {

FieldLink::FieldLink(QObject* parent, std::function<void()> refresh)
    : QObject(parent), m_refresh(std::move(refresh))
{
}

void FieldLink::bind(db::Dataset* dataset, const QString& field)
{
    m_field = field;
    followDataset(m_dataset, dataset, this, &FieldLink::refreshNow, &db::Dataset::currentChanged,
                  &db::Dataset::rowChanged, &db::Dataset::rowsReset, &db::Dataset::closed);
}

bool FieldLink::hasRow() const
{
    return m_dataset && m_dataset->isOpen() && m_dataset->currentIndex() >= 0;
}

QVariant FieldLink::value() const
{
    if (!m_dataset || !m_dataset->isOpen() || m_dataset->currentIndex() < 0)
        return {};
    const int column = m_dataset->columnIndex(m_field);
    return column < 0 ? QVariant() : m_dataset->valueAt(m_dataset->currentIndex(), column);
}

void FieldLink::refreshNow()
{
    if (m_refreshing)
        return;
    m_refreshing = true;
    m_refresh();
    m_refreshing = false;
}

void FieldLink::write(const QVariant& value)
{
    if (m_refreshing || !m_dataset || !m_dataset->isOpen())
        return;
    m_refreshing = true; // the dataset's change signal must not overwrite what is being typed
    try {
        m_dataset->setValue(m_field, value);
    } catch (const db::DbError& e) {
        m_refreshing = false;
        Q_EMIT failed(e.text());
        refreshNow();
        return;
    }
    m_refreshing = false;
}

DbEdit::DbEdit(QWidget* parent) : QLineEdit(parent)
{
    m_link = new FieldLink(this, [this] {
        // no more characters than the column holds, so nothing typed is cut silently
        const int width = m_link->dataset() ? m_link->dataset()->textWidth(m_link->field()) : 0;
        limitTextWidth(this, width, [this](const QString& why) { Q_EMIT m_link->failed(why); });
        const QString shown = m_link->value().toString();
        if (text() != shown)
            setText(shown);
        setEnabled(m_link->hasRow());
    });
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_link->write(text); });
}

DbCheckBox::DbCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
    m_link = new FieldLink(this, [this] {
        setChecked(m_link->value().toInt() != 0);
        setEnabled(m_link->hasRow());
    });
    connect(this, &QCheckBox::clicked, this,
            [this](bool checked) { m_link->write(checked ? 1 : 0); });
}

DbRadioGroup::DbRadioGroup(const QString& title, const QStringList& items,
                           const QStringList& values, QWidget* parent)
    : QGroupBox(title, parent), m_values(values)
{
    auto* layout = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        button->setObjectName(QStringLiteral("Item%1").arg(i));
        layout->addWidget(button);
        group->addButton(button, i);
        m_buttons << button;
    }
    m_link = new FieldLink(this, [this, group] {
        const int index = m_values.indexOf(m_link->value().toString().trimmed());
        group->setExclusive(false);
        for (int i = 0; i < m_buttons.size(); ++i)
            m_buttons.at(i)->setChecked(i == index);
        group->setExclusive(true);
        setEnabled(m_link->hasRow());
    });
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { m_link->write(m_values.value(id)); });
}

DbDateEdit::DbDateEdit(QWidget* parent) : DateField(parent)
{
    m_link = new FieldLink(this, [this] { refresh(); });
    connect(this, &QLineEdit::textEdited, this, &DbDateEdit::takeTyping);
    connect(this, &DateField::refused, m_link, &FieldLink::failed);
}

void DbDateEdit::bind(db::Dataset* dataset, const QString& field)
{
    if (db::Dataset* old = m_link->dataset())
        old->removeEntryChecks(this);
    m_link->bind(dataset, field);
    if (dataset)
        dataset->addEntryCheck(this, [this] { return takeRefusal(); });
}

void DbDateEdit::refresh()
{
    const db::Dataset* dataset = m_link->dataset();
    const bool onRow = dataset && dataset->isOpen() && dataset->currentIndex() >= 0;
    setEnabled(onRow);
    // a refused text stays for correcting while its row is still being changed
    const bool correcting = holdsUnreadableEntry() && onRow &&
                            dataset->state() != db::Dataset::State::Browse &&
                            dataset->currentIndex() == m_typedRow;
    if (!correcting) {
        showDate(m_link->value().toDate());
        m_entryOpen = false;
    }
}

void DbDateEdit::takeTyping()
{
    const db::Dataset* dataset = m_link->dataset();
    if (m_link->isRefreshing() || !dataset || !dataset->isOpen())
        return;
    if (!m_entryOpen || m_typedRow != dataset->currentIndex()) {
        m_entryOpen = true;
        m_typedRow = dataset->currentIndex();
        m_valueBefore = m_link->value();
    }
    const DateInput typed = input();
    if (typed.isDate())
        m_link->write(typed.date);
    else if (typed.isEmpty() && !m_link->value().isNull())
        m_link->write(QVariant(QMetaType(QMetaType::QDate)));
    else if (typed.isUnreadable()) // the row keeps its date until the text reads as one
        m_link->write(m_valueBefore);
    else
        m_link->write(m_link->value()); // the row is being changed, with nothing to write yet
}

DbLookupCombo::DbLookupCombo(QWidget* parent) : QComboBox(parent)
{
    m_link = new FieldLink(this, [this] {
        setCurrentIndex(findData(m_link->value().toString().trimmed()));
        setEnabled(m_link->hasRow());
    });
    connect(this, &QComboBox::activated, this,
            [this](int index) { m_link->write(itemData(index)); });
}

void DbLookupCombo::setLookup(db::Dataset* lookup, const QString& keyField,
                              const QString& listField)
{
    m_keyField = keyField;
    m_listField = listField;
    followDataset(m_lookup, lookup, this, &DbLookupCombo::fill, &db::Dataset::rowsReset);
}

void DbLookupCombo::fill()
{
    clear();
    if (!m_lookup || !m_lookup->isOpen())
        return;
    const int key = m_lookup->requireColumn(m_keyField);
    const int list = m_lookup->requireColumn(m_listField);
    for (int row = 0; row < m_lookup->recordCount(); ++row)
        addItem(m_lookup->valueAt(row, list).toString().trimmed(),
                m_lookup->valueAt(row, key).toString().trimmed());
    setCurrentIndex(findData(m_link->value().toString().trimmed()));
}

} // namespace zelvo::controls
