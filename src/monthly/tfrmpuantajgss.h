#pragma once

#include "monthly/tfrmpuantaj.h"

namespace zelvo::monthly {

// The timesheet of the general health insurance students (menu "(GSS) - Puantaj").
class TFrmPuantajgss : public TFrmPuantaj {
    Q_OBJECT
public:
    TFrmPuantajgss(ui::AppContext& context, QWidget* owner);
};

} // namespace zelvo::monthly
