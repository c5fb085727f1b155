#include "report/report.h"

namespace zelvo::report {

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

bool Report::loadTemplate(const QString& path)
{
    Result<Template> loaded = Template::load(path);
    if (!loaded) {
        m_lastError = loaded.error();
        return false;
    }
    m_template = std::move(loaded).value();
    m_lastError = {};
    return true;
}

PreparedReport Report::prepare(const ReportData& data, const RenderOptions& options) const
{
    if (!m_template)
        return PreparedReport::errorReport(m_lastError.fileName, m_lastError.toString());
    Result<PreparedReport> prepared = render(*m_template, data, options);
    if (!prepared)
        return PreparedReport::errorReport(m_template->fileName(), prepared.error().toString());
    return std::move(prepared).value();
}

} // namespace zelvo::report
