#include "monthly/tfrmpuantajgss.h"

namespace zelvo::monthly {

TFrmPuantajgss::TFrmPuantajgss(ui::AppContext& context, QWidget* owner)
    : TFrmPuantaj(context, owner, TimesheetEdition::gss())
{
}

} // namespace zelvo::monthly
