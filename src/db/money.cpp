#include "money.h"

#include <charconv>
#include <cmath>

namespace money {

namespace {

// Splits "[-+]digits[.,]digits" into sign, whole digits and fraction digits.
struct DecimalParts {
    bool negative = false;
    QString whole;
    QString fraction;
};

std::optional<DecimalParts> splitDecimal(QStringView text)
{
    text = text.trimmed();
    DecimalParts parts;
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) {
        parts.negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    bool seenSeparator = false;
    for (QChar c : text) {
        if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (seenSeparator)
                return std::nullopt;
            seenSeparator = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            (seenSeparator ? parts.fraction : parts.whole).append(c);
        } else {
            return std::nullopt;
        }
    }
    if (parts.whole.isEmpty() && parts.fraction.isEmpty())
        return std::nullopt;
    if (parts.whole.size() > 16)
        return std::nullopt;
    return parts;
}

} // namespace

std::optional<qint64> parseKurus(QStringView text)
{
    const auto parts = splitDecimal(text);
    if (!parts)
        return std::nullopt;
    qint64 magnitude = parts->whole.isEmpty() ? 0 : parts->whole.toLongLong();
    const QString frac = parts->fraction + QStringLiteral("000");
    magnitude = magnitude * 100 + frac.left(2).toInt();
    if (frac.at(2) >= QLatin1Char('5'))
        ++magnitude; // half away from zero: the magnitude rounds up, the sign follows
    return parts->negative ? -magnitude : magnitude;
}

namespace {

// A finite double as 15 significant decimal digits: value = digits × 10^(exponent - 14).
// Fifteen digits is what a double always holds exactly (PostgreSQL casts float8 to numeric the
// same way); the digits past them are the noise of binary arithmetic, so 33030.15 * 19 / 30,
// 20919.094999999998 in binary, reads as 20919.0950000000.
struct SignificantDigits {
    bool negative = false;
    qint64 digits = 0;
    int exponent = 0;
};

std::optional<SignificantDigits> significantDigits(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (result.ec != std::errc())
        return std::nullopt;
    SignificantDigits parts;
    const char* p = buffer;
    if (*p == '-') {
        parts.negative = true;
        ++p;
    }
    for (; p < result.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            parts.digits = parts.digits * 10 + (*p - '0');
    }
    if (p == result.ptr ||
        std::from_chars(p + 1 + (p[1] == '+'), result.ptr, parts.exponent).ec != std::errc())
        return std::nullopt;
    return parts;
}

} // namespace

QString decimalText(double value)
{
    const auto parts = significantDigits(value);
    if (!parts)
        return {};
    QString digits = QString::number(parts->digits);
    // place the point: digits carries 15 figures, the first of them at 10^exponent
    const int point = parts->exponent + 1;
    QString text;
    if (point <= 0)
        text = QStringLiteral("0.") + QString(-point, QLatin1Char('0')) + digits;
    else if (point >= digits.size())
        text = digits + QString(point - digits.size(), QLatin1Char('0'));
    else
        text = digits.left(point) + QLatin1Char('.') + digits.mid(point);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return parts->negative && parts->digits != 0 ? QLatin1Char('-') + text : text;
}

std::optional<qint64> kurusFromDouble(double value)
{
    const auto parts = significantDigits(value);
    if (!parts || parts->exponent > 15)
        return std::nullopt;
    // kuruş = digits × 10^(exponent - 12)
    qint64 magnitude = parts->digits;
    const int shift = parts->exponent - 12;
    if (shift >= 0) {
        for (int i = 0; i < shift; ++i)
            magnitude *= 10;
    } else if (shift < -18) {
        magnitude = 0; // below a thousandth of a kuruş
    } else {
        qint64 divisor = 1;
        for (int i = 0; i < -shift; ++i)
            divisor *= 10;
        const qint64 remainder = magnitude % divisor;
        magnitude /= divisor;
        if (remainder * 2 >= divisor)
            ++magnitude; // half away from zero: the magnitude rounds up, the sign follows
    }
    return parts->negative ? -magnitude : magnitude;
}

std::optional<qint64> kurusFromVariant(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toLongLong() * 100;
    case QMetaType::Double:
    case QMetaType::Float: {
        return kurusFromDouble(value.toDouble());
    }
    default:
        return parseKurus(value.toString());
    }
}

std::optional<qint64> percentOf(qint64 amountKurus, QStringView percent)
{
    const auto parts = splitDecimal(percent);
    if (!parts || parts->fraction.size() > 9)
        return std::nullopt;
    // percent = numerator / 10^scale
    __int128 scale = 1;
    for (int i = 0; i < parts->fraction.size(); ++i)
        scale *= 10;
    const __int128 numerator =
        __int128((parts->whole.isEmpty() ? 0 : parts->whole.toLongLong())) * scale +
        (parts->fraction.isEmpty() ? 0 : parts->fraction.toLongLong());
    const __int128 product = __int128(amountKurus < 0 ? -amountKurus : amountKurus) * numerator;
    const __int128 divisor = scale * 100;
    __int128 q = product / divisor;
    if ((product % divisor) * 2 >= divisor)
        ++q;
    const bool negative = (amountKurus < 0) != parts->negative;
    return negative ? -qint64(q) : qint64(q);
}

QString plainText(qint64 kurus)
{
    const qint64 magnitude = kurus < 0 ? -kurus : kurus;
    return QStringLiteral("%1%2.%3")
        .arg(kurus < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString displayText(qint64 kurus, const QLocale& locale)
{
    const qint64 magnitude = kurus < 0 ? -kurus : kurus;
    QString whole = QString::number(magnitude / 100);
    const QString group = locale.groupSeparator();
    for (int i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, group);
    return (kurus < 0 ? locale.negativeSign() : QString()) + whole + locale.decimalPoint() +
           QStringLiteral("%1 ").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

} // namespace money
