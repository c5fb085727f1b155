#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QVariant>

#include "core/decimal.h"
#include "core/money.h"

#include <optional>
#include <variant>

namespace zelvo::report {

// Numbers in a report are exact decimals; doubles are read by their 15 significant digits.
using Decimal = core::Decimal;

// Money in kuruş from the kinds of value a database row delivers, by the one money rule.
inline std::optional<qint64> toKurus(const QVariant& value)
{
    return core::money::kurusFromVariant(value);
}

// The value of one field as the report sees it.
using Value = std::variant<std::monostate, QString, qint64, double, Decimal, QDate, QDateTime>;

Value valueFromVariant(const QVariant& v);
// Numeric content of a value: integers, doubles, decimals and numeric text.
std::optional<Decimal> decimalOf(const Value& v);
// Date content of a value: dates, date-times and ISO text "YYYY-MM-DD[ HH:MM[:SS]]".
std::optional<QDateTime> dateTimeOf(const Value& v);

// A compiled display format. Number patterns use '#', '0', ',' (grouping) and '.' (decimal
// point) with optional literal text before and after ("##,##0.00 ", "0", "#,##0 TL"); the
// separators printed come from the locale. Date patterns use DD, D, MM, M, MMMM (month name),
// YYYY, YY, HH, NN (minutes) and SS, letters in either case.
class DisplayFormat {
public:
    enum class Kind { None, Number, Date };

    DisplayFormat() = default;
    // Empty pattern gives Kind::None. On an unusable pattern returns nothing and puts the
    // 0-based offset of the offending character into *errorOffset.
    static std::optional<DisplayFormat> compile(const QString& pattern, int* errorOffset,
                                                QString* errorMessage);

    Kind kind() const { return m_kind; }
    QString pattern() const { return m_pattern; }

    // Text of a value with this format. Values the format does not apply to (a text under a
    // number pattern, a number under a date pattern) get their plain display.
    QString apply(const Value& value, const QLocale& locale) const;

private:
    struct DateToken {
        enum Type {
            Literal,
            Day,
            Day2,
            Month,
            Month2,
            MonthName,
            Year2,
            Year4,
            Hour,
            Minute,
            Second
        };
        Type type = Literal;
        QString text;
    };

    // Where and why a pattern cannot be compiled.
    struct Failure {
        qsizetype at;
        QString message;
    };
    std::optional<Failure> compileNumber(const QString& pattern, qsizetype start);
    std::optional<Failure> compileDate(const QString& pattern);
    static std::optional<DateToken::Type> dateField(QChar up, qsizetype run);

    QString formatNumber(const Decimal& d, const QLocale& locale) const;
    QString formatDate(const QDateTime& dt) const;

    Kind m_kind = Kind::None;
    QString m_pattern;
    QString m_prefix;
    QString m_suffix;
    bool m_grouping = false;
    int m_minIntegerDigits = 1;
    int m_minDecimals = 0;
    int m_maxDecimals = 0;
    QList<DateToken> m_dateTokens;
};

// Plain display of a value: dates as DD.MM.YYYY, decimals with the locale's decimal point.
QString displayText(const Value& value, const QLocale& locale);

} // namespace zelvo::report
