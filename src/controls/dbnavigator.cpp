#include "controls/dbnavigator.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace zelvo::controls {

namespace {

struct ButtonLook {
    const char* name;
    const char* glyph;
    const char* hint;
};

ButtonLook lookOf(DbNavigator::Button b)
{
    switch (b) {
    case DbNavigator::Button::First:
        return {"First", "|◀", "İlk kayıt"};
    case DbNavigator::Button::Prior:
        return {"Prior", "◀", "Önceki kayıt"};
    case DbNavigator::Button::Next:
        return {"Next", "▶", "Sonraki kayıt"};
    case DbNavigator::Button::Last:
        return {"Last", "▶|", "Son kayıt"};
    case DbNavigator::Button::Forward10:
        return {"Forward10", "▶▶", "10 kayıt ileri"};
    case DbNavigator::Button::Back10:
        return {"Back10", "◀◀", "10 kayıt geri"};
    case DbNavigator::Button::Insert:
        return {"Insert", "+", "Yeni kayıt"};
    case DbNavigator::Button::Post:
        return {"Post", "✔", "Kaydet"};
    case DbNavigator::Button::Cancel:
        return {"Cancel", "✖", "Vazgeç"};
    case DbNavigator::Button::Delete:
        return {"Delete", "−", "Sil"};
    }
    return {"", "", ""};
}

} // namespace

DbNavigator::DbNavigator(const QList<Button>& buttons, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    for (Button b : buttons) {
        const ButtonLook look = lookOf(b);
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
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (m_dataset) {
        connect(m_dataset, &db::Dataset::currentChanged, this, &DbNavigator::updateButtons);
        connect(m_dataset, &db::Dataset::stateChanged, this, &DbNavigator::updateButtons);
        connect(m_dataset, &db::Dataset::rowsReset, this, &DbNavigator::updateButtons);
        connect(m_dataset, &db::Dataset::rowChanged, this, &DbNavigator::updateButtons);
    }
    updateButtons();
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
        switch (which) {
        case Button::First:
            m_dataset->first();
            break;
        case Button::Prior:
            m_dataset->prior();
            break;
        case Button::Next:
            m_dataset->next();
            break;
        case Button::Last:
            m_dataset->last();
            break;
        case Button::Forward10:
            m_dataset->moveBy(10);
            break;
        case Button::Back10:
            m_dataset->moveBy(-10);
            break;
        case Button::Insert:
            m_dataset->insert();
            break;
        case Button::Post:
            m_dataset->post();
            break;
        case Button::Cancel:
            m_dataset->cancel();
            break;
        case Button::Delete:
            m_dataset->deleteCurrent();
            break;
        }
    } catch (const db::DbError& e) {
        Q_EMIT databaseError(e.text());
    }
    updateButtons();
}

} // namespace zelvo::controls
