#pragma once

#include "core/decimal.h"

#include <QLocale>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <optional>

// Amounts are carried as whole kuruş in 64-bit integers wherever they are read, rounded, summed
// or written; binary floating point only ever appears as an input, read as the 15 significant
// digits it holds exactly. An amount has at most 16 whole digits, as the database's
// decimal(18, 2) columns do; anything longer is not an amount, whichever way it arrives.
//
// The rounding rule, the one every stored amount follows on the client and on both servers: an
// amount is worked out as an exact decimal and brought to whole kuruş once, half away from zero
// (20919.095 -> 20919.10, -0.005 -> -0.01). The servers' scripts point here: the embedded one
// through dec2 and share (db/sqlfunctions), PostgreSQL through round(numeric, 2).
namespace zelvo::core::money {

// The largest amount in kuruş: 9 999 999 999 999 999.99.
inline constexpr qint64 kMaxKurus = 999'999'999'999'999'999;

// A decimal as kuruş, half away from zero at the second decimal; nullopt past kMaxKurus.
std::optional<qint64> kurusFromDecimal(const Decimal& value);

// "1234.565" -> 123457. Accepts blanks around, a leading sign, a point or a comma as decimal
// separator; nothing else. Empty or malformed text gives nullopt.
std::optional<qint64> parseKurus(QStringView text);

// A double amount in kuruş from its 15 significant digits: 33030.15 * 19 / 30 gives 2091910.
// nullopt for a NaN, an infinity or more than 16 whole digits.
std::optional<qint64> kurusFromDouble(double value);

// Any value the database or a caller may hand over: whole number (of liras), double, decimal
// text. Null, empty text and anything that is not an amount give nullopt.
std::optional<qint64> kurusFromVariant(const QVariant& value);

// A double as the decimal its 15 significant digits give, written out in full without trailing
// zeros: 0.1 -> "0.1", 1e-07 -> "0.0000001". Empty for a NaN or an infinity.
QString decimalText(double value);

// amountKurus × percent / 100, rounded to a kuruş half away from zero, computed exactly.
// The percentage has at most nine decimals.
std::optional<qint64> percentOf(qint64 amountKurus, QStringView percent);

// Days priced at a monthly wage: every month counts 30 days.
struct WagedDays {
    qint64 wageKurus = 0;
    qint64 days = 0;
};

// The earnings of a month: the sum of wage × days / 30 over the parts (December has two, its
// old-wage and its new-wage days), exact, rounded once to a kuruş. nullopt past kMaxKurus.
std::optional<qint64> earningsKurus(std::initializer_list<WagedDays> parts);

// "850.00", "-0.05": point separator, no grouping.
QString plainText(qint64 kurus);

// The "##,##0.00 " display: grouped thousands, two decimals and a trailing blank, with the
// separators of the given locale.
QString displayText(qint64 kurus, const QLocale& locale = QLocale());

// The declaration's form: no grouping, a comma before the decimals, no trailing zeros:
// 150000 -> "1500", 150050 -> "1500,5", 150025 -> "1500,25", 0 -> "0".
QString commaText(qint64 kurus);

// December's January days are priced at au01. A minimum wage does not fall, so an au01 below
// au12 most likely means the new year's January wage has not been entered yet: the warning
// with both amounts, or nothing when au01 is not lower.
QString lowJanuaryWageWarning(qint64 decemberKurus, qint64 januaryKurus,
                              const QLocale& locale = QLocale());

} // namespace zelvo::core::money
