#include "lists/tfrmliste.h"

#include "core/period.h"
#include "lists/listrows.h"
#include "monthly/periodselector.h"
#include "ui/busycursor.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

namespace zelvo::lists {

TFrmListe::TFrmListe(ui::AppContext& context, QWidget* owner, const ListVariant& variant)
    : monthly::MonthlyWindow(context, variant.instanceName, QSize(1084, 740), owner),
      m_variant(variant)
{
    setMonthChain(m_variant.isGss());
    m_workplace = addDataset(QStringLiteral("SpGetir"));
    m_parameters = addDataset(QStringLiteral("SpParametre"));
    m_rows = addDataset(QStringLiteral("SpGenel1"));
    m_rows->setReadOnly(true);

    // read-only rows: the navigator's post never becomes active
    QFrame* panel = buildActionPanel(variant.initialYear, QStringLiteral("Göster"),
                                     QStringLiteral("goster"), 110, m_rows);
    connect(actionButton(), &QToolButton::clicked, this, &TFrmListe::showList);
    QLabel* title = addHeading(variant.title);
    addGrid(QSize(1064, 591), lists::gridColumns(), m_rows, true);
    layOutPage(panel, title, grid());
}

void TFrmListe::setTemplateFolder(const QString& folder)
{
    m_templateFolder = folder;
}

QString TFrmListe::templatePath() const
{
    const QString folder = m_templateFolder.isEmpty() ? report::templateFolder() : m_templateFolder;
    return QDir(QDir::fromNativeSeparators(folder)).filePath(m_variant.templateFile);
}

// The workplace row, the parameter row and the year box; the list rows stay as they are.
void TFrmListe::activate()
{
    m_workplace->prepareCall(QStringLiteral("isyerigetir"),
                             {{QStringLiteral("@key1"), context().unitCode()}});
    lists::openWithColumns(*m_workplace, lists::workplaceColumns());
    periodSelector()->loadYear(*m_parameters);
    refreshMonthState();
}

void TFrmListe::monthChosen(int)
{
    grid()->hide();
}

void TFrmListe::showList()
{
    grid()->show();
    if (!guarded([this] { openRows(); }))
        return;
    if (m_rows->recordCount() < 1)
        return;
    // the list is the accrual's: a month whose timesheet or accrual is stale is asked about
    if (!confirmChain(monthly::ChainStep::Accrual)) {
        grid()->hide();
        return;
    }
    showReport();
}

void TFrmListe::openRows()
{
    m_rows->prepareCall(m_variant.procedure,
                        {{QStringLiteral("@key1"), periodSelector()->yearText()},
                         {QStringLiteral("@key2"), periodSelector()->month()},
                         {QStringLiteral("@key3"), context().unitCode()}});
    lists::openWithColumns(*m_rows, lists::listColumns());
}

// The template is read anew at every run. A missing file is first put back from the bundle; a
// file that is there, even a broken one, is never overwritten: a broken file gives the error
// page, or the template loaded before in this window.
void TFrmListe::showReport()
{
    report::PreparedReport prepared;
    {
        ui::BusyCursor busy;
        const QString path = templatePath();
        report::ensureBundledTemplates(QFileInfo(path).absolutePath());
        m_report.loadTemplate(path); // on failure the engine keeps what it had
        prepared = m_report.prepare(lists::reportData(
            *m_rows, *m_workplace, *m_parameters, periodSelector()->period(), m_variant.isGss()));
    }
    report::PreviewDialog preview(prepared, this);
    askThroughDialogService(preview);
    runModal(preview);
}

// The preview's file questions and failures go through the dialog service like every other box.
void TFrmListe::askThroughDialogService(report::PreviewDialog& preview) const
{
    ui::DialogService& dialogs = context().dialogs;
    const QString reportFilter = report::PreviewDialog::kReportFilter;
    const QString pdfFilter = report::PreviewDialog::kPdfFilter;
    const QString proposedName =
        QStringLiteral("%1-%2-%3")
            .arg(QFileInfo(m_variant.templateFile).baseName(), periodSelector()->yearText(),
                 core::Period::twoDigits(periodSelector()->month()));
    preview.chooseOpenFile = [&dialogs, reportFilter](QWidget* parent) {
        return dialogs.openFileName(parent, QStringLiteral("Hazır rapor aç"), reportFilter);
    };
    preview.chooseSaveFile = [&dialogs, reportFilter, pdfFilter, proposedName](QWidget* parent,
                                                                               QString* filter) {
        const QString name = dialogs.saveFileName(parent, QStringLiteral("Raporu kaydet"),
                                                  reportFilter + QStringLiteral(";;") + pdfFilter,
                                                  QStringLiteral("zrp"), proposedName);
        if (filter)
            *filter = name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? pdfFilter
                                                                                 : reportFilter;
        return name;
    };
    preview.showError = [&dialogs](QWidget* parent, const QString& text) {
        dialogs.error(parent, db::errorBoxText(text));
    };
}

} // namespace zelvo::lists
