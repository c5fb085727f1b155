#include "lists/listvariant.h"

namespace zelvo::lists {

namespace {

ListVariant variant(const char* name, const char* title, const char* procedure,
                    const char* templateFile)
{
    const QString className = QString::fromLatin1(name);
    return {className,
            className.mid(1), // instances drop the leading T
            QString::fromUtf8(title),
            QString::fromLatin1(procedure),
            QString::fromLatin1(templateFile),
            QStringLiteral("2008")};
}

} // namespace

const ListVariant& ListVariant::liste1()
{
    static const ListVariant v = variant("TFrmListe1", "Liste-1", "Liste1", "liste1.frf");
    return v;
}

const ListVariant& ListVariant::liste2()
{
    static const ListVariant v = variant("TFrmListe2", "Liste-2", "Liste1", "liste2.frf");
    return v;
}

const ListVariant& ListVariant::liste1Gss()
{
    static const ListVariant v =
        variant("TFrmListe1gss", "G.S.S.     Liste-1", "Liste1xxx", "liste1.frf");
    return v;
}

const ListVariant& ListVariant::liste2Gss()
{
    static const ListVariant v =
        variant("TFrmListe2gss", "G.S.S.  Liste-2", "Liste1xxx", "liste2.frf");
    return v;
}

const QList<const ListVariant*>& ListVariant::all()
{
    static const QList<const ListVariant*> variants{&liste1(), &liste2(), &liste1Gss(),
                                                    &liste2Gss()};
    return variants;
}

} // namespace zelvo::lists
