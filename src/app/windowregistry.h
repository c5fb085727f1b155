#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::app {

// Fills the catalog with every window the program has, under the class names the main window's
// buttons and menus open.
void registerAllWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::app
