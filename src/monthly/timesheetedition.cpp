#include "monthly/timesheetedition.h"

#include "core/period.h"

namespace zelvo::monthly {

namespace {

const QStringList shownColumns = {
    QStringLiteral("yil"),        QStringLiteral("ay"),     QStringLiteral("ogrencino"),
    QStringLiteral("adi"),        QStringLiteral("soyadi"), QStringLiteral("gun"),
    QStringLiteral("gun1"),       QStringLiteral("gun2"),   QStringLiteral("baslangictarihi"),
    QStringLiteral("bitistarihi")};

} // namespace

const TimesheetEdition& TimesheetEdition::standard()
{
    static const TimesheetEdition edition{
        QStringLiteral("FrmPuantaj"),
        QString(),
        core::Period::timesheetTitle(1),
        QString(),
        false, // the main window stays visible
        QStringLiteral("2012"),
        shownColumns + QStringList{QStringLiteral("idogrenci"), QStringLiteral("idpuantaj")}};
    return edition;
}

const TimesheetEdition& TimesheetEdition::gss()
{
    static const TimesheetEdition edition{QStringLiteral("FrmPuantajgss"),
                                          QStringLiteral("xxx"),
                                          QStringLiteral("G.S.S.  ") +
                                              core::Period::timesheetTitle(1),
                                          QStringLiteral("G.S.S."),
                                          true,
                                          QStringLiteral("2008"),
                                          shownColumns};
    return edition;
}

} // namespace zelvo::monthly
