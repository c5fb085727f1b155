#pragma once

namespace app {
class WindowCatalog;
}

// Adds the administration windows: workplace, parameters, unit change, password and About.
void registerAdminWindows(app::WindowCatalog& catalog);
