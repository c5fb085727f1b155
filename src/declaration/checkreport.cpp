#include "declaration/checkreport.h"

#include "db/dberror.h"
#include "report/previewdialog.h"
#include "ui/dialogservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

// The templates are resources of a static library; the macro must stand outside any namespace.
static void registerBundledTemplates()
{
    Q_INIT_RESOURCE(report_templates);
}

namespace zelvo::declaration {

QString checkTemplateFile()
{
    return u"denetim.frf"_s;
}

QString checkTemplatePath(const QString& folder, QString* error)
{
    const QDir dir(QDir::fromNativeSeparators(folder));
    const QString path = dir.filePath(checkTemplateFile());
    if (QFileInfo::exists(path)) {
        return path;
    }
    registerBundledTemplates();
    dir.mkpath(u"."_s);
    QFile source(u":/reports/"_s + checkTemplateFile());
    QFile out(path);
    if (!source.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) ||
        out.write(source.readAll()) < 0 || !out.flush()) {
        if (error) {
            *error = u"%1: %2"_s.arg(path, out.errorString());
        }
        out.remove();
        return path;
    }
    // resource files are read-only; the copy must stay editable
    out.setPermissions(out.permissions() | QFileDevice::WriteOwner);
    return path;
}

report::ReportData checkReportData(const CheckResult& result, const WorkplaceRecord& workplace,
                                   const QString& yearText, int month, Edition edition)
{
    QList<QVariantHash> rows;
    rows.reserve(result.findings.size());
    for (const Finding& f : result.findings) {
        const bool error = f.severity == Severity::Error;
        rows.append({{u"hata"_s, error ? u"HATA"_s : QString()},
                     {u"uyari"_s, error ? QString() : u"UYARI"_s},
                     {u"satir"_s, f.row > 0 ? QString::number(f.row) : QString()},
                     {u"ogrencino"_s, f.studentNumber},
                     {u"adsoyad"_s, f.name},
                     {u"alan"_s, f.field},
                     {u"deger"_s, f.value},
                     {u"aciklama"_s, f.reason}});
    }
    report::ReportData data = report::ReportData::fromRows(rows);
    data.setRecord(u"isyeri"_s, {{u"birimadi"_s, workplace.birimadi},
                                 {u"isyerisicil"_s, workplace.isyerisicil},
                                 {u"kontrolno"_s, workplace.kontrolno},
                                 {u"isyeriaracino"_s, workplace.isyeriaracino},
                                 {u"isyeriadres"_s, workplace.isyeriadres},
                                 {u"isyerivergino"_s, workplace.isyerivergino}});
    data.setVariable(u"yil"_s, yearText);
    data.setVariable(u"ay"_s, month);
    data.setVariable(u"sigorta"_s,
                     edition == Edition::Gss ? u" - GENEL SAĞLIK SİGORTASI"_s : QString());
    data.setVariable(u"satirsayisi"_s, result.rowsChecked);
    data.setVariable(u"ozet"_s, result.summary());
    return data;
}

QString checkPassedText(int rowsChecked)
{
    return u"Bildirge denetlendi: %1 satırda hata ya da uyarı bulunmadı."_s.arg(rowsChecked);
}

QString proposedCheckReportName(const QString& yearText, int month, Edition edition)
{
    const QString name = u"denetim-%1-%2"_s.arg(yearText).arg(month, 2, 10, QChar(u'0'));
    return edition == Edition::Gss ? u"GSS-"_s + name : name;
}

void askThroughDialogService(report::PreviewDialog& preview, ui::DialogService& dialogs,
                             const QString& proposedName)
{
    const QString reportFilter = report::PreviewDialog::kReportFilter;
    const QString pdfFilter = report::PreviewDialog::kPdfFilter;
    preview.chooseOpenFile = [&dialogs, reportFilter](QWidget* parent) {
        return dialogs.openFileName(parent, u"Hazır rapor aç"_s, reportFilter);
    };
    preview.chooseSaveFile = [&dialogs, reportFilter, pdfFilter, proposedName](QWidget* parent,
                                                                               QString* filter) {
        const QString name = dialogs.saveFileName(
            parent, u"Raporu kaydet"_s, reportFilter + u";;"_s + pdfFilter, u"zrp"_s, proposedName);
        if (filter) {
            *filter = name.endsWith(u".pdf"_s, Qt::CaseInsensitive) ? pdfFilter : reportFilter;
        }
        return name;
    };
    preview.showError = [&dialogs](QWidget* parent, const QString& text) {
        dialogs.error(parent, db::errorBoxText(text));
    };
}

} // namespace zelvo::declaration
