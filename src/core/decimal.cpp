#include "core/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace zelvo::core {

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

std::optional<qint64> pow10(int n)
{
    if (n < 0 || n > 18)
        return std::nullopt;
    qint64 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

} // namespace

std::optional<Decimal> Decimal::parse(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 units = 0;
    int scale = 0;
    int digits = 0;
    bool inFraction = false;
    bool truncated = false;
    bool roundUp = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' || c == u',') {
            if (inFraction)
                return std::nullopt;
            inFraction = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        ++digits;
        const int digit = c.unicode() - u'0';
        if (truncated)
            continue;
        if (units > (kMax - digit) / 10) {
            if (!inFraction)
                return std::nullopt;
            // Too many fraction digits for 64 bits: keep what fits, round on the first dropped.
            truncated = true;
            roundUp = digit >= 5;
            continue;
        }
        units = units * 10 + digit;
        if (inFraction)
            ++scale;
    }
    if (digits == 0)
        return std::nullopt;
    if (roundUp) {
        if (units == kMax)
            return std::nullopt;
        ++units;
    }
    return Decimal{negative ? -units : units, scale};
}

std::optional<Decimal> Decimal::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // d.dddddddddddddde±x: 15 significant digits, the first of them at 10^x
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (written.ec != std::errc())
        return std::nullopt;
    const char* p = buffer;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    const char* const exponentMark = std::find(p, static_cast<const char*>(written.ptr), 'e');
    int exponent = 0;
    if (exponentMark == written.ptr ||
        std::from_chars(exponentMark + 1 + (exponentMark[1] == '+'), written.ptr, exponent).ec !=
            std::errc())
        return std::nullopt;
    // trailing zeros of the mantissa say nothing; the leading digit is never 0 unless all are
    const char* end = exponentMark;
    while (end > p && (end[-1] == '0' || end[-1] == '.'))
        --end;
    Decimal d;
    bool afterPoint = false;
    for (; p < end; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        d.units = d.units * 10 + (*p - '0');
        d.scale += afterPoint ? 1 : 0;
    }
    if (d.units == 0)
        return Decimal{};
    d.scale -= exponent;
    if (d.scale < 0) {
        const auto whole = d.rescaled(0);
        if (!whole)
            return std::nullopt;
        d = *whole;
    }
    if (negative)
        d.units = -d.units;
    return d;
}

std::optional<Decimal> Decimal::rescaled(int newScale) const
{
    if (newScale == scale)
        return *this;
    if (newScale > scale) {
        const auto p = pow10(newScale - scale);
        if (!p || (units != 0 && std::llabs(units) > kMax / *p))
            return std::nullopt;
        return Decimal{units * *p, newScale};
    }
    const auto p = pow10(scale - newScale);
    if (!p)
        return Decimal{0, newScale};
    qint64 q = units / *p;
    const qint64 r = units % *p;
    if (std::llabs(r) * 2 >= *p)
        q += units < 0 ? -1 : 1;
    return Decimal{q, newScale};
}

QString Decimal::toPlainString() const
{
    const bool negative = units < 0;
    const quint64 magnitude =
        negative ? quint64(0) - quint64(units) : quint64(units); // safe for the minimum too
    QString digits = QString::number(magnitude);
    if (scale > 0) {
        if (digits.size() <= scale)
            digits = QString(scale - digits.size() + 1, u'0') + digits;
        digits.insert(digits.size() - scale, u'.');
    }
    return negative ? u'-' + digits : digits;
}

} // namespace zelvo::core
