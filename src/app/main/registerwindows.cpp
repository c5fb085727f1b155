#include "adminwindows.h"
#include "registerbackup.h"
#include "registerdeclaration.h"
#include "registerlists.h"
#include "registermonthly.h"
#include "studentregister.h"
#include "windowcatalog.h"

// Each subsystem adds its windows here.

namespace app {

void registerAllWindows(WindowCatalog& catalog)
{
    registerMonthlyWindows(catalog);
    registerListWindows(catalog);
    registerAdminWindows(catalog);
    registerRegisterWindows(catalog);
    registerDeclarationWindows(catalog);
    backup::registerBackupWindows(catalog);
}

} // namespace app
