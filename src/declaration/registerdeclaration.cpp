#include "registerdeclaration.h"

#include "tfrmxmlgss.h"
#include "windowcatalog.h"

void registerDeclarationWindows(app::WindowCatalog& catalog)
{
    using namespace zelvo::declaration;
    catalog.add(QStringLiteral("TFrmxml"), [](app::AppContext& context, QWidget* owner) {
        return new TFrmxml(context, owner);
    });
    catalog.add(QStringLiteral("TFrmxmlgss"), [](app::AppContext& context, QWidget* owner) {
        return new TFrmxmlgss(context, owner);
    });
}
