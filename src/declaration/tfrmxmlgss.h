#pragma once

#include "declaration/tfrmxml.h"

namespace zelvo::declaration {

// The declaration files of the general health insurance students (menu "(GSS) - XML Dosyası").
class TFrmxmlgss : public TFrmxml {
    Q_OBJECT
public:
    explicit TFrmxmlgss(ui::AppContext& context, QWidget* owner = nullptr);
};

} // namespace zelvo::declaration
