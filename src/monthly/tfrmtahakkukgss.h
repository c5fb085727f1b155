#pragma once

#include "monthly/tfrmtahakkuk.h"

namespace zelvo::monthly {

// The accrual of the general health insurance students (menu "(GSS) - Tahakkuk").
class TFrmTahakkukGss : public TFrmTahakkuk {
    Q_OBJECT
public:
    TFrmTahakkukGss(ui::AppContext& context, QWidget* owner);
};

} // namespace zelvo::monthly
