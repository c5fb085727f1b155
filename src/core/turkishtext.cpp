#include "core/turkishtext.h"

#include <array>
#include <utility>

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

namespace {

// Maps the dotted and dotless i's pairwise, as Turkish does, and every other letter as
// convert does.
QString mapTurkishCase(QString text, QChar dotted, QChar dottedTo, QChar dotless, QChar dotlessTo,
                       QChar (QChar::*convert)() const)
{
    for (QChar& c : text) {
        if (c == dotted)
            c = dottedTo;
        else if (c == dotless)
            c = dotlessTo;
        else
            c = (c.*convert)();
    }
    return text;
}

} // namespace

QString turkishUpper(QString text)
{
    return mapTurkishCase(std::move(text), u'i', u'İ', u'ı', u'I', &QChar::toUpper);
}

QString turkishLower(QString text)
{
    return mapTurkishCase(std::move(text), u'İ', u'i', u'I', u'ı', &QChar::toLower);
}

} // namespace zelvo::core
