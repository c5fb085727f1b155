#include "changestamp.h"

namespace studentregister {

QString changeStamp(const QDate& date, const QTime& time, ChangeKind kind, const QString& user,
                    const QString& fullName, const QLocale& locale)
{
    const QString kindText = kind == ChangeKind::FirstEntry ? QStringLiteral(" İLK EKLEME")
                                                            : QStringLiteral(" DEĞİŞİKLİK");
    const QString stamp = locale.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
                          locale.toString(time, QLocale::LongFormat) + kindText + user +
                          QLatin1Char(' ') + fullName;
    return stamp.left(changeStampWidth);
}

} // namespace studentregister
