#pragma once

// Reads template text line by line into a TemplateModel: the report line, the band lines
// and the items under each band.

#include "report/templatemodel.h"

#include <QString>

namespace zelvo::report::detail {

// Throws ParseFailure at the first problem.
TemplateModel parseTemplateText(const QString& text, const QString& fileName);

} // namespace zelvo::report::detail
