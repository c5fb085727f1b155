#pragma once

#include "tfrmtahakkuk.h"

// The accrual of the general health insurance students (menu "(GSS) - Tahakkuk").
class TFrmTahakkukGss : public TFrmTahakkuk {
    Q_OBJECT
public:
    TFrmTahakkukGss(app::AppContext& context, QWidget* owner);
};
