#include "core/period.h"

#include "core/turkishtext.h"
#include "core/wholenumber.h"

namespace zelvo::core {

namespace {

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
    requireWholeNumber(m_year);
}

QString Period::endYear() const
{
    if (m_month != 12)
        return m_year;
    return QString::number(requireWholeNumber(m_year) + 1);
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
