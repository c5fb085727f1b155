#pragma once

#include <QDate>
#include <QString>

namespace zelvo::core {

// The declaration period of a year text Y and a month M: from the 15th of M to the 14th of the
// next month (of the next year for December), both days included. Everything is derived from
// the two inputs on demand; the year text is used as it stands.
class Period {
public:
    Period(QString yearText, int month) : m_year(std::move(yearText)), m_month(month) {}

    const QString& year() const { return m_year; }
    int month() const { return m_month; }                             // M, 1..12
    int nextMonth() const { return m_month == 12 ? 1 : m_month + 1; } // N
    // YE: Y, or for December the year text as a whole number plus one. Throws core::Error
    // (core::notWholeNumberMessage) when December's year is not a whole number.
    QString endYear() const;
    // The year text of a day of the period in the given month: YE for the next month's days
    // (so the December period's January days fall in the next year), Y otherwise.
    QString yearOfMonth(int dayMonth) const;

    QString startDmy() const; // "15-MM-Y"
    QString endDmy() const;   // "14-NN-YE"
    QString startYmd() const; // "Y-MM-15"
    QString endYmd() const;   // "YE-NN-14"

    // The period's first and last day; invalid when the year text names no year.
    QDate firstDay() const;
    QDate lastDay() const;
    // A date lies in the period when first day <= date <= last day; an empty date never does.
    bool contains(const QDate& date) const;

    // Throws the conversion error for a year text that is not a whole number, in any month.
    void requireWholeYear() const;

    static QString monthName(int month); // "Ocak" … "Aralık", as turkishMonthName
    static QString twoDigits(int number);
    // "Puantaj Hesaplama ve Kontrol Ekranı (15 Ocak - 14 Şubat)"
    static QString timesheetTitle(int month);

private:
    QString m_year;
    int m_month;
};

} // namespace zelvo::core
