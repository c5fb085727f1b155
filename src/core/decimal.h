#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace zelvo::core {

// An exact decimal number: units × 10^-scale. Money is carried with scale 2 (kuruş).
struct Decimal {
    qint64 units = 0;
    int scale = 0;

    // The one reading of a decimal text: "-1234.5", "1234,50", "+7", ".25", blanks around.
    // A point or a comma separates the decimals; no grouping, no exponent. Fraction digits
    // beyond what 64 bits hold are rounded away on the first one dropped. Empty for anything
    // else and for a whole part that does not fit.
    static std::optional<Decimal> parse(QStringView text);

    // A double as the decimal its 15 significant digits give: that many a double always holds
    // exactly (PostgreSQL casts float8 to numeric the same way); the digits past them are the
    // noise of binary arithmetic, so 33030.15 * 19 / 30, 20919.094999999998 in binary, reads
    // as 20919.095. Trailing zeros dropped. Empty for a NaN, an infinity or a value past 64 bits.
    static std::optional<Decimal> fromDouble(double value);

    // The value brought to `newScale` fraction digits, halves rounded away from zero.
    // Empty when the result does not fit in 64 bits.
    std::optional<Decimal> rescaled(int newScale) const;

    // "-1234.50": minus sign and '.', no grouping, as many decimals as the scale says.
    QString toPlainString() const;

    friend bool operator==(const Decimal&, const Decimal&) = default;
};

} // namespace zelvo::core
