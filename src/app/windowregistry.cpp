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

namespace {

template <typename Window> void add(ui::WindowCatalog& catalog)
{
    catalog.add<Window>(windowClassName<Window>());
}

} // namespace

void registerAllWindows(ui::WindowCatalog& catalog)
{
    add<studentregister::TFrmPSicil>(catalog);

    add<monthly::TFrmPuantaj>(catalog);
    add<monthly::TFrmPuantajgss>(catalog);
    add<monthly::TFrmTahakkuk>(catalog);
    add<monthly::TFrmTahakkukGss>(catalog);

    for (const lists::ListVariant* variant : lists::ListVariant::all()) {
        catalog.add(variant->className, [variant](ui::AppContext& context, QWidget* owner) {
            return new lists::TFrmListe(context, owner, *variant);
        });
    }

    add<declaration::TFrmxml>(catalog);
    add<declaration::TFrmxmlgss>(catalog);

    add<admin::TFrmisyeri>(catalog);
    add<admin::TFrmparametre>(catalog);
    add<admin::TFrmbirimdegistir>(catalog);
    add<admin::TFrmsifre>(catalog);
    add<admin::TFrmHakkinda>(catalog);

    add<backup::TFrmYedekGeriYukle>(catalog);
    // the manual copy asks for a file through the save dialog and has no window of its own
    catalog.add(manualBackupEntry, [](ui::AppContext& context, QWidget* owner) {
        backup::takeManualBackup(context, owner);
        return static_cast<QDialog*>(nullptr);
    });
}

} // namespace zelvo::app
