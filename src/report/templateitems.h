#pragma once

// The item lines of a band: "text", "line" and "rect" with their placement and looks.

#include "report/templatelexer.h"
#include "report/templatemodel.h"

#include <QList>

namespace zelvo::report::detail {

// `head`: the item's command word; `properties`: the tokens after it. A text takes
// `defaultFont` until its own font properties change it; an item without a height reaches
// to the bottom of its band, `bandHeight` mm high. Throws ParseFailure.
Item parseItem(const Token& head, const QList<Token>& properties, int line,
               const PreparedFont& defaultFont, double bandHeight);

} // namespace zelvo::report::detail
