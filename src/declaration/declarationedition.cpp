#include "declaration/declarationedition.h"

namespace zelvo::declaration {

const DeclarationEdition& DeclarationEdition::standard()
{
    static const DeclarationEdition edition{QStringLiteral("Frmxml"),
                                            Edition::Standard,
                                            QString(),
                                            QStringLiteral("Xml - Dosya Oluşturma"),
                                            QStringLiteral("2012"),
                                            true,
                                            {}};
    return edition;
}

const DeclarationEdition& DeclarationEdition::gss()
{
    static const DeclarationEdition edition{
        QStringLiteral("Frmxmlgss"),
        Edition::Gss,
        QStringLiteral("xxx"),
        QStringLiteral("G.S.S.  Xml - Dosya Oluşturma"),
        QStringLiteral("2008"),
        false,
        {QStringLiteral("idisyeri"), QStringLiteral("birimkodu"), QStringLiteral("birimadi"),
         QStringLiteral("isyerisicil"), QStringLiteral("kontrolno"),
         QStringLiteral("isyeriaracino"), QStringLiteral("isyeriunvani"),
         QStringLiteral("isyeriadres"), QStringLiteral("isyerivergino"),
         QStringLiteral("vergidairesi")}};
    return edition;
}

} // namespace zelvo::declaration
