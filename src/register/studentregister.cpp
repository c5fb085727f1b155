#include "studentregister.h"

#include "tfrmpsicil.h"
#include "windowcatalog.h"

void registerRegisterWindows(app::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmPSicil"), [](app::AppContext& context, QWidget* owner) {
        return new studentregister::TFrmPSicil(context, owner);
    });
}
