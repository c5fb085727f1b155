// The declaration check as the user gets it: a printable report through the report engine, with
// the bundled template "denetim.frf" in the template folder, or a message when nothing is found.
#pragma once

#include "declaration/declarationcheck.h"
#include "report/reportdata.h"

#include <QString>

namespace zelvo::ui {
class DialogService;
}
namespace zelvo::report {
class PreviewDialog;
}

namespace zelvo::declaration {

// The template's file name in the template folder.
QString checkTemplateFile();

// The check's template in `folder`. A missing file is first put there from the bundle; a file
// that is there, even an edited or broken one, is never overwritten (a broken one gives the
// engine's error page). A failed copy goes into *error.
QString checkTemplatePath(const QString& folder, QString* error = nullptr);

// One data row per finding, in the result's order: hata ("HATA" for an error, else empty),
// uyari ("UYARI" for a warning), satir (the shown row, empty for the workplace and parameter
// rows), ogrencino, adsoyad, alan, deger, aciklama. The workplace record "isyeri" and the
// variables yil (year text), ay (M), sigorta (" - GENEL SAĞLIK SİGORTASI" in the GSS edition),
// satirsayisi (rows checked) and ozet ("n hata, m uyarı").
report::ReportData checkReportData(const CheckResult& result, const WorkplaceRecord& workplace,
                                   const QString& yearText, int month, Edition edition);

// The message shown instead of the report when nothing was found.
QString checkPassedText(int rowsChecked);

// The name the preview's save dialog proposes: denetim-2012-03, GSS-denetim-2012-03.
QString proposedCheckReportName(const QString& yearText, int month, Edition edition);

// The preview's open and save questions and its failures go through the dialog service like
// every other box of the window.
void askThroughDialogService(report::PreviewDialog& preview, ui::DialogService& dialogs,
                             const QString& proposedName);

} // namespace zelvo::declaration
