#include "tfrmliste.h"

#include "busycursor.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "listrows.h"
#include "look.h"
#include "periodselector.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TFrmListe::TFrmListe(app::AppContext& context, QWidget* owner, const ListVariant& variant)
    : ChildWindow(context, variant.instanceName, QSize(1084, 740), owner), m_variant(variant)
{
    auto dataset = [this](const char* name) {
        auto* d = new db::Dataset(this->context().connection, this);
        d->setObjectName(QString::fromLatin1(name));
        return d;
    };
    m_workplace = dataset("SpGetir");
    m_parameters = dataset("SpParametre");
    m_rows = dataset("SpGenel1");
    m_rows->setReadOnly(true);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(10, 8, 10, 8);
    page->addWidget(buildTopPanel());
    m_title = new QLabel(variant.title, this);
    m_title->setObjectName(QStringLiteral("StaticText1"));
    m_title->setTextFormat(Qt::PlainText); // keeps the blanks of "G.S.S.     Liste-1"
    look::setHeadingFont(m_title, 21);
    page->addWidget(m_title);
    buildGrid();
    page->addWidget(m_grid);
    page->addStretch(1);
}

QWidget* TFrmListe::buildTopPanel()
{
    QFrame* panel = look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    m_selector = new PeriodSelector(m_variant.initialYear, panel);
    row->addWidget(m_selector);
    row->addSpacing(12);

    m_showButton = look::speedButton(panel, QStringLiteral("SpeedButton5"),
                                     QStringLiteral("Göster"), QStringLiteral("goster"));
    m_showButton->setFont(look::verdana(13, true));
    m_showButton->setMinimumWidth(110);
    row->addWidget(m_showButton);
    row->addSpacing(12);

    m_navigator = new controls::DbNavigator(controls::DbNavigator::monthlyButtons(), panel);
    m_navigator->setObjectName(QStringLiteral("wwDBNavigator1"));
    m_navigator->setDataset(m_rows); // read-only rows: post never becomes active
    row->addWidget(m_navigator, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(createCloseButton(panel));

    connect(m_selector, &PeriodSelector::monthClicked, this, &TFrmListe::monthClicked);
    connect(m_showButton, &QToolButton::clicked, this, &TFrmListe::showList);
    connect(m_navigator, &controls::DbNavigator::databaseError, this, &TFrmListe::showError);
    return panel;
}

void TFrmListe::buildGrid()
{
    m_grid = new controls::DbGrid(this);
    m_grid->setObjectName(QStringLiteral("wwDBGrid1"));
    m_grid->setFixedSize(1064, 591);
    m_grid->setColumns(lists::gridColumns());
    m_grid->setReadOnly(true);
    m_grid->setDataset(m_rows);
    m_grid->hide();
    connect(m_grid, &controls::DbGrid::databaseError, this, &TFrmListe::showError);
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
    m_selector->loadYear(*m_parameters);
}

void TFrmListe::monthClicked()
{
    m_grid->hide();
}

void TFrmListe::showList()
{
    m_grid->show();
    if (!guarded([this] { openRows(); }))
        return;
    if (m_rows->recordCount() > 0)
        showReport();
}

void TFrmListe::openRows()
{
    m_rows->prepareCall(m_variant.procedure, {{QStringLiteral("@key1"), m_selector->yearText()},
                                              {QStringLiteral("@key2"), m_selector->month()},
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
        app::BusyCursor busy;
        const QString path = templatePath();
        report::ensureBundledTemplates(QFileInfo(path).absolutePath());
        m_report.loadTemplate(path); // on failure the engine keeps what it had
        prepared = m_report.prepare(
            lists::reportData(*m_rows, *m_workplace, *m_parameters, m_selector->period(),
                              m_variant.procedure.endsWith(QLatin1String("xxx"))));
    }
    report::PreviewDialog preview(prepared, this);
    askThroughDialogService(preview);
    runModal(preview);
}

// The preview's file questions and failures go through the dialog service like every other box.
void TFrmListe::askThroughDialogService(report::PreviewDialog& preview) const
{
    app::DialogService& dialogs = context().dialogs;
    const QString reportFilter = report::PreviewDialog::kReportFilter;
    const QString pdfFilter = report::PreviewDialog::kPdfFilter;
    const QString proposedName =
        QStringLiteral("%1-%2-%3")
            .arg(QFileInfo(m_variant.templateFile).baseName(), m_selector->yearText(),
                 Period::twoDigits(m_selector->month()));
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

void TFrmListe::closing()
{
    for (db::Dataset* dataset : {m_rows, m_workplace, m_parameters})
        dataset->close();
}
