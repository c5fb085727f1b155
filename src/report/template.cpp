#include "report/template.h"

#include "report/templateencoding.h"
#include "report/templatemodel.h"
#include "report/templateparsefailure.h"
#include "report/templateparser.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace zelvo::report {

using namespace detail;

Template::Template(std::shared_ptr<const TemplateModel> model) : m_model(std::move(model)) {}

Result<Template> Template::parse(const QString& text, const QString& fileName)
{
    try {
        return Template(std::make_shared<const TemplateModel>(parseTemplateText(text, fileName)));
    } catch (const ParseFailure& f) {
        return ReportError{fileName, f.line, f.column, f.message};
    }
}

Result<Template> Template::load(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return ReportError{path, 0, 0, u"şablon dosyası bulunamadı"_s};
    if (!file.open(QIODevice::ReadOnly))
        return ReportError{path, 0, 0, u"şablon dosyası açılamadı: %1"_s.arg(file.errorString())};
    const Result<QString> text = decodeTemplateText(file.readAll(), path);
    if (!text)
        return text.error();
    return parse(*text, path);
}

QString Template::fileName() const
{
    return m_model->fileName;
}

QString Template::name() const
{
    return m_model->name;
}

} // namespace zelvo::report
