#include "tfrmtahakkuk.h"

#include "accrualcomputation.h"
#include "backupservice.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "look.h"
#include "periodselector.h"
#include "runprogress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

namespace {

const QString noTimesheetText = QStringLiteral(
    "İlgili aya ait kayıt bulunamadı. Öncelikle Öğrenci Bilgileri bölümünden staj başlangıç ve "
    "bitiş tarihlerini kontrol ediniz. Daha sonra ise Puantaj bölümünden ilgili aya ait puantaj "
    "işlemini yapınız.");

} // namespace

TFrmTahakkuk::TFrmTahakkuk(app::AppContext& context, QWidget* owner, const AccrualEdition& edition)
    : ChildWindow(context, edition.instanceName, QSize(1091, 740), owner), m_edition(edition)
{
    auto dataset = [this](const char* name) {
        auto* d = new db::Dataset(this->context().connection, this);
        d->setObjectName(QString::fromLatin1(name));
        return d;
    };
    m_parameters = dataset("SpParametre");
    m_removal = dataset("SpSil");
    m_timesheet = dataset("SpGenel");
    m_store = dataset("SpOzel");
    m_result = dataset("SpGenel1");

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(10, 8, 10, 8);
    page->addWidget(buildTopPanel());
    m_title = new QLabel(edition.title, this);
    m_title->setObjectName(QStringLiteral("StaticText1"));
    look::setHeadingFont(m_title, 21);
    page->addWidget(m_title);
    buildGrid();
    page->addWidget(m_grid);
    page->addStretch(1);
}

QWidget* TFrmTahakkuk::buildTopPanel()
{
    QFrame* panel = look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    m_selector = new PeriodSelector(m_edition.initialYear, panel);
    row->addWidget(m_selector);
    row->addSpacing(12);

    m_accrueButton = look::speedButton(panel, QStringLiteral("SpeedButton5"),
                                       QStringLiteral("Tahakkuk Ettir"), QStringLiteral("hesapla"));
    m_accrueButton->setFont(look::verdana(13, true));
    m_accrueButton->setMinimumWidth(150);
    row->addWidget(m_accrueButton);
    row->addSpacing(12);

    // connected to no data: every button stays disabled
    m_navigator = new controls::DbNavigator(controls::DbNavigator::monthlyButtons(), panel);
    m_navigator->setObjectName(QStringLiteral("wwDBNavigator1"));
    row->addWidget(m_navigator, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(createCloseButton(panel));

    connect(m_selector, &PeriodSelector::monthClicked, this, &TFrmTahakkuk::monthClicked);
    connect(m_accrueButton, &QToolButton::clicked, this, &TFrmTahakkuk::accrue);
    return panel;
}

void TFrmTahakkuk::buildGrid()
{
    m_grid = new controls::DbGrid(this);
    m_grid->setObjectName(QStringLiteral("wwDBGrid1"));
    m_grid->setFixedSize(1064, 591);
    m_grid->setColumns(m_edition.gridColumns);
    m_grid->setReadOnly(true);
    m_grid->setDataset(m_result);
    m_grid->fitColumnsToContent();
    m_grid->hide();
    connect(m_grid, &controls::DbGrid::databaseError, this, &TFrmTahakkuk::showError);
}

void TFrmTahakkuk::activate()
{
    m_selector->loadYear(*m_parameters);
}

void TFrmTahakkuk::monthClicked()
{
    m_grid->hide();
}

void TFrmTahakkuk::accrue()
{
    if (m_running)
        return;
    m_grid->hide();
    backup::backupBeforeReplacingRun(context(), this);
    m_running = true;
    std::optional<AccrualOutcome> outcome;
    QString failure;
    {
        RunProgress progress(this, QStringLiteral("Tahakkuk hesaplanıyor..."));
        try {
            outcome = computeAccrual(m_edition,
                                     {*m_parameters, *m_removal, *m_timesheet, *m_store, *m_result},
                                     m_selector->period(), context().unitCode(), progress);
        } catch (const db::DbError& e) {
            failure = e.text();
        }
    }
    m_running = false;
    if (!outcome) {
        showError(failure);
        return;
    }
    if (*outcome == AccrualOutcome::NoTimesheet) {
        message(noTimesheetText);
        return;
    }
    m_grid->fitColumnsToContent();
    m_grid->show();
}

void TFrmTahakkuk::closing()
{
    if (m_running)
        throw db::DbError(QStringLiteral("Tahakkuk hesaplanırken pencere kapatılamaz"));
    for (db::Dataset* dataset : {m_removal, m_store, m_timesheet, m_result, m_parameters})
        dataset->close();
}
