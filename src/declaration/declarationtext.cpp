#include "declaration/declarationtext.h"

#include "core/money.h"

#include <QDateTime>
#include <QTime>

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

// A double as its 15 significant digits give it, with a comma for the point.
QString turkishDecimal(double value)
{
    const auto decimal = core::Decimal::fromDouble(value);
    if (!decimal) {
        return QString::number(value);
    }
    QString text = decimal->toPlainString();
    text.replace(u'.', u',');
    return text;
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
    const std::optional<qint64> kurus = core::money::kurusFromVariant(amount);
    if (!kurus) {
        if (amount.toString().trimmed().isEmpty()) {
            return QString();
        }
        return std::nullopt;
    }
    return core::money::commaText(*kurus);
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
