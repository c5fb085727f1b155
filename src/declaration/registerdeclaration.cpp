#include "declaration/registerdeclaration.h"

#include "declaration/tfrmxmlgss.h"
#include "ui/windowcatalog.h"

namespace zelvo::declaration {

void registerDeclarationWindows(ui::WindowCatalog& catalog)
{
    using namespace zelvo::declaration;
    catalog.add(QStringLiteral("TFrmxml"), [](ui::AppContext& context, QWidget* owner) {
        return new TFrmxml(context, owner);
    });
    catalog.add(QStringLiteral("TFrmxmlgss"), [](ui::AppContext& context, QWidget* owner) {
        return new TFrmxmlgss(context, owner);
    });
}

} // namespace zelvo::declaration
