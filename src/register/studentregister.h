#pragma once

namespace app {
class WindowCatalog;
}

// Adds the student register window ("TFrmPSicil") to the main window's catalog.
void registerRegisterWindows(app::WindowCatalog& catalog);
