#pragma once

namespace zelvo::ui {
class WindowCatalog;
}

namespace zelvo::declaration {

// Adds the declaration windows of both editions ("TFrmxml", "TFrmxmlgss") to the catalog.
void registerDeclarationWindows(ui::WindowCatalog& catalog);

} // namespace zelvo::declaration
