#include "app/windowregistry.h"

#include "app/windownames.h"

#include "admin/tfrmbirimdegistir.h"
#include "admin/tfrmhakkinda.h"
#include "admin/tfrmisyeri.h"
#include "admin/tfrmparametre.h"
#include "admin/tfrmsifre.h"
#include "backup/manualbackup.h"
#include "backup/tfrmyedekgeriyukle.h"
#include "declaration/tfrmxmlgss.h"
#include "lists/listvariant.h"
#include "lists/tfrmliste.h"
#include "monthly/tfrmpuantajgss.h"
#include "monthly/tfrmtahakkukgss.h"
#include "register/tfrmpsicil.h"
#include "ui/windowcatalog.h"

namespace zelvo::app {

void registerAllWindows(ui::WindowCatalog& catalog)
{
    catalog.add<studentregister::TFrmPSicil>(windowname::studentRegister);

    catalog.add<monthly::TFrmPuantaj>(windowname::timesheet);
    catalog.add<monthly::TFrmPuantajgss>(windowname::timesheetGss);
    catalog.add<monthly::TFrmTahakkuk>(windowname::accrual);
    catalog.add<monthly::TFrmTahakkukGss>(windowname::accrualGss);

    for (const lists::ListVariant* variant : lists::ListVariant::all()) {
        catalog.add(variant->className, [variant](ui::AppContext& context, QWidget* owner) {
            return new lists::TFrmListe(context, owner, *variant);
        });
    }

    catalog.add<declaration::TFrmxml>(windowname::declaration);
    catalog.add<declaration::TFrmxmlgss>(windowname::declarationGss);

    catalog.add<admin::TFrmisyeri>(windowname::workplace);
    catalog.add<admin::TFrmparametre>(windowname::parameters);
    catalog.add<admin::TFrmbirimdegistir>(windowname::unitChange);
    catalog.add<admin::TFrmsifre>(windowname::password);
    catalog.add<admin::TFrmHakkinda>(windowname::about);

    catalog.add<backup::TFrmYedekGeriYukle>(windowname::restoreBackup);
    // the manual copy asks for a file through the save dialog and has no window of its own
    catalog.add(windowname::takeBackup, [](ui::AppContext& context, QWidget* owner) {
        backup::takeManualBackup(context, owner);
        return static_cast<QDialog*>(nullptr);
    });
}

} // namespace zelvo::app
