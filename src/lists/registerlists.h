#pragma once

namespace app {
class WindowCatalog;
}

// Adds the List-1 and List-2 windows of both editions to the catalog.
void registerListWindows(app::WindowCatalog& catalog);
