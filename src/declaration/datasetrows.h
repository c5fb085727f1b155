// The rows a declaration window holds open, handed to the file writers as plain values.
#pragma once

#include "declaration/declarationinput.h"

namespace zelvo::db {
class Dataset;
}

namespace zelvo::declaration {

// One row of an open dataset by lower-case column name; where a name occurs twice the first
// column wins, as it does when the window reads a field by name.
QVariantHash rowValues(const db::Dataset& dataset, int row);

// The current row of the workplace or parameter dataset, after checking that every one of
// `columns` is there (a missing column throws db::DbError). Empty when the dataset holds no
// row; a closed dataset throws.
QVariantHash currentRowValues(const db::Dataset& dataset, const QStringList& columns);

// Every row of the shown rows, first to last.
QList<ShownRow> allRows(const db::Dataset& dataset);

} // namespace zelvo::declaration
