#include "declaration/tfrmxmlgss.h"

namespace zelvo::declaration {

TFrmxmlgss::TFrmxmlgss(ui::AppContext& context, QWidget* owner)
    : TFrmxml(context, owner, DeclarationEdition::gss())
{
}

} // namespace zelvo::declaration
