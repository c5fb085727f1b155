#pragma once

// The report engine in one include: templates, data, layout, prepared reports and preview.
//
//     report::ReportData data = report::ReportData::fromRows(rows);
//     data.setRecord(u"isyeri"_s, workplace);
//     data.setRecord(u"parametre"_s, parameters);
//     const report::PreparedReport prepared =
//         report::prepareReport(report::templateFolder() + u"liste1.frf"_s, data);
//     report::showPreview(prepared, window);

#include "pageview.h"
#include "preparedreport.h"
#include "previewdialog.h"
#include "render.h"
#include "reportdata.h"
#include "reporterror.h"
#include "template.h"
#include "templates.h"

namespace report {

// Loads the template file and lays the data out. Never fails: when the template is missing or
// broken, or does not fit the data, the result is the one-page error report naming the file and
// the problem (with its line and column).
PreparedReport prepareReport(const QString& templatePath, const ReportData& data,
                             const RenderOptions& options = {});

} // namespace report
