#include "core/period.h"

#include "core/error.h"
#include "core/turkishtext.h"

namespace zelvo::core {

namespace {

// A whole number as the conversion accepts it: an optional sign and digits, nothing else.
bool toWholeNumber(const QString& text, qlonglong& value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok && !text.isEmpty() && !text.at(0).isSpace() && !text.back().isSpace();
}

QDate dayFirst(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("dd-MM-yyyy"));
}

} // namespace

QString Period::monthName(int month)
{
    return turkishMonthName(month);
}

QString Period::twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString Period::timesheetTitle(int month)
{
    const int next = month == 12 ? 1 : month + 1;
    return QStringLiteral("Puantaj Hesaplama ve Kontrol Ekranı (15 %1 - 14 %2)")
        .arg(monthName(month), monthName(next));
}

void Period::requireWholeYear() const
{
    qlonglong value = 0;
    if (!toWholeNumber(m_year, value))
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(m_year));
}

QString Period::endYear() const
{
    if (m_month != 12)
        return m_year;
    qlonglong value = 0;
    if (!toWholeNumber(m_year, value))
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(m_year));
    return QString::number(value + 1);
}

QString Period::yearOfMonth(int dayMonth) const
{
    return m_month == 12 && dayMonth == 1 ? endYear() : m_year;
}

QString Period::startDmy() const
{
    return QStringLiteral("15-") + twoDigits(m_month) + QLatin1Char('-') + m_year;
}

QString Period::endDmy() const
{
    return QStringLiteral("14-") + twoDigits(nextMonth()) + QLatin1Char('-') + endYear();
}

QString Period::startYmd() const
{
    return m_year + QLatin1Char('-') + twoDigits(m_month) + QStringLiteral("-15");
}

QString Period::endYmd() const
{
    return endYear() + QLatin1Char('-') + twoDigits(nextMonth()) + QStringLiteral("-14");
}

QDate Period::firstDay() const
{
    return dayFirst(startDmy());
}

QDate Period::lastDay() const
{
    return dayFirst(endDmy());
}

bool Period::contains(const QDate& date) const
{
    if (!date.isValid())
        return false;
    const QDate first = firstDay();
    const QDate last = lastDay();
    return first.isValid() && last.isValid() && first <= date && date <= last;
}

} // namespace zelvo::core
