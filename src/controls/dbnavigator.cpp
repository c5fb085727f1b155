#include "controls/dbnavigator.h"

#include "controls/datasetfollow.h"

#include <QHBoxLayout>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace zelvo::controls {

namespace {

// What each button shows and what it does to the dataset, in one table that the buttons'
// construction and their presses both read.
struct NavigatorButton {
    DbNavigator::Button button;
    const char* name;
    const char* glyph;
    const char* hint;
    void (*act)(db::Dataset&);
};

using B = DbNavigator::Button;
const std::array<NavigatorButton, 10> navigatorButtons{{
    {B::First, "First", "|◀", "İlk kayıt", [](db::Dataset& d) { d.first(); }},
    {B::Prior, "Prior", "◀", "Önceki kayıt", [](db::Dataset& d) { d.prior(); }},
    {B::Next, "Next", "▶", "Sonraki kayıt", [](db::Dataset& d) { d.next(); }},
    {B::Last, "Last", "▶|", "Son kayıt", [](db::Dataset& d) { d.last(); }},
    {B::Forward10, "Forward10", "▶▶", "10 kayıt ileri", [](db::Dataset& d) { d.moveBy(10); }},
    {B::Back10, "Back10", "◀◀", "10 kayıt geri", [](db::Dataset& d) { d.moveBy(-10); }},
    {B::Insert, "Insert", "+", "Yeni kayıt", [](db::Dataset& d) { d.insert(); }},
    {B::Post, "Post", "✔", "Kaydet", [](db::Dataset& d) { d.post(); }},
    {B::Cancel, "Cancel", "✖", "Vazgeç", [](db::Dataset& d) { d.cancel(); }},
    {B::Delete, "Delete", "−", "Sil", [](db::Dataset& d) { d.deleteCurrent(); }},
}};

const NavigatorButton& describe(DbNavigator::Button b)
{
    const auto it = std::find_if(navigatorButtons.cbegin(), navigatorButtons.cend(),
                                 [b](const NavigatorButton& entry) { return entry.button == b; });
    Q_ASSERT(it != navigatorButtons.cend());
    return *it;
}

} // namespace

DbNavigator::DbNavigator(const QList<Button>& buttons, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    for (Button b : buttons) {
        const NavigatorButton& look = describe(b);
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(look.name));
        button->setText(QString::fromUtf8(look.glyph));
        button->setToolTip(QString::fromUtf8(look.hint));
        button->setFixedSize(30, 28);
        connect(button, &QToolButton::clicked, this, [this, b] { press(b); });
        row->addWidget(button);
        m_buttons.insert(int(b), button);
    }
    updateButtons();
}

void DbNavigator::setDataset(db::Dataset* dataset)
{
    followDataset(m_dataset, dataset, this, &DbNavigator::updateButtons,
                  &db::Dataset::currentChanged, &db::Dataset::stateChanged, &db::Dataset::rowsReset,
                  &db::Dataset::rowChanged);
}

void DbNavigator::updateButtons()
{
    const bool open = m_dataset && m_dataset->isOpen();
    const bool browsing = open && m_dataset->state() == db::Dataset::State::Browse;
    const bool changing = open && !browsing;
    const bool hasRows = open && m_dataset->recordCount() > 0;
    const bool modifiable = open && m_dataset->canModify();
    const bool atStart = !hasRows || m_dataset->isBof();
    const bool atEnd = !hasRows || m_dataset->isEof();
    auto set = [this](Button b, bool enabled) {
        if (QToolButton* button = m_buttons.value(int(b)))
            button->setEnabled(enabled);
    };
    set(Button::First, hasRows && !atStart);
    set(Button::Prior, hasRows && !atStart);
    set(Button::Back10, hasRows && !atStart);
    set(Button::Next, hasRows && !atEnd);
    set(Button::Last, hasRows && !atEnd);
    set(Button::Forward10, hasRows && !atEnd);
    set(Button::Insert, modifiable);
    set(Button::Post, modifiable && changing);
    set(Button::Cancel, modifiable && changing);
    set(Button::Delete, modifiable && hasRows);
}

void DbNavigator::press(Button which)
{
    if (!m_dataset || !m_dataset->isOpen())
        return;
    if (m_beforeAction)
        m_beforeAction();
    try {
        describe(which).act(*m_dataset);
    } catch (const db::DbError& e) {
        Q_EMIT databaseError(e.text());
    }
    updateButtons();
}

} // namespace zelvo::controls
