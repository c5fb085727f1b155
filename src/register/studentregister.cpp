#include "register/studentregister.h"

#include "register/tfrmpsicil.h"
#include "ui/windowcatalog.h"

namespace zelvo::studentregister {

void registerRegisterWindows(ui::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmPSicil"), [](ui::AppContext& context, QWidget* owner) {
        return new studentregister::TFrmPSicil(context, owner);
    });
}

} // namespace zelvo::studentregister
