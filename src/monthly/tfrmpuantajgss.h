#pragma once

#include "tfrmpuantaj.h"

// The timesheet of the general health insurance students (menu "(GSS) - Puantaj").
class TFrmPuantajgss : public TFrmPuantaj {
    Q_OBJECT
public:
    TFrmPuantajgss(app::AppContext& context, QWidget* owner);
};
