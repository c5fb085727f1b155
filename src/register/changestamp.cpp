#include "register/changestamp.h"

namespace zelvo::studentregister {

namespace {

// A QTime carries no zone, so the locale's zone token ("t", printed as "UTC") would name a zone
// the workstation's clock is not in. The rest of the long form stays as the locale writes it.
QString longTimeFormatWithoutZone(const QLocale& locale)
{
    QString kept;
    bool quoted = false;
    for (const QChar c : locale.timeFormat(QLocale::LongFormat)) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        kept += c;
    }
    kept.remove(QStringLiteral("()")); // a zone some locales write in brackets
    return kept.simplified();
}

} // namespace

QString changeStamp(const QDate& date, const QTime& time, ChangeKind kind, const QString& user,
                    const QString& fullName, const QLocale& locale)
{
    const QString kindText = kind == ChangeKind::FirstEntry ? QStringLiteral(" İLK EKLEME")
                                                            : QStringLiteral(" DEĞİŞİKLİK");
    const QString stamp = locale.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
                          locale.toString(time, longTimeFormatWithoutZone(locale)) + kindText +
                          user + QLatin1Char(' ') + fullName;
    return stamp.left(changeStampWidth);
}

} // namespace zelvo::studentregister
