#pragma once

// The text of a text item: literal text with fields in [ ], each an expression with an
// optional display format ("[sum(tutar):#,##0.00]").

#include "report/templatemodel.h"

#include <QList>
#include <QString>

namespace zelvo::report::detail {

// `columns`: the source column of every character of `text`, for error positions on `line`.
// Throws ParseFailure.
QList<Segment> parseItemText(const QString& text, const QList<int>& columns, int line);

} // namespace zelvo::report::detail
