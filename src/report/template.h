#pragma once

#include "report/reporterror.h"

#include <QString>

#include <memory>

namespace zelvo::report {

namespace detail {
struct TemplateModel;
}

// A report template read from a ".frf" file (format: docs/report-templates.md). Immutable and
// cheap to copy; a list window may keep the last good one around.
class Template {
public:
    // Parses template text. `fileName` only names the source in error messages.
    static Result<Template> parse(const QString& text, const QString& fileName = {});
    // Reads a template file and parses it. The file is UTF-8, or Windows-1254 (what Turkish
    // Windows editors save) when it is not valid UTF-8.
    static Result<Template> load(const QString& path);

    // Limits that keep a template from asking for more than a page can hold; a template
    // beyond them is refused when it is read.
    static constexpr int kMaxCallNesting = 200; // calls inside calls within one field
    static constexpr double kMinPageMm = 20;    // each side of a page given as WIDTHxHEIGHT
    static constexpr double kMaxPageMm = 2000;
    static constexpr double kMaxFontPoints = 400;

    QString fileName() const;
    // The `name` given in the report line, e.g. "Liste-1"; may be empty.
    QString name() const;

    const detail::TemplateModel& model() const { return *m_model; }

private:
    explicit Template(std::shared_ptr<const detail::TemplateModel> model);
    std::shared_ptr<const detail::TemplateModel> m_model;
};

} // namespace zelvo::report
