#pragma once

class QWidget;

namespace app {
struct AppContext;
}

namespace backup {

// "Yedek Al": a copy of the database to a file the user chooses (a USB stick, another disk),
// through the save dialog; written completely before it takes the chosen name.
void takeManualBackup(app::AppContext& context, QWidget* parent);

} // namespace backup
