#include "backup/registerbackup.h"

#include "backup/manualbackup.h"
#include "backup/tfrmyedekgeriyukle.h"
#include "ui/windowcatalog.h"

namespace zelvo::backup {

void registerBackupWindows(ui::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmYedekGeriYukle"),
                [](ui::AppContext& context, QWidget* owner) -> QDialog* {
                    return new TFrmYedekGeriYukle(context, owner);
                });
    catalog.add(QStringLiteral("YedekAl"), [](ui::AppContext& context, QWidget* owner) {
        takeManualBackup(context, owner);
        return static_cast<QDialog*>(nullptr);
    });
}

} // namespace zelvo::backup
