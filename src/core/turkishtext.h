#pragma once

// Turkish text rules: the locale, month names and letter case. The windows, the lists, the
// report engine and the database's trfold all follow these, so a search, a sort key and a
// printed heading agree on what 'I' and 'i' become.

#include <QLocale>
#include <QString>

namespace zelvo::core {

// Turkish as spoken in Turkey; the fallback when no other locale is chosen.
const QLocale& turkishLocale();

// "Ocak" ... "Aralık"; empty outside 1..12.
QString turkishMonthName(int month);

// Case changes by Turkish rules: 'i' and 'İ', 'ı' and 'I' are pairs; every other character
// changes as Unicode says, one character for one, whatever the machine's locale or Qt's build.
QString turkishUpper(QString text);
QString turkishLower(QString text);

} // namespace zelvo::core
