#include "registerbackup.h"

#include "manualbackup.h"
#include "tfrmyedekgeriyukle.h"
#include "windowcatalog.h"

namespace backup {

void registerBackupWindows(app::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmYedekGeriYukle"),
                [](app::AppContext& context, QWidget* owner) -> QDialog* {
                    return new TFrmYedekGeriYukle(context, owner);
                });
    catalog.add(QStringLiteral("YedekAl"), [](app::AppContext& context, QWidget* owner) {
        takeManualBackup(context, owner);
        return static_cast<QDialog*>(nullptr);
    });
}

} // namespace backup
