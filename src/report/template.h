#pragma once

#include "reporterror.h"

#include <QString>

#include <memory>

namespace report {

namespace detail {
struct TemplateModel;
}

// A report template read from a ".frf" file (format: docs/report-templates.md). Immutable and
// cheap to copy; a list window may keep the last good one around.
class Template {
public:
    // Parses template text. `fileName` only names the source in error messages.
    static Result<Template> parse(const QString& text, const QString& fileName = {});
    // Reads a UTF-8 template file and parses it.
    static Result<Template> load(const QString& path);

    QString fileName() const;
    // The `name` given in the report line, e.g. "Liste-1"; may be empty.
    QString name() const;

    const detail::TemplateModel& model() const { return *m_model; }

private:
    explicit Template(std::shared_ptr<const detail::TemplateModel> model);
    std::shared_ptr<const detail::TemplateModel> m_model;
};

} // namespace report
