#include "admin/adminwindows.h"

#include "admin/tfrmbirimdegistir.h"
#include "admin/tfrmhakkinda.h"
#include "admin/tfrmisyeri.h"
#include "admin/tfrmparametre.h"
#include "admin/tfrmsifre.h"
#include "ui/windowcatalog.h"

namespace zelvo::admin {

namespace {

template <typename Window> ui::WindowCatalog::Factory factory()
{
    return [](ui::AppContext& context, QWidget* owner) { return new Window(context, owner); };
}

} // namespace

void registerAdminWindows(ui::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmisyeri"), factory<admin::TFrmisyeri>());
    catalog.add(QStringLiteral("TFrmparametre"), factory<admin::TFrmparametre>());
    catalog.add(QStringLiteral("TFrmbirimdegistir"), factory<admin::TFrmbirimdegistir>());
    catalog.add(QStringLiteral("TFrmsifre"), factory<admin::TFrmsifre>());
    catalog.add(QStringLiteral("TFrmHakkinda"), factory<admin::TFrmHakkinda>());
}

} // namespace zelvo::admin
