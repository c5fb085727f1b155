#include "report/valueformat.h"

#include "core/turkishtext.h"

#include <array>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace zelvo::report {

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

QString withDecimalPoint(const Decimal& d, const QLocale& locale)
{
    QString plain = d.toPlainString();
    if (plain.startsWith(u'-'))
        plain.replace(0, 1, locale.negativeSign());
    const qsizetype dot = plain.indexOf(u'.');
    if (dot >= 0)
        plain.replace(dot, 1, locale.decimalPoint());
    return plain;
}

} // namespace

Value valueFromVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return std::monostate{};
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
        return qint64(v.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        const quint64 u = v.toULongLong();
        if (u > quint64(kMax))
            return double(u);
        return qint64(u);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toDouble();
    case QMetaType::QDate:
        return v.toDate();
    case QMetaType::QDateTime:
        return v.toDateTime();
    case QMetaType::QString:
        return v.toString();
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    default:
        return v.toString();
    }
}

std::optional<Decimal> decimalOf(const Value& v)
{
    if (const auto* i = std::get_if<qint64>(&v))
        return Decimal{*i, 0};
    if (const auto* d = std::get_if<double>(&v))
        return Decimal::fromDouble(*d);
    if (const auto* d = std::get_if<Decimal>(&v))
        return *d;
    if (const auto* s = std::get_if<QString>(&v))
        return Decimal::parse(*s);
    return std::nullopt;
}

std::optional<QDateTime> dateTimeOf(const Value& v)
{
    if (const auto* d = std::get_if<QDate>(&v))
        return d->isValid() ? std::optional(QDateTime(*d, QTime(0, 0))) : std::nullopt;
    if (const auto* dt = std::get_if<QDateTime>(&v))
        return dt->isValid() ? std::optional(*dt) : std::nullopt;
    const auto* s = std::get_if<QString>(&v);
    if (!s)
        return std::nullopt;
    const QString text = s->trimmed();
    if (text.size() < 10)
        return std::nullopt;
    QDate date;
    if (text[4] == u'-')
        date = QDate::fromString(text.left(10), Qt::ISODate);
    else if (text[2] == u'.')
        date = QDate::fromString(text.left(10), u"dd.MM.yyyy"_s);
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (text.size() > 10) {
        if (text[10] != u'T' && text[10] != u' ')
            return std::nullopt;
        QString rest = text.mid(11);
        if (rest.endsWith(u'Z'))
            rest.chop(1);
        time = QTime::fromString(rest, Qt::ISODateWithMs);
        if (!time.isValid())
            return std::nullopt;
    }
    return QDateTime(date, time);
}

std::optional<DisplayFormat> DisplayFormat::compile(const QString& pattern, int* errorOffset,
                                                    QString* errorMessage)
{
    DisplayFormat f;
    f.m_pattern = pattern;
    if (pattern.isEmpty())
        return f;
    const qsizetype firstHash = pattern.indexOf(u'#');
    const qsizetype firstZero = pattern.indexOf(u'0');
    std::optional<Failure> failure;
    if (firstHash >= 0 || firstZero >= 0) {
        failure = f.compileNumber(pattern, firstHash < 0   ? firstZero
                                           : firstZero < 0 ? firstHash
                                                           : std::min(firstHash, firstZero));
    } else {
        failure = f.compileDate(pattern);
    }
    if (!failure)
        return f;
    if (errorOffset)
        *errorOffset = int(failure->at);
    if (errorMessage)
        *errorMessage = failure->message;
    return std::nullopt;
}

