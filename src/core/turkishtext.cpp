#include "core/turkishtext.h"

#include <array>

using namespace Qt::StringLiterals;

namespace zelvo::core {

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

QString turkishUpper(QString text)
{
    for (QChar& c : text) {
        if (c == u'i')
            c = u'İ';
        else if (c == u'ı')
            c = u'I';
        else
            c = c.toUpper();
    }
    return text;
}

QString turkishLower(QString text)
{
    for (QChar& c : text) {
        if (c == u'I')
            c = u'ı';
        else if (c == u'İ')
            c = u'i';
        else
            c = c.toLower();
    }
    return text;
}

} // namespace zelvo::core
