#include "monthly/registermonthly.h"

#include "monthly/tfrmpuantajgss.h"
#include "monthly/tfrmtahakkukgss.h"
#include "ui/windowcatalog.h"

namespace zelvo::monthly {

void registerMonthlyWindows(ui::WindowCatalog& catalog)
{
    catalog.add(QStringLiteral("TFrmPuantaj"), [](ui::AppContext& context, QWidget* owner) {
        return new TFrmPuantaj(context, owner);
    });
    catalog.add(QStringLiteral("TFrmPuantajgss"), [](ui::AppContext& context, QWidget* owner) {
        return new TFrmPuantajgss(context, owner);
    });
    catalog.add(QStringLiteral("TFrmTahakkuk"), [](ui::AppContext& context, QWidget* owner) {
        return new TFrmTahakkuk(context, owner);
    });
    catalog.add(QStringLiteral("TFrmTahakkukGss"), [](ui::AppContext& context, QWidget* owner) {
        return new TFrmTahakkukGss(context, owner);
    });
}

} // namespace zelvo::monthly
