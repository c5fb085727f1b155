// Small readings of declaration values that the check's rules are made of.
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace zelvo::declaration::check {

// Only the ASCII digits 0-9, and at least one.
bool isDigits(QStringView text);

// The number written by min to max ASCII digits and nothing else, or -1.
int wholeNumber(QStringView text, int minDigits, int maxDigits);

// A premium base text as the file writes it, "1500.50" or "-3.00" (digits, a point, two
// decimals), in kuruş; nullopt for anything else and for more than 16 whole digits.
std::optional<qint64> kurusOf(QStringView text);

// Kuruş as "1500.50".
QString kurusText(qint64 kurus);

// DD.MM.YYYY
QString dateText(const QDate& date);

// Why the value cannot go into the XML file at all, as the end of a sentence; empty when it
// can (see unwritableReason).
QString unwritable(QStringView text);

// The tab, carriage return and line feed of the value, which the file carries as character
// references but no field of the declaration may hold: "(U+0009), (U+000A)"; empty when none.
QString lineControls(QStringView text);

// Whether the writer puts the former surname into the file: something is left after removing
// blanks and control characters at both ends.
bool hasWrittenText(QStringView text);

// The value as the report shows it: control characters become U+FFFD, so that nothing
// invisible stands in a printed line.
QString printable(QStringView text);

// The printable value between double quotes: "1234".
QString quoted(QStringView text);

} // namespace zelvo::declaration::check
