#pragma once

#include "report/reportdata.h"

// Made-up but realistic list rows, workplace and parameter records for the benchmark and the
// demo renderings of the bundled templates.
namespace zelvo::report::demo {

// `rows` students of one unit for the given month; amounts as the database returns them
// (decimal text), dates as ISO text. The variables are those the list windows hand over, for
// the standard or the general health insurance edition.
ReportData listData(int rows, int year = 2024, int month = 3, bool gss = false);

} // namespace zelvo::report::demo
