#include "registermonthly.h"
#include "windowcatalog.h"

// Each subsystem adds its windows here.

namespace app {

void registerAllWindows(WindowCatalog& catalog)
{
    registerMonthlyWindows(catalog);
}

} // namespace app
