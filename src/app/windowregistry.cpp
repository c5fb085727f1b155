#include "app/windowregistry.h"

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
    catalog.add<studentregister::TFrmPSicil>(QStringLiteral("TFrmPSicil"));

    catalog.add<monthly::TFrmPuantaj>(QStringLiteral("TFrmPuantaj"));
    catalog.add<monthly::TFrmPuantajgss>(QStringLiteral("TFrmPuantajgss"));
    catalog.add<monthly::TFrmTahakkuk>(QStringLiteral("TFrmTahakkuk"));
    catalog.add<monthly::TFrmTahakkukGss>(QStringLiteral("TFrmTahakkukGss"));

    for (const lists::ListVariant* variant : lists::ListVariant::all()) {
        catalog.add(variant->className, [variant](ui::AppContext& context, QWidget* owner) {
            return new lists::TFrmListe(context, owner, *variant);
        });
    }

    catalog.add<declaration::TFrmxml>(QStringLiteral("TFrmxml"));
    catalog.add<declaration::TFrmxmlgss>(QStringLiteral("TFrmxmlgss"));

    catalog.add<admin::TFrmisyeri>(QStringLiteral("TFrmisyeri"));
    catalog.add<admin::TFrmparametre>(QStringLiteral("TFrmparametre"));
    catalog.add<admin::TFrmbirimdegistir>(QStringLiteral("TFrmbirimdegistir"));
    catalog.add<admin::TFrmsifre>(QStringLiteral("TFrmsifre"));
    catalog.add<admin::TFrmHakkinda>(QStringLiteral("TFrmHakkinda"));

    catalog.add<backup::TFrmYedekGeriYukle>(QStringLiteral("TFrmYedekGeriYukle"));
    // the manual copy asks for a file through the save dialog and has no window of its own
    catalog.add(QStringLiteral("YedekAl"), [](ui::AppContext& context, QWidget* owner) {
        backup::takeManualBackup(context, owner);
        return static_cast<QDialog*>(nullptr);
    });
}

} // namespace zelvo::app