// The number pattern whose first digit sign is at `start`, with the texts around it.
std::optional<DisplayFormat::Failure> DisplayFormat::compileNumber(const QString& pattern,
                                                                   qsizetype start)
{
    m_kind = Kind::Number;
    // A leading "," or "." belongs to the number, not to the text before it.
    while (start > 0 && (pattern[start - 1] == u',' || pattern[start - 1] == u'.'))
        --start;
    qsizetype end = start;
    bool seenPoint = false;
    int integerZeros = 0;
    for (; end < pattern.size(); ++end) {
        const QChar c = pattern[end];
        if (c == u'#' || c == u'0') {
            if (seenPoint) {
                if (c == u'0') {
                    if (m_maxDecimals != m_minDecimals)
                        return Failure{end,
                                       u"ondalık kısımda '0', '#' işaretinden sonra gelemez"_s};
                    ++m_minDecimals;
                }
                ++m_maxDecimals;
            } else if (c == u'0') {
                ++integerZeros;
            }
        } else if (c == u',') {
            if (seenPoint)
                return Failure{end, u"ondalık kısımda gruplama işareti olamaz"_s};
            m_grouping = true;
        } else if (c == u'.') {
            if (seenPoint)
                return Failure{end, u"biçimde ikinci ondalık işareti"_s};
            seenPoint = true;
        } else {
            break;
        }
    }
    m_prefix = pattern.left(start);
    m_suffix = pattern.mid(end);
    for (qsizetype i = 0; i < m_suffix.size(); ++i) {
        const QChar c = m_suffix[i];
        if (c == u'#' || c == u'0')
            return Failure{end + i, u"sayı biçimi bölünmüş"_s};
    }
    m_minIntegerDigits = integerZeros;
    if (m_maxDecimals > 9)
        return Failure{end - 1, u"en fazla 9 ondalık basamak"_s};
    return std::nullopt;
}

// A date pattern: runs of D, M, Y, H, N, S letters between literal texts.
std::optional<DisplayFormat::Failure> DisplayFormat::compileDate(const QString& pattern)
{
    m_kind = Kind::Date;
    bool anyField = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            if (close < 0)
                return Failure{i, u"kapanmamış tırnak"_s};
            m_dateTokens.append(DateToken{DateToken::Literal, pattern.mid(i + 1, close - i - 1)});
            i = close + 1;
            continue;
        }
        const QChar up = c.toUpper();
        if (up != u'D' && up != u'M' && up != u'Y' && up != u'H' && up != u'N' && up != u'S') {
            if (!m_dateTokens.isEmpty() && m_dateTokens.last().type == DateToken::Literal)
                m_dateTokens.last().text += c;
            else
                m_dateTokens.append(DateToken{DateToken::Literal, QString(c)});
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run].toUpper() == up)
            ++run;
        const std::optional<DateToken::Type> type = dateField(up, run);
        if (!type)
            return Failure{i, u"tarih biçiminde tanınmayan alan \"%1\""_s.arg(pattern.mid(i, run))};
        m_dateTokens.append(DateToken{*type, {}});
        anyField = true;
        i += run;
    }
    if (!anyField)
        return Failure{0, u"biçim tanınmadı (sayı için # ve 0, tarih için DD MM YYYY)"_s};
    return std::nullopt;
}

// The field a run of one date letter stands for; nullopt for a run the letter has no field of.
std::optional<DisplayFormat::DateToken::Type> DisplayFormat::dateField(QChar up, qsizetype run)
{
    if (up == u'D' && run <= 2)
        return run == 1 ? DateToken::Day : DateToken::Day2;
    if (up == u'M' && (run <= 2 || run == 4))
        return run == 1 ? DateToken::Month : run == 2 ? DateToken::Month2 : DateToken::MonthName;
    if (up == u'Y' && (run == 2 || run == 4))
        return run == 2 ? DateToken::Year2 : DateToken::Year4;
    if (up == u'H' && run <= 2)
        return DateToken::Hour;
    if (up == u'N' && run <= 2)
        return DateToken::Minute;
    if (up == u'S' && run <= 2)
        return DateToken::Second;
    return std::nullopt;
}

