#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::admin {

// Adds the administration windows: workplace, parameters, unit change, password and About.
void registerAdminWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::admin
