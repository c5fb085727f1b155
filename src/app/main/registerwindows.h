#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::app {

// Fills the catalog with every window the program has.
void registerAllWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::app
