#pragma once

// The report engine in one include: templates, data, layout, prepared reports and preview.
//
//     report::ReportData data = report::ReportData::fromRows(rows);
//     data.setRecord(u"isyeri"_s, workplace);
//     data.setRecord(u"parametre"_s, parameters);
//     const report::PreparedReport prepared =
//         report::prepareReport(report::templateFolder() + u"liste1.frf"_s, data);
//     report::PreviewDialog preview(prepared, window);
//     preview.exec();   // or through the dialog service

#include "report/pageview.h"
#include "report/preparedreport.h"
#include "report/previewdialog.h"
#include "report/render.h"
#include "report/reportdata.h"
#include "report/reporterror.h"
#include "report/template.h"
#include "report/templates.h"

#include <optional>

namespace zelvo::report {

// What a list window keeps: the template it loaded last. A failed load leaves the template
// loaded before in place, so the window can still show its report; with no template at all
// the report is the one-page error report.
class Report {
public:
    // Reads the template file anew. Returns whether it was read; on failure the previous
    // template stays and lastError() says why.
    bool loadTemplate(const QString& path);
    bool hasTemplate() const { return m_template.has_value(); }
    const ReportError& lastError() const { return m_lastError; }

    // Lays the data out with the current template; any failure gives the error report.
    PreparedReport prepare(const ReportData& data, const RenderOptions& options = {}) const;

private:
    std::optional<Template> m_template;
    ReportError m_lastError;
};

// Loads the template file and lays the data out. Never fails: when the template is missing or
// broken, or does not fit the data, the result is the one-page error report naming the file and
// the problem (with its line and column).
PreparedReport prepareReport(const QString& templatePath, const ReportData& data,
                             const RenderOptions& options = {});

} // namespace zelvo::report
