#include "tfrmpuantajgss.h"

TFrmPuantajgss::TFrmPuantajgss(app::AppContext& context, QWidget* owner)
    : TFrmPuantaj(context, owner, TimesheetEdition::gss())
{
}
