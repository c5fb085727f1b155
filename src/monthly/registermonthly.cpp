#include "registermonthly.h"

#include "tfrmpuantajgss.h"
#include "tfrmtahakkukgss.h"
#include "windowcatalog.h"

void registerMonthlyWindows(app::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmPuantaj"), [](app::AppContext& context, QWidget* owner) {
        return new TFrmPuantaj(context, owner);
    });
    catalog.add(QStringLiteral("TFrmPuantajgss"), [](app::AppContext& context, QWidget* owner) {
        return new TFrmPuantajgss(context, owner);
    });
    catalog.add(QStringLiteral("TFrmTahakkuk"), [](app::AppContext& context, QWidget* owner) {
        return new TFrmTahakkuk(context, owner);
    });
    catalog.add(QStringLiteral("TFrmTahakkukGss"), [](app::AppContext& context, QWidget* owner) {
        return new TFrmTahakkukGss(context, owner);
    });
}
