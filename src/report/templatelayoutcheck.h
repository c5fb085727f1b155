#pragma once

// Checks made once the whole template is read: every item inside its band, and the bands
// that must share a page fitting on it together.

#include "report/templatemodel.h"

namespace zelvo::report::detail {

// Throws ParseFailure at the item or band that does not fit.
void checkTemplateLayout(const TemplateModel& model);

} // namespace zelvo::report::detail
