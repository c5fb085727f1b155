#include "declaration/declarationinput.h"

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

// Column names are matched without regard to letter case, as the database delivers them.
QString columnText(const QVariantHash& row, const QString& name)
{
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
            return it.value().toString();
        }
    }
    return {};
}

} // namespace

WorkplaceRecord WorkplaceRecord::fromHash(const QVariantHash& row)
{
    WorkplaceRecord r;
    r.birimadi = columnText(row, u"birimadi"_s);
    r.isyerisicil = columnText(row, u"isyerisicil"_s);
    r.kontrolno = columnText(row, u"kontrolno"_s);
    r.isyeriaracino = columnText(row, u"isyeriaracino"_s);
    r.isyeriadres = columnText(row, u"isyeriadres"_s);
    r.isyerivergino = columnText(row, u"isyerivergino"_s);
    return r;
}

ParameterRecord ParameterRecord::fromHash(const QVariantHash& row)
{
    ParameterRecord r;
    r.belgemahiyet = columnText(row, u"belgemahiyet"_s);
    r.belgeturu = columnText(row, u"belgeturu"_s);
    r.belgeturuyab = columnText(row, u"belgeturuyab"_s);
    r.kanunno = columnText(row, u"kanunno"_s);
    r.aktifyil = columnText(row, u"aktifyil"_s);
    return r;
}

} // namespace zelvo::declaration
