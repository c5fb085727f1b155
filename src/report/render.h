#pragma once

#include "report/preparedreport.h"
#include "report/reportdata.h"
#include "report/reporterror.h"
#include "report/template.h"

namespace zelvo::report {

// Lays the data out on pages as the template says. Texts are computed and placed here;
// nothing is painted. Fails when the template names a field, record or variable that the data
// does not have, or when a summed value is not a number; the error carries the template
// position of the offending field.
Result<PreparedReport> render(const Template& tmpl, const ReportData& data,
                              const RenderOptions& options = {});

} // namespace zelvo::report
