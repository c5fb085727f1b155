#pragma once

#include "controls/datasetmodel.h"
#include "report/reportdata.h"

#include <QStringList>
#include <QVariantHash>
#include <QVector>

namespace zelvo::core {
class Period;
}
namespace zelvo::db {
class Dataset;
}

// The rows a list window reads and what it hands to the report engine.
namespace zelvo::lists {

// The fifteen columns of the list rows (`Liste1`, `Liste1xxx`).
const QStringList& listColumns();
// The ten columns of the workplace row (`isyerigetir`).
const QStringList& workplaceColumns();
// Opens the dataset's call and checks that its result has all of `columns`; when one is
// missing the dataset is closed again (nothing half-bound is shown) and db::DbError names it.
void openWithColumns(db::Dataset& dataset, const QStringList& columns);

// The twelve columns the grid shows; `matrah`, `idogrenci` and `tckimlikno` are not shown.
QVector<controls::GridColumn> gridColumns();

// The current row as a record for the report: every column of the dataset, all empty when it
// has no current row, so that a template printing a field of a missing row prints nothing.
QVariantHash currentRecord(const db::Dataset& dataset);

// The report's data: the list rows in the order delivered, the workplace row as the record
// "isyeri", the parameter row as "parametre", and the variables "yil" (year text), "ay" (M) and
// "ayadi" (the month's name).
report::ReportData reportData(const db::Dataset& rows, const db::Dataset& workplace,
                              const db::Dataset& parameters, const core::Period& period,
                              bool gss = false);

} // namespace zelvo::lists
