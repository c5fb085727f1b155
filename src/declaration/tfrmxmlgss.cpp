#include "tfrmxmlgss.h"

namespace zelvo::declaration {

TFrmxmlgss::TFrmxmlgss(app::AppContext& context, QWidget* owner)
    : TFrmxml(context, owner, DeclarationEdition::gss())
{
}

} // namespace zelvo::declaration
