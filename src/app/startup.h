#pragma once

#include "connection.h"
#include "dialogservice.h"

namespace app {

// Opens the database the installation's settings name. On failure the error box is shown and
// false returned; the program then ends with a non-zero exit code.
bool openDatabase(db::Connection& connection, DialogService& dialogs, const QString& settingsPath);

// Program-wide settings: title, locale (Turkish where the workstation has none), fonts.
void setUpApplication();

} // namespace app
