#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::backup {

// Adds "TFrmYedekGeriYukle" (the restore window) and "YedekAl", the manual copy, which needs no
// window of its own: it asks for a file through the save dialog and gives the main window none.
void registerBackupWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::backup
