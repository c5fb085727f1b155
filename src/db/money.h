#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

// Amounts are carried as whole kuruş in 64-bit integers wherever they are rounded or summed;
// binary floating point only ever appears as an input, read as the 15 significant digits it
// holds exactly.
namespace money {

// "1234.565" -> 123457 (half away from zero at the second decimal). Accepts a leading sign,
// a point or a comma as decimal separator; nothing else. Empty or malformed text gives nullopt.
std::optional<qint64> parseKurus(QStringView text);

// A double as the decimal its 15 significant digits give, written out in full without trailing
// zeros: 0.1 -> "0.1", 33030.15 * 19 / 30 -> "20919.095", 1e-07 -> "0.0000001". Empty for a
// NaN or an infinity.
QString decimalText(double value);

// A double amount in kuruş: its 15 significant digits rounded half away from zero at the
// second decimal, so 33030.15 * 19 / 30 gives 2091910. nullopt for a NaN, an infinity or a
// magnitude of 10^16 or more.
std::optional<qint64> kurusFromDouble(double value);

// Any value the database or a caller may hand over: integer, double, decimal text.
std::optional<qint64> kurusFromVariant(const QVariant& value);

// amountKurus × percent / 100, rounded to a kuruş half away from zero, computed exactly.
std::optional<qint64> percentOf(qint64 amountKurus, QStringView percent);

// "850.00", "-0.05": point separator, no grouping.
QString plainText(qint64 kurus);

// The "##,##0.00 " display: grouped thousands, two decimals and a trailing blank, with the
// separators of the given locale.
QString displayText(qint64 kurus, const QLocale& locale = QLocale());

} // namespace money
