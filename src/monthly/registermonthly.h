#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::monthly {

// Adds the timesheet and accrual windows of both editions to the catalog.
void registerMonthlyWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::monthly
