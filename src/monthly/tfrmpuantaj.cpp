#include "tfrmpuantaj.h"

#include "backupservice.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "look.h"
#include "periodselector.h"
#include "runprogress.h"
#include "timesheetcomputation.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

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
        bool ok = false;
        const int days = text.toInt(&ok);
        if (!ok)
            throw db::DbError(
                QStringLiteral("'%1' is not a valid integer value").arg(value.toString()));
        if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::Double)
            monthView.setValue(field, days);
    }
}

} // namespace

TFrmPuantaj::TFrmPuantaj(app::AppContext& context, QWidget* owner, const TimesheetEdition& edition)
    : ChildWindow(context, edition.instanceName, QSize(1084, 740), owner), m_edition(edition)
{
    setHidesMainWindow(edition.hidesMainWindow);
    auto dataset = [this](const char* name) {
        auto* d = new db::Dataset(this->context().connection, this);
        d->setObjectName(QString::fromLatin1(name));
        return d;
    };
    m_removal = dataset("SpSil");
    m_students = dataset("SpGetir");
    m_parameters = dataset("SpParametre");
    m_dayCount = dataset("SpGun");
    m_single = dataset("SpOzel");
    m_monthView = dataset("SpGenel");
    m_monthView->beforePost = checkDayColumns;

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(10, 8, 10, 8);
    page->addWidget(buildTopPanel());

    auto* titleRow = new QHBoxLayout;
    if (!edition.editionLabel.isEmpty()) {
        auto* label = new QLabel(edition.editionLabel, this);
        label->setObjectName(QStringLiteral("Label2"));
        label->setFont(look::verdana(21, true));
        titleRow->addWidget(label);
        titleRow->addSpacing(12);
    }
    m_title = new QLabel(edition.firstTitle, this);
    m_title->setObjectName(QStringLiteral("Label1"));
    m_title->setFont(look::verdana(21, true));
    titleRow->addWidget(m_title, 1);
    page->addLayout(titleRow);

    buildGrid();
    page->addWidget(m_grid);
    page->addStretch(1);
}

QWidget* TFrmPuantaj::buildTopPanel()
{
    QFrame* panel = look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    m_selector = new PeriodSelector(m_edition.initialYear, panel);
    row->addWidget(m_selector);
    row->addSpacing(12);

    m_computeButton =
        look::speedButton(panel, QStringLiteral("SpeedButton5"), QStringLiteral("Puantajı Hesapla"),
                          QStringLiteral("hesapla"));
    m_computeButton->setFont(look::verdana(13, true));
    m_computeButton->setMinimumWidth(150);
    row->addWidget(m_computeButton);
    row->addSpacing(12);

    m_navigator = new controls::DbNavigator(controls::DbNavigator::monthlyButtons(), panel);
    m_navigator->setObjectName(QStringLiteral("wwDBNavigator1"));
    // the student list of the last computation, not the grid
    m_navigator->setDataset(m_students);
    row->addWidget(m_navigator, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(createCloseButton(panel));

    connect(m_selector, &PeriodSelector::monthClicked, this, &TFrmPuantaj::monthClicked);
    connect(m_computeButton, &QToolButton::clicked, this, &TFrmPuantaj::compute);
    connect(m_navigator, &controls::DbNavigator::databaseError, this, &TFrmPuantaj::showError);
    return panel;
}

void TFrmPuantaj::buildGrid()
{
    m_grid = new controls::DbGrid(this);
    m_grid->setObjectName(QStringLiteral("wwDBGrid1"));
    m_grid->setFixedSize(1064, 591);
    m_grid->setColumns(
        {column("yil", "Yıl", 4), column("ay", "Ay", 2), column("ogrencino", "Öğrenci No", 10),
         column("adi", "Adı", 15), column("soyadi", "Soyadı", 20),
         column("gun", "İlgili Aya Ait Gün Sayısı", 15, true),
         column("gun1", "ESKİ ücrete tabi gün", 10, true),
         column("gun2", "YENİ ücrete tabi gün", 10, true),
         column("baslangictarihi", "Başlangıç", 10), column("bitistarihi", "Bitiş", 10)});
    m_grid->setDataset(m_monthView);
    m_grid->fitColumnsToContent();
    m_grid->hide();
    connect(m_grid, &controls::DbGrid::databaseError, this, &TFrmPuantaj::showError);
}

void TFrmPuantaj::activate()
{
    m_selector->loadYear(*m_parameters);
    m_selector->yearBox()->setFocus();
}

void TFrmPuantaj::storeCorrection()
{
    m_grid->commitEditor();
    try {
        m_monthView->postIfChanged();
    } catch (const db::DbError&) {
        m_monthView->cancel(); // the stored row is shown again
        throw;
    }
}

void TFrmPuantaj::monthClicked(int month)
{
    guarded([this] { storeCorrection(); });
    m_title->setText(Period::timesheetTitle(month));
    m_grid->hide();
}

void TFrmPuantaj::compute()
{
    if (m_running || !guarded([this] { storeCorrection(); }))
        return;
    m_grid->hide();
    backup::backupBeforeReplacingRun(context(), this);
    m_running = true;
    std::optional<TimesheetOutcome> outcome;
    QString failure;
    {
        RunProgress progress(this, QStringLiteral("Puantaj hesaplanıyor..."));
        try {
            outcome = computeTimesheet(
                m_edition, {*m_removal, *m_students, *m_dayCount, *m_single, *m_monthView},
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
    if (*outcome == TimesheetOutcome::NoStudents) {
        message(QStringLiteral("Kayıt bulunamadı"));
        return;
    }
    m_grid->fitColumnsToContent();
    m_grid->show();
    m_grid->setFocus();
}

void TFrmPuantaj::closing()
{
    if (m_running)
        throw db::DbError(QStringLiteral("Puantaj hesaplanırken pencere kapatılamaz"));
    storeCorrection();
    for (db::Dataset* dataset :
         {m_removal, m_students, m_parameters, m_dayCount, m_single, m_monthView})
        dataset->close();
}
