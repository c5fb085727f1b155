#pragma once

class QWidget;

namespace zelvo::ui {
struct AppContext;
}

namespace zelvo::backup {

// "Yedek Al": a copy of the database to a file the user chooses (a USB stick, another disk),
// through the save dialog; written completely before it takes the chosen name.
void takeManualBackup(ui::AppContext& context, QWidget* parent);

} // namespace zelvo::backup
