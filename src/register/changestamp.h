#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace zelvo::studentregister {

enum class ChangeKind { FirstEntry, Change };

// Width of ogrenci.degistiren; the stamp is cut to it.
inline constexpr int changeStampWidth = 50;

// The stamp written into a student row when it is stored: the date in the locale's short form,
// a blank, the time in its long form (without a zone name), " İLK EKLEME" or " DEĞİŞİKLİK", the
// user name, a blank and the user's full name, cut to the column's width.
QString changeStamp(const QDate& date, const QTime& time, ChangeKind kind, const QString& user,
                    const QString& fullName, const QLocale& locale = QLocale());

} // namespace zelvo::studentregister
