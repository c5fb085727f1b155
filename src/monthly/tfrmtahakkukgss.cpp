#include "monthly/tfrmtahakkukgss.h"

namespace zelvo::monthly {

TFrmTahakkukGss::TFrmTahakkukGss(ui::AppContext& context, QWidget* owner)
    : TFrmTahakkuk(context, owner, AccrualEdition::gss())
{
}

} // namespace zelvo::monthly
