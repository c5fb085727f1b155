#include "monthly/tfrmtahakkuk.h"

#include "monthly/accrualcomputation.h"
#include "monthly/periodselector.h"

#include "core/money.h"

#include <QLabel>
#include <QToolButton>

namespace zelvo::monthly {

namespace {

const QString noTimesheetText = QStringLiteral(
    "İlgili aya ait kayıt bulunamadı. Öncelikle Öğrenci Bilgileri bölümünden staj başlangıç ve "
    "bitiş tarihlerini kontrol ediniz. Daha sonra ise Puantaj bölümünden ilgili aya ait puantaj "
    "işlemini yapınız.");

} // namespace

TFrmTahakkuk::TFrmTahakkuk(ui::AppContext& context, QWidget* owner, const AccrualEdition& edition)
    : MonthlyWindow(context, edition.instanceName, QSize(1091, 740), owner), m_edition(edition)
{
    setMonthChain(!edition.suffix.isEmpty(), ChainStep::Accrual);
    m_parameters = addDataset(QStringLiteral("SpParametre"));
    m_removal = addDataset(QStringLiteral("SpSil"));
    m_timesheet = addDataset(QStringLiteral("SpGenel"));
    m_store = addDataset(QStringLiteral("SpOzel"));
    m_result = addDataset(QStringLiteral("SpGenel1"));

    // the navigator is connected to no data: every button stays disabled
    QFrame* panel = buildActionPanel(edition.initialYear, QStringLiteral("Tahakkuk Ettir"),
                                     QStringLiteral("hesapla"), 150, nullptr);
    connect(actionButton(), &QToolButton::clicked, this, &TFrmTahakkuk::accrue);
    QLabel* title = addHeading(edition.title);
    addGrid(QSize(1064, 591), edition.gridColumns, m_result, true);
    layOutPage(panel, title, grid());
    connect(periodSelector(), &PeriodSelector::monthClicked, this, &TFrmTahakkuk::showMonthState);
}

void TFrmTahakkuk::activate()
{
    periodSelector()->loadYear(*m_parameters);
    showMonthState();
}

void TFrmTahakkuk::showMonthState()
{
    refreshMonthState();
    if (periodSelector()->month() != 12 || !m_parameters->isOpen() || m_parameters->isEmpty())
        return;
    const auto december =
        core::money::kurusFromVariant(m_parameters->value(QStringLiteral("au12")));
    const auto january = core::money::kurusFromVariant(m_parameters->value(QStringLiteral("au01")));
    if (!december || !january)
        return;
    const QString warning = core::money::lowJanuaryWageWarning(*december, *january);
    if (warning.isEmpty())
        return;
    // the state line has room for one line only: the warning goes first, where it is always
    // seen, and the whole line is the label's tool tip as well
    monthState()->setText(
        QStringLiteral("<span style=\"color:#9a5b00\"><b>UYARI:</b> %1</span> &nbsp;|&nbsp; ")
            .arg(warning.toHtmlEscaped()) +
        monthState()->text());
    monthState()->setToolTip(monthState()->text());
}

void TFrmTahakkuk::monthChosen(int)
{
    grid()->hide();
}

void TFrmTahakkuk::showStoredRows()
{
    showMonthView(*m_result, m_edition.procedure(QStringLiteral("TahakkukGenel")),
                  m_edition.resultColumns);
}

void TFrmTahakkuk::accrue()
{
    runIntoGrid(
        QStringLiteral("Tahakkuk hesaplanıyor..."),
        [this](RunProgress& progress) {
            return computeAccrual(
                m_edition, {*m_parameters, *m_removal, *m_timesheet, *m_store, *m_result},
                periodSelector()->period(), context().unitCode(), progress, context().userName());
        },
        AccrualOutcome::NoTimesheet, noTimesheetText);
    showMonthState();
}

void TFrmTahakkuk::closing()
{
    if (isRunning())
        throw db::DbError(QStringLiteral("Tahakkuk hesaplanırken pencere kapatılamaz"));
    MonthlyWindow::closing();
}

} // namespace zelvo::monthly
