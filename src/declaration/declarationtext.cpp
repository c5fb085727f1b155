#include "declarationtext.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <cstdlib>
#include <limits>

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

void appendTwoDigits(QString& out, int n)
{
    out += QChar(u'0' + n / 10);
    out += QChar(u'0' + n % 10);
}

// DD.MM.YYYY, written directly: QDate::toString goes through the locale machinery, which
// costs more than the rest of a file line.
QString dateText(const QDate& date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999) {
        return date.isValid() ? date.toString(u"dd.MM.yyyy"_s) : QString();
    }
    QString out;
    out.reserve(10);
    appendTwoDigits(out, date.day());
    out += u'.';
    appendTwoDigits(out, date.month());
    out += u'.';
    appendTwoDigits(out, date.year() / 100);
    appendTwoDigits(out, date.year() % 100);
    return out;
}

// The number written by `count` ASCII digits at text[from], or -1.
int digitsAt(QStringView text, qsizetype from, int count)
{
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[from + i];
        if (c < u'0' || c > u'9') {
            return -1;
        }
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

QString dateTimeText(const QDate& date, const QTime& time)
{
    if (!date.isValid()) {
        return {};
    }
    if (!time.isValid() || time == QTime(0, 0)) {
        return dateText(date);
    }
    return dateText(date) + u' ' + time.toString(u"HH:mm:ss"_s);
}

// The shortest decimal form of a double, with a comma for the point.
QString turkishDecimal(double value)
{
    if (value == 0.0) {
        return u"0"_s; // also for -0.0
    }
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    text.replace(u'.', u',');
    return text;
}

bool isWholeNumberType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// Reads "-1234,5" or "1234.567" into kuruş, rounding half a kuruş away from zero.
std::optional<qint64> kurusFromText(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    qsizetype point = text.indexOf(u'.');
    if (point < 0) {
        point = text.indexOf(u',');
    }
    const QStringView whole = point < 0 ? text : text.left(point);
    const QStringView fraction = point < 0 ? QStringView() : text.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty()) {
        return std::nullopt;
    }
    // decimal(18, 2) has 16 whole digits; their kuruş fit in 64 bits.
    if (whole.size() > 16) {
        return std::nullopt;
    }
    qint64 kurus = 0;
    for (QChar c : whole) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        kurus = kurus * 10 + (c.unicode() - u'0');
    }
    kurus *= 100;
    int digitsSeen = 0;
    bool roundUp = false;
    for (QChar c : fraction) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        const int digit = c.unicode() - u'0';
        if (digitsSeen == 0) {
            kurus += digit * 10;
        } else if (digitsSeen == 1) {
            kurus += digit;
        } else if (digitsSeen == 2) {
            roundUp = digit >= 5;
        }
        ++digitsSeen;
    }
    if (roundUp) {
        ++kurus;
    }
    return negative ? -kurus : kurus;
}

QString kurusText(qint64 kurus)
{
    const bool negative = kurus < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(kurus) : quint64(kurus);
    QString text = QString::number(magnitude / 100);
    const quint64 cents = magnitude % 100;
    if (cents != 0) {
        text += u',';
        text += QChar(u'0' + int(cents / 10));
        if (cents % 10 != 0) {
            text += QChar(u'0' + int(cents % 10));
        }
    }
    return negative ? u'-' + text : text;
}

} // namespace

QString shownValueText(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    const int type = value.typeId();
    if (type == QMetaType::QString) {
        return value.toString();
    }
    if (type == QMetaType::QDate) {
        return dateText(value.toDate());
    }
    if (type == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        return dateTimeText(dt.date(), dt.time());
    }
    if (type == QMetaType::Double || type == QMetaType::Float) {
        return turkishDecimal(value.toDouble());
    }
    return value.toString(); // whole numbers in decimal, anything else as Qt writes it
}

QString shownDateText(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString) {
        return shownValueText(value);
    }
    const QString text = value.toString();
    // "YYYY-MM-DD", then nothing, or "T"/blank and a time of day.
    if (text.size() < 10 || text.at(4) != u'-' || text.at(7) != u'-') {
        return text;
    }
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    const QDate date = year < 0 || month < 0 || day < 0 ? QDate() : QDate(year, month, day);
    if (!date.isValid()) {
        return text;
    }
    if (text.size() == 10) {
        return dateText(date);
    }
    if (text.at(10) != u'T' && text.at(10) != u' ') {
        return text;
    }
    QStringView timePart = QStringView(text).mid(11);
    // Drop fractions of a second and a time zone; only the wall-clock time is written.
    timePart = timePart.left(8);
    const QTime time = QTime::fromString(timePart.toString(), u"HH:mm:ss"_s);
    if (!time.isValid()) {
        return text;
    }
    return dateTimeText(date, time);
}

std::optional<QString> pekText(const QVariant& amount)
{
    if (!amount.isValid() || amount.isNull()) {
        return QString();
    }
    const int type = amount.typeId();
    if (isWholeNumberType(type)) {
        if (type == QMetaType::ULongLong || type == QMetaType::ULong) {
            const qulonglong v = amount.toULongLong();
            if (v > qulonglong(std::numeric_limits<qint64>::max() / 100)) {
                return std::nullopt;
            }
            return kurusText(qint64(v) * 100);
        }
        const qlonglong v = amount.toLongLong();
        if (std::llabs(v) > std::numeric_limits<qint64>::max() / 100) {
            return std::nullopt;
        }
        return kurusText(v * 100);
    }
    QString text;
    if (type == QMetaType::Double || type == QMetaType::Float) {
        const double d = amount.toDouble();
        if (!qIsFinite(d)) {
            return std::nullopt;
        }
        text = QString::number(d, 'f', QLocale::FloatingPointShortest);
    } else {
        text = amount.toString();
        if (text.trimmed().isEmpty()) {
            return QString();
        }
    }
    const std::optional<qint64> kurus = kurusFromText(text);
    if (!kurus) {
        return std::nullopt;
    }
    return kurusText(*kurus);
}

QString sil1FromPek(const QString& pek)
{
    QString text = pek;
    text.replace(u',', u'.');
    if (!text.contains(u'.')) {
        text += u".00"_s;
    }
    if (text.size() >= 2 && text.at(text.size() - 2) == u'.') {
        text += u'0';
    }
    return text;
}

QString periodDayText(const QDate& date, const QDate& first, const QDate& last)
{
    if (!date.isValid() || date < first || date > last) {
        return {};
    }
    QString out;
    out.reserve(4);
    appendTwoDigits(out, date.day());
    appendTwoDigits(out, date.month());
    return out;
}

} // namespace zelvo::declaration
