#pragma once

#include "controls/dateinput.h"

#include <QLineEdit>

class QCalendarWidget;

namespace zelvo::controls {

// A box for one date, typed freely the way staff write dates (see readDateInput) or picked from
// a calendar. The text is read when the entry is finished (Enter or leaving the box): a date is
// shown as "DD-MM-YYYY"; a typed text that is not a date is refused through `refused` and stays
// in the box, selected, for correcting.
class DateField : public QLineEdit {
    Q_OBJECT
public:
    explicit DateField(QWidget* parent = nullptr);

    // How the refusal names the field ("Staj Başlangıç Tarihi").
    void setFieldName(const QString& name) { m_fieldName = name; }
    const QString& fieldName() const { return m_fieldName; }

    DateInput input() const { return readDateInput(text()); }
    // The date in the box; null when it is empty or holds no date.
    QDate date() const { return input().date; }
    // Puts a date in the box as the user picking it in the calendar does (`textEdited` follows);
    // a null date empties the box.
    void setDate(const QDate& date);
    // Shows a date that was not typed (the stored one); a null date empties the box.
    void showDate(const QDate& date);

    // The text was typed or picked by the user rather than shown from the row.
    bool wasTyped() const { return m_typed; }
    // The user typed a text that is not a date and has not corrected it.
    bool holdsUnreadableEntry() const { return m_typed && input().isUnreadable(); }
    // Enter, Tab or leaving: a date is shown as read ("DD-MM-YYYY"); an unreadable entry is
    // refused (false), and the box keeps the focus with the text selected.
    bool finishEntry();
    // Asked when the row is about to be stored: the refusal of an unreadable entry, or an empty
    // text. The box takes the focus back with the text selected.
    QString takeRefusal();

    void setCalendarButtonShown(bool shown);
    bool calendarPopup() const;
    // Opens the calendar at the box's date, or at today when it holds none.
    void showCalendar();
    QCalendarWidget* calendarWidget() const { return m_calendar; }

Q_SIGNALS:
    // A finished entry that is not a date; `message` names the field and the text.
    void refused(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void pick(const QDate& date);
    void showReadDate();
    QString refusalText() const { return dateRefusalText(m_fieldName, text()); }

    QString m_fieldName;
    QAction* m_calendarAction = nullptr;
    QCalendarWidget* m_calendar = nullptr; // a popup, made when first opened
    bool m_typed = false;
    int m_refusals = 0; // counts refusals told, so that one attempt is told once
};

} // namespace zelvo::controls
