#include "turkishtext.h"

#include <array>

using namespace Qt::StringLiterals;

namespace report {

const QLocale& turkishLocale()
{
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    return turkish;
}

QString turkishMonthName(int month)
{
    static const std::array<QString, 12> names = {
        u"Ocak"_s,   u"Şubat"_s,   u"Mart"_s,  u"Nisan"_s, u"Mayıs"_s, u"Haziran"_s,
        u"Temmuz"_s, u"Ağustos"_s, u"Eylül"_s, u"Ekim"_s,  u"Kasım"_s, u"Aralık"_s};
    if (month < 1 || month > 12)
        return {};
    return names[std::size_t(month - 1)];
}

QString turkishUpper(const QString& text)
{
    return turkishLocale().toUpper(text);
}

QString turkishLower(const QString& text)
{
    return turkishLocale().toLower(text);
}

} // namespace report
