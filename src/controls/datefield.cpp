#include "controls/datefield.h"

#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

namespace zelvo::controls {

namespace {

// A small sheet of a wall calendar: a red head over rows of days.
QIcon calendarIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor ink(64, 64, 64);
    painter.setPen(ink);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 2, 13, 12);
    painter.fillRect(2, 3, 12, 3, QColor(176, 0, 0));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            painter.fillRect(3 + column * 3, 7 + row * 2, 2, 1, ink);
    return QIcon(pixmap);
}

} // namespace

DateField::DateField(QWidget* parent) : QLineEdit(parent)
{
    m_calendarAction = addAction(calendarIcon(), QLineEdit::TrailingPosition);
    m_calendarAction->setToolTip(QStringLiteral("Takvim (Alt+Aşağı ok)"));
    connect(m_calendarAction, &QAction::triggered, this, &DateField::showCalendar);
    connect(this, &QLineEdit::textEdited, this, [this] { m_typed = true; });
}

void DateField::setDate(const QDate& date)
{
    setText(dateInputText(date));
    m_typed = true;
    Q_EMIT textEdited(text()); // a pick is the user's change, as typing is
}

void DateField::showDate(const QDate& date)
{
    m_typed = false;
    const QString shown = dateInputText(date);
    if (text() != shown)
        setText(shown);
}

QString DateField::takeRefusal()
{
    if (!holdsUnreadableEntry())
        return {};
    ++m_refusals;
    setFocus(Qt::OtherFocusReason);
    selectAll();
    return refusalText();
}

void DateField::setCalendarButtonShown(bool shown)
{
    m_calendarAction->setVisible(shown);
}

bool DateField::calendarPopup() const
{
    return m_calendarAction->isVisible();
}

void DateField::showCalendar()
{
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setObjectName(QStringLiteral("Calendar"));
        m_calendar->setWindowFlags(Qt::Popup);
        m_calendar->setGridVisible(true);
        connect(m_calendar, &QCalendarWidget::clicked, this, &DateField::pick);
        connect(m_calendar, &QCalendarWidget::activated, this, &DateField::pick);
    }
    const QDate shown = date();
    m_calendar->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    m_calendar->adjustSize();
    m_calendar->move(mapToGlobal(QPoint(0, height())));
    m_calendar->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateField::pick(const QDate& date)
{
    m_calendar->hide();
    setFocus(Qt::PopupFocusReason);
    setDate(date);
}

void DateField::showReadDate()
{
    if (const DateInput read = input(); read.isDate())
        setText(dateInputText(read.date));
}

bool DateField::finishEntry()
{
    if (!holdsUnreadableEntry()) {
        showReadDate();
        return true;
    }
    ++m_refusals;
    Q_EMIT refused(refusalText());
    setFocus(Qt::OtherFocusReason);
    selectAll();
    return false;
}

void DateField::keyPressEvent(QKeyEvent* event)
{
    const bool opensCalendar = event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down &&
                                                              event->modifiers() & Qt::AltModifier);
    if (opensCalendar && calendarPopup()) {
        showCalendar();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !finishEntry())
        return; // refused: the Enter is spent on the refusal
    QLineEdit::keyPressEvent(event);
}

void DateField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // a message box or the calendar over the window: the entry is not finished
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (!holdsUnreadableEntry()) {
        finishEntry();
        return;
    }
    // Told once the click that moved the focus has done its work: when that click stores the
    // row (another row of the grid), the refused store has told it already.
    const int told = m_refusals;
    QTimer::singleShot(0, this, [this, told] {
        if (m_refusals == told && !hasFocus())
            finishEntry();
    });
}

} // namespace zelvo::controls
