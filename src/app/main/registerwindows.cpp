#include "app/main/registerwindows.h"

#include "admin/adminwindows.h"
#include "backup/registerbackup.h"
#include "declaration/registerdeclaration.h"
#include "lists/registerlists.h"
#include "monthly/registermonthly.h"
#include "register/studentregister.h"
#include "ui/windowcatalog.h"

namespace zelvo::app {

// Each subsystem adds its windows here.
void registerAllWindows(ui::WindowCatalog& catalog)
{
    monthly::registerMonthlyWindows(catalog);
    lists::registerListWindows(catalog);
    admin::registerAdminWindows(catalog);
    studentregister::registerRegisterWindows(catalog);
    declaration::registerDeclarationWindows(catalog);
    backup::registerBackupWindows(catalog);
}

} // namespace zelvo::app
