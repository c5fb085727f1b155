#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::studentregister {

// Adds the student register window ("TFrmPSicil") to the main window's catalog.
void registerRegisterWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::studentregister
