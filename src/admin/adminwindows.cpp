#include "adminwindows.h"

#include "tfrmbirimdegistir.h"
#include "tfrmhakkinda.h"
#include "tfrmisyeri.h"
#include "tfrmparametre.h"
#include "tfrmsifre.h"
#include "windowcatalog.h"

namespace {

template <typename Window> app::WindowCatalog::Factory factory()
{
    return [](app::AppContext& context, QWidget* owner) { return new Window(context, owner); };
}

} // namespace

void registerAdminWindows(app::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmisyeri"), factory<admin::TFrmisyeri>());
    catalog.add(QStringLiteral("TFrmparametre"), factory<admin::TFrmparametre>());
    catalog.add(QStringLiteral("TFrmbirimdegistir"), factory<admin::TFrmbirimdegistir>());
    catalog.add(QStringLiteral("TFrmsifre"), factory<admin::TFrmsifre>());
    catalog.add(QStringLiteral("TFrmHakkinda"), factory<admin::TFrmHakkinda>());
}
