#include "tfrmtahakkukgss.h"

TFrmTahakkukGss::TFrmTahakkukGss(app::AppContext& context, QWidget* owner)
    : TFrmTahakkuk(context, owner, AccrualEdition::gss())
{
}
