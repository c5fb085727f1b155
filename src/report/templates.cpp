#include "report/templates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

static void initTemplateResources()
{
    // The resources live in a static library: make sure they are registered.
    Q_INIT_RESOURCE(report_templates);
}

namespace zelvo::report {

QString templateFolder()
{
#ifdef Q_OS_WIN
    return u"c:\\zelvo\\"_s;
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString folder = base + u"/templates"_s;
    QDir().mkpath(folder);
    return folder + u'/';
#endif
}

QStringList bundledTemplates()
{
    initTemplateResources();
    return {u":/reports/liste1.frf"_s, u":/reports/liste2.frf"_s};
}

QStringList ensureBundledTemplates(const QString& folder, QStringList* errors)
{
    QString target = folder.isEmpty() ? templateFolder() : folder;
    if (!target.endsWith(u'/') && !target.endsWith(u'\\'))
        target += u'/';
    QDir().mkpath(target);
    QStringList written;
    for (const QString& resource : bundledTemplates()) {
        const QString name = QFileInfo(resource).fileName();
        const QString path = target + name;
        if (QFileInfo::exists(path))
            continue;
        QFile source(resource);
        QFile out(path);
        if (!source.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
            out.write(source.readAll()) < 0) {
            if (errors)
                errors->append(u"%1: %2"_s.arg(path, out.errorString()));
            out.remove();
            continue;
        }
        // Resource files are read-only; the copy must be editable.
        out.setPermissions(out.permissions() | QFileDevice::WriteOwner);
        written.append(name);
    }
    return written;
}

} // namespace zelvo::report