QString DisplayFormat::apply(const Value& value, const QLocale& locale) const
{
    if (m_kind == Kind::Number) {
        if (const auto d = decimalOf(value))
            return formatNumber(*d, locale);
    } else if (m_kind == Kind::Date) {
        if (const auto dt = dateTimeOf(value))
            return formatDate(*dt);
    }
    return displayText(value, locale);
}

QString DisplayFormat::formatNumber(const Decimal& d, const QLocale& locale) const
{
    const auto rounded = d.rescaled(m_maxDecimals);
    if (!rounded)
        return withDecimalPoint(d, locale);
    QString plain = rounded->toPlainString();
    const bool negative = plain.startsWith(u'-');
    if (negative)
        plain.remove(0, 1);
    QString integerPart = plain;
    QString fraction;
    const qsizetype dot = plain.indexOf(u'.');
    if (dot >= 0) {
        integerPart = plain.left(dot);
        fraction = plain.mid(dot + 1);
    }
    while (fraction.size() > m_minDecimals && fraction.endsWith(u'0'))
        fraction.chop(1);
    while (integerPart.size() > 1 && integerPart.startsWith(u'0'))
        integerPart.remove(0, 1);
    if (integerPart == u"0"_s && m_minIntegerDigits == 0)
        integerPart.clear();
    if (integerPart.size() < m_minIntegerDigits)
        integerPart = QString(m_minIntegerDigits - integerPart.size(), u'0') + integerPart;
    if (m_grouping && integerPart.size() > 3) {
        const QString sep = locale.groupSeparator();
        for (qsizetype pos = integerPart.size() - 3; pos > 0; pos -= 3)
            integerPart.insert(pos, sep);
    }
    QString out = m_prefix;
    if (negative && rounded->units != 0)
        out += locale.negativeSign();
    out += integerPart;
    if (!fraction.isEmpty())
        out += locale.decimalPoint() + fraction;
    out += m_suffix;
    return out;
}

QString DisplayFormat::formatDate(const QDateTime& dt) const
{
    const QDate date = dt.date();
    const QTime time = dt.time();
    // each numeric field's number and the digits it is filled to with zeros, by token type
    static_assert(DateToken::Second == 10, "one entry per token type");
    const std::array<std::pair<int, int>, 11> fields{{
        {0, 0},                 // Literal: text
        {date.day(), 1},        // Day
        {date.day(), 2},        // Day2
        {date.month(), 1},      // Month
        {date.month(), 2},      // Month2
        {0, 0},                 // MonthName: text
        {date.year() % 100, 2}, // Year2
        {date.year(), 4},       // Year4
        {time.hour(), 2},       // Hour
        {time.minute(), 2},     // Minute
        {time.second(), 2},     // Second
    }};
    QString out;
    for (const DateToken& t : m_dateTokens) {
        if (t.type == DateToken::Literal) {
            out += t.text;
        } else if (t.type == DateToken::MonthName) {
            out += core::turkishMonthName(date.month());
        } else {
            const auto [number, digits] = fields[t.type];
            out += QString::number(number).rightJustified(digits, u'0');
        }
    }
    return out;
}

QString displayText(const Value& value, const QLocale& locale)
{
    return std::visit(
        [&](const auto& v) -> QString {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return {};
            else if constexpr (std::is_same_v<T, QString>)
                return v;
            else if constexpr (std::is_same_v<T, qint64>)
                return QString::number(v);
            else if constexpr (std::is_same_v<T, double>) {
                const auto d = Decimal::fromDouble(v);
                return d ? withDecimalPoint(*d, locale) : QString::number(v);
            } else if constexpr (std::is_same_v<T, Decimal>)
                return withDecimalPoint(v, locale);
            else if constexpr (std::is_same_v<T, QDate>)
                return v.toString(u"dd.MM.yyyy"_s);
            else
                return v.time() == QTime(0, 0) ? v.toString(u"dd.MM.yyyy"_s)
                                               : v.toString(u"dd.MM.yyyy HH:mm"_s);
        },
        value);
}

} // namespace zelvo::report
