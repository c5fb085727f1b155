// The texts that declaration rows and files are made of: values as the workstation writes
// them, the premium base text and the entry and exit day.
//
// The declaration was designed on Turkish workstations, which write a date as DD.MM.YYYY
// (Windows' Turkish short date form; note that Qt's own Turkish short form is d.MM.yyyy)
// and a decimal with a comma, without digit grouping and without trailing zeros. The files
// always use these Turkish forms, whatever the locale of the machine, so the same rows always
// make the same bytes.
#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace zelvo::declaration {

// The text of a shown row's value: null or invalid as empty text; text unchanged; whole
// numbers in decimal; other numbers as Turkish decimals ("1500,5"); QDate as DD.MM.YYYY;
// QDateTime as DD.MM.YYYY, followed by " HH:MM:SS" only when the time is not midnight.
QString shownValueText(const QVariant& value);

// The text of a date column (baslangictarihi, bitistarihi): as shownValueText, and an ISO
// text "YYYY-MM-DD" (optionally followed by a time, "T" or blank first) is rewritten in the
// same way as a QDate or QDateTime. Text in any other form is written unchanged.
QString shownDateText(const QVariant& value);

// The premium base amount as the workstation writes it: no grouping, a comma before the
// decimals, no trailing zeros: 1500 -> "1500", 1500.5 -> "1500,5", 1500.25 -> "1500,25",
// 0 -> "0". The amount is a decimal text ("1500.50" or "1500,50"), a whole number or a
// floating-point number (read from its shortest decimal form); it is taken to kuruş exactly,
// half a kuruş rounded away from zero. Null or empty gives empty text; anything else that is
// not a number gives nullopt.
std::optional<QString> pekText(const QVariant& amount);

// The premium base text of the declaration (`sil1`) from the text of `pek`: every "," becomes
// "."; ".00" is appended when there is no "."; "0" is appended when the character before the
// last is ".". So "1234" -> "1234.00", "1234,5" -> "1234.50", "1234,56" -> "1234.56",
// "" -> ".00". Every other character stays as it is.
QString sil1FromPek(const QString& pek);

// Entry or exit day: the date's day and month, two digits each, day first ("0503" for
// 5 March), when first <= date <= last; empty text otherwise and for a null date.
QString periodDayText(const QDate& date, const QDate& first, const QDate& last);

} // namespace zelvo::declaration
