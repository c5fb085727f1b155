#pragma once

#include <QDate>
#include <QString>

namespace zelvo::controls {

// What a typed date text holds.
struct DateInput {
    enum class Kind { Empty, Date, Unreadable };
    Kind kind = Kind::Empty;
    QDate date; // valid only for Kind::Date

    bool isEmpty() const { return kind == Kind::Empty; }
    bool isDate() const { return kind == Kind::Date; }
    bool isUnreadable() const { return kind == Kind::Unreadable; }
};

// Reads a date as staff type it: DD.MM.YYYY, DD-MM-YYYY or DD/MM/YYYY (day and month may have
// one digit) or the eight digits DDMMYYYY. Blanks around it are ignored and a blank text is
// empty. A day the calendar does not have (30-02-2026) or a year before 1900 is unreadable, so
// that it is refused rather than moved to another day.
DateInput readDateInput(const QString& text);

// A date as the boxes and the grids show it: "DD-MM-YYYY"; empty for a null date.
QString dateInputText(const QDate& date);

// The message that refuses `typed` for the field named `fieldName`.
QString dateRefusalText(const QString& fieldName, const QString& typed);

} // namespace zelvo::controls
