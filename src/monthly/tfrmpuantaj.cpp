#include "monthly/tfrmpuantaj.h"

#include "core/wholenumber.h"
#include "monthly/periodselector.h"
#include "monthly/timesheetcomputation.h"
#include "ui/look.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace zelvo::monthly {

namespace {

using controls::GridColumn;

GridColumn column(const char* field, const char* title, int width, bool editable = false)
{
    GridColumn c;
    c.field = QString::fromLatin1(field);
    c.title = QString::fromUtf8(title);
    c.widthChars = width;
    c.readOnly = !editable;
    return c;
}

// The corrections a user may type: whole numbers of days, or nothing. A text stored into a day
// column would reach the accrual as garbage, so it is refused the way a number field would.
void checkDayColumns(db::Dataset& monthView)
{
    for (const char* name : {"gun", "gun1", "gun2"}) {
        const QString field = QString::fromLatin1(name);
        const QVariant value = monthView.value(field);
        if (value.isNull())
            continue;
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            monthView.setValue(field, QVariant(QMetaType(QMetaType::Int)));
            continue;
        }
        const std::optional<qlonglong> days = core::wholeNumber(text);
        if (!days || *days != int(*days))
            throw db::DbError(core::notWholeNumberMessage(value.toString()));
        if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::Double)
            monthView.setValue(field, int(*days));
    }
}

QVector<GridColumn> gridColumns()
{
    return {column("yil", "Yıl", 4),
            column("ay", "Ay", 2),
            column("ogrencino", "Öğrenci No", 10),
            column("adi", "Adı", 15),
            column("soyadi", "Soyadı", 20),
            column("gun", "İlgili Aya Ait Gün Sayısı", 15, true),
            column("gun1", "ESKİ ücrete tabi gün", 10, true),
            column("gun2", "YENİ ücrete tabi gün", 10, true),
            column("baslangictarihi", "Başlangıç", 10),
            column("bitistarihi", "Bitiş", 10)};
}

} // namespace

TFrmPuantaj::TFrmPuantaj(ui::AppContext& context, QWidget* owner, const TimesheetEdition& edition)
    : MonthlyWindow(context, edition.instanceName, QSize(1084, 740), owner), m_edition(edition)
{
    setHidesMainWindow(edition.hidesMainWindow);
    setMonthChain(!edition.suffix.isEmpty(), ChainStep::Timesheet);
    m_removal = addDataset(QStringLiteral("SpSil"));
    m_students = addDataset(QStringLiteral("SpGetir"));
    m_parameters = addDataset(QStringLiteral("SpParametre"));
    m_dayCount = addDataset(QStringLiteral("SpGun"));
    m_single = addDataset(QStringLiteral("SpOzel"));
    m_monthView = addDataset(QStringLiteral("SpGenel"));
    m_monthView->beforePost = checkDayColumns;

    // the navigator browses the student list of the last computation, not the grid
    QFrame* panel = buildActionPanel(edition.initialYear, QStringLiteral("Puantajı Hesapla"),
                                     QStringLiteral("hesapla"), 150, m_students);
    connect(actionButton(), &QToolButton::clicked, this, &TFrmPuantaj::compute);
    QLayout* titleRow = buildTitleRow();
    addGrid(QSize(1064, 591), gridColumns(), m_monthView, false);
    layOutPage(panel, titleRow, grid());
}

QLayout* TFrmPuantaj::buildTitleRow()
{
    auto* titleRow = new QHBoxLayout;
    if (!m_edition.editionLabel.isEmpty()) {
        auto* label = new QLabel(m_edition.editionLabel, this);
        label->setObjectName(QStringLiteral("Label2"));
        label->setFont(ui::look::verdana(21, true));
        titleRow->addWidget(label);
        titleRow->addSpacing(12);
    }
    m_title = new QLabel(m_edition.firstTitle, this);
    m_title->setObjectName(QStringLiteral("Label1"));
    m_title->setFont(ui::look::verdana(21, true));
    titleRow->addWidget(m_title, 1);
    return titleRow;
}

void TFrmPuantaj::activate()
{
    periodSelector()->loadYear(*m_parameters);
    periodSelector()->yearBox()->setFocus();
    refreshMonthState();
}

void TFrmPuantaj::showStoredRows()
{
    showMonthView(*m_monthView, m_edition.procedure(QStringLiteral("PuantajGenel")),
                  m_edition.monthViewColumns);
}

void TFrmPuantaj::storeCorrection()
{
    grid()->commitEditor();
    try {
        m_monthView->postIfChanged();
    } catch (const db::DbError&) {
        m_monthView->cancel(); // the stored row is shown again
        throw;
    }
}

void TFrmPuantaj::monthChosen(int month)
{
    guarded([this] { storeCorrection(); });
    m_title->setText(core::Period::timesheetTitle(month));
    refreshMonthState(); // after the correction, which the accrual sees
    grid()->hide();
}

void TFrmPuantaj::compute()
{
    if (isRunning() || !guarded([this] { storeCorrection(); }))
        return;
    const bool shown = runIntoGrid(
        QStringLiteral("Puantaj hesaplanıyor..."),
        [this](RunProgress& progress) {
            return computeTimesheet(
                m_edition, {*m_removal, *m_students, *m_dayCount, *m_single, *m_monthView},
                periodSelector()->period(), context().unitCode(), progress, context().userName());
        },
        TimesheetOutcome::NoStudents, QStringLiteral("Kayıt bulunamadı"));
    if (shown)
        grid()->setFocus();
}

void TFrmPuantaj::closing()
{
    if (isRunning())
        throw db::DbError(QStringLiteral("Puantaj hesaplanırken pencere kapatılamaz"));
    storeCorrection();
    MonthlyWindow::closing();
}

} // namespace zelvo::monthly
