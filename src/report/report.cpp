#include "report.h"

namespace report {

PreparedReport prepareReport(const QString& templatePath, const ReportData& data,
                             const RenderOptions& options)
{
    const Result<Template> tmpl = Template::load(templatePath);
    if (!tmpl)
        return PreparedReport::errorReport(templatePath, tmpl.error().toString());
    Result<PreparedReport> prepared = render(*tmpl, data, options);
    if (!prepared)
        return PreparedReport::errorReport(templatePath, prepared.error().toString());
    return std::move(prepared).value();
}

} // namespace report
