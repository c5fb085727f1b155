#pragma once

#include "reportdata.h"

// Made-up but realistic list rows, workplace and parameter records for the benchmark and the
// demo renderings of the bundled templates.
namespace report::demo {

// `rows` students of one unit for the given month; amounts as the database returns them
// (decimal text), dates as ISO text.
ReportData listData(int rows, int year = 2024, int month = 3);

} // namespace report::demo
