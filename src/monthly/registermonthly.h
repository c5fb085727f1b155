#pragma once

namespace app {
class WindowCatalog;
}

// Adds the timesheet and accrual windows of both editions to the catalog.
void registerMonthlyWindows(app::WindowCatalog& catalog);
