#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::lists {

// Adds the List-1 and List-2 windows of both editions to the catalog.
void registerListWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::lists
