#pragma once

namespace app {
class WindowCatalog;
}

namespace backup {

// Adds "TFrmYedekGeriYukle" (the restore window) and "YedekAl", the manual copy, which needs no
// window of its own: it asks for a file through the save dialog and gives the main window none.
void registerBackupWindows(app::WindowCatalog& catalog);

} // namespace backup
