#include "core/money.h"

using namespace Qt::StringLiterals;

namespace zelvo::core::money {

namespace {

quint64 magnitudeOf(qint64 kurus)
{
    return kurus < 0 ? quint64(0) - quint64(kurus) : quint64(kurus);
}

QString twoDigits(quint64 n)
{
    return QString::number(n).rightJustified(2, u'0');
}

// numerator / divisor (divisor > 0) by the rounding rule of money.h: half away from zero.
__int128 roundedQuotient(__int128 numerator, __int128 divisor)
{
    const bool negative = numerator < 0;
    const __int128 magnitude = negative ? -numerator : numerator;
    __int128 q = magnitude / divisor;
    if ((magnitude % divisor) * 2 >= divisor)
        ++q;
    return negative ? -q : q;
}

} // namespace

std::optional<qint64> kurusFromDecimal(const Decimal& value)
{
    const auto kurus = value.rescaled(2);
    if (!kurus || magnitudeOf(kurus->units) > quint64(kMaxKurus))
        return std::nullopt;
    return kurus->units;
}

std::optional<qint64> parseKurus(QStringView text)
{
    const auto value = Decimal::parse(text);
    return value ? kurusFromDecimal(*value) : std::nullopt;
}

std::optional<qint64> kurusFromDouble(double value)
{
    const auto decimal = Decimal::fromDouble(value);
    return decimal ? kurusFromDecimal(*decimal) : std::nullopt;
}

std::optional<qint64> kurusFromVariant(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short: {
        const qint64 liras = value.toLongLong();
        if (liras > kMaxKurus / 100 || liras < -(kMaxKurus / 100))
            return std::nullopt;
        return liras * 100;
    }
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort: {
        const quint64 liras = value.toULongLong();
        if (liras > quint64(kMaxKurus / 100))
            return std::nullopt;
        return qint64(liras) * 100;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return kurusFromDouble(value.toDouble());
    default:
        return parseKurus(value.toString());
    }
}

QString decimalText(double value)
{
    const auto decimal = Decimal::fromDouble(value);
    return decimal ? decimal->toPlainString() : QString();
}

std::optional<qint64> percentOf(qint64 amountKurus, QStringView percent)
{
    const auto rate = Decimal::parse(percent);
    if (!rate || rate->scale > 9)
        return std::nullopt;
    // amount × units / (10^scale × 100), exact in 128 bits
    __int128 divisor = 100;
    for (int i = 0; i < rate->scale; ++i)
        divisor *= 10;
    return qint64(roundedQuotient(__int128(amountKurus) * __int128(rate->units), divisor));
}

std::optional<qint64> earningsKurus(std::initializer_list<WagedDays> parts)
{
    __int128 kurusDays = 0;
    for (const WagedDays& part : parts)
        kurusDays += __int128(part.wageKurus) * part.days;
    const __int128 kurus = roundedQuotient(kurusDays, 30);
    if (kurus > kMaxKurus || kurus < -kMaxKurus)
        return std::nullopt;
    return qint64(kurus);
}

QString plainText(qint64 kurus)
{
    const quint64 magnitude = magnitudeOf(kurus);
    return (kurus < 0 ? u"-"_s : QString()) + QString::number(magnitude / 100) + u'.' +
           twoDigits(magnitude % 100);
}

QString displayText(qint64 kurus, const QLocale& locale)
{
    const quint64 magnitude = magnitudeOf(kurus);
    QString whole = QString::number(magnitude / 100);
    const QString group = locale.groupSeparator();
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, group);
    return (kurus < 0 ? locale.negativeSign() : QString()) + whole + locale.decimalPoint() +
           twoDigits(magnitude % 100) + u' ';
}

QString commaText(qint64 kurus)
{
    const quint64 magnitude = magnitudeOf(kurus);
    QString text = QString::number(magnitude / 100);
    const quint64 cents = magnitude % 100;
    if (cents != 0) {
        text += u',';
        text += QChar(u'0' + int(cents / 10));
        if (cents % 10 != 0)
            text += QChar(u'0' + int(cents % 10));
    }
    return kurus < 0 ? u'-' + text : text;
}

QString lowJanuaryWageWarning(qint64 decemberKurus, qint64 januaryKurus, const QLocale& locale)
{
    if (januaryKurus >= decemberKurus)
        return {};
    return QStringLiteral("Ocak asgari ücreti (au01 = %1) Aralık asgari ücretinden (au12 = %2) "
                          "düşük; yeni yılın Ocak ücreti henüz girilmemiş olabilir.")
        .arg(displayText(januaryKurus, locale).trimmed(),
             displayText(decemberKurus, locale).trimmed());
}

} // namespace zelvo::core::money
