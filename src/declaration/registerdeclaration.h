#pragma once

namespace app {
class WindowCatalog;
}

// Adds the declaration windows of both editions ("TFrmxml", "TFrmxmlgss") to the catalog.
void registerDeclarationWindows(app::WindowCatalog& catalog);
