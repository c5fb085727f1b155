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

QString shortestDecimal(double value)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return {};
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
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
        const double d = value.toDouble();
        if (!std::isfinite(d))
            return std::nullopt;
        return parseKurus(shortestDecimal(d));
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
