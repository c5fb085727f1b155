#include "db/dberror.h"

#include <QStringList>

namespace zelvo::db {

namespace {

QString conflictText(RowConflict::Kind kind, const QString& user, const QString& when)
{
    if (kind == RowConflict::Kind::Deleted)
        return QStringLiteral("Bu kayıt siz açtıktan sonra başka bir kullanıcı tarafından "
                              "silindi. Değişikliğiniz kaydedilmedi.");
    QStringList who;
    for (const QString& part : {user, when})
        if (!part.isEmpty())
            who << part;
    const QString stamp =
        who.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(who.join(QStringLiteral(", ")));
    return QStringLiteral("Bu kayıt siz açtıktan sonra başka bir kullanıcı tarafından "
                          "değiştirildi%1. Değişikliğiniz kaydedilmedi.")
        .arg(stamp);
}

} // namespace

RowConflict::RowConflict(Kind kind, const QString& user, const QString& when)
    : DbError(conflictText(kind, user, when)), m_kind(kind)
{
}

ConnectionLost ConnectionLost::cutWork(const QString& serverText)
{
    const QString text = QStringLiteral("Sunucu bağlantısı koptu; yeniden bağlanıldı. Son işlem "
                                        "kaydedilmedi, yeniden deneyin.");
    const QString detail = serverText.simplified();
    return ConnectionLost(detail.isEmpty() ? text : QStringLiteral("%1\n(%2)").arg(text, detail));
}

ConnectionLost ConnectionLost::unreachable(const QString& reason)
{
    return ConnectionLost(QStringLiteral("Sunucuya bağlanılamıyor: %1").arg(reason.simplified()));
}

QString errorBoxText(const QString& text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

} // namespace zelvo::db
