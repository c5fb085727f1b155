#pragma once

// Turkish text rules shared by the report engine: month names and letter case.

#include <QLocale>
#include <QString>

namespace report {

// Turkish as spoken in Turkey; the fallback when no other locale is chosen.
const QLocale& turkishLocale();

// "Ocak" ... "Aralık"; empty outside 1..12.
QString turkishMonthName(int month);

// Case changes by Turkish rules: 'i' and 'İ', 'ı' and 'I' are pairs.
QString turkishUpper(const QString& text);
QString turkishLower(const QString& text);

} // namespace report
