#include "windowcatalog.h"

// Each subsystem adds its windows here.

namespace app {

void registerAllWindows(WindowCatalog& catalog)
{
    Q_UNUSED(catalog);
}

} // namespace app
