#include "monthly/monthlywindow.h"

#include "backup/backupservice.h"
#include "controls/dbnavigator.h"
#include "monthly/periodselector.h"
#include "monthly/unitmonthcall.h"
#include "ui/look.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::monthly {

MonthlyWindow::MonthlyWindow(ui::AppContext& context, const QString& windowName, const QSize& size,
                             QWidget* owner)
    : ChildWindow(context, windowName, size, owner)
{
}

db::Dataset* MonthlyWindow::addDataset(const QString& name)
{
    auto* dataset = new db::Dataset(context().connection, this);
    dataset->setObjectName(name);
    m_datasets.append(dataset);
    return dataset;
}

QFrame*
MonthlyWindow::buildTopPanel(const QString& initialYear, int gap,
                             const std::function<void(QFrame& panel, QHBoxLayout& row)>& fill,
                             Qt::Alignment closeAlignment)
{
    QFrame* panel = ui::look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    m_selector = new PeriodSelector(initialYear, panel);
    row->addWidget(m_selector);
    row->addSpacing(gap);
    fill(*panel, *row);
    row->addStretch(1);
    row->addWidget(createCloseButton(panel), 0, closeAlignment);
    connect(m_selector, &PeriodSelector::monthClicked, this, &MonthlyWindow::monthChosen);
    connect(m_selector, &PeriodSelector::monthClicked, this, &MonthlyWindow::refreshMonthState);
    return panel;
}

QFrame* MonthlyWindow::buildActionPanel(const QString& initialYear, const QString& caption,
                                        const QString& picture, int minimumWidth,
                                        db::Dataset* navigated)
{
    constexpr int gap = 12;
    return buildTopPanel(initialYear, gap, [&](QFrame& panel, QHBoxLayout& row) {
        m_actionButton = panelButton(&panel, QStringLiteral("SpeedButton5"), caption, picture, 13);
        m_actionButton->setMinimumWidth(minimumWidth);
        row.addWidget(m_actionButton);
        row.addSpacing(gap);
        row.addWidget(addNavigator(&panel, navigated), 0, Qt::AlignVCenter);
    });
}

QToolButton* MonthlyWindow::panelButton(QWidget* panel, const QString& name, const QString& caption,
                                        const QString& picture, int pixelSize)
{
    QToolButton* button = ui::look::speedButton(panel, name, caption, picture);
    button->setFont(ui::look::verdana(pixelSize, true));
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    return button;
}

controls::DbNavigator* MonthlyWindow::addNavigator(QWidget* panel, db::Dataset* navigated)
{
    auto* navigator = new controls::DbNavigator(controls::DbNavigator::monthlyButtons(), panel);
    navigator->setObjectName(QStringLiteral("wwDBNavigator1"));
    if (navigated)
        navigator->setDataset(navigated);
    connect(navigator, &controls::DbNavigator::databaseError, this, &MonthlyWindow::showError);
    return navigator;
}

QLabel* MonthlyWindow::addHeading(const QString& text)
{
    auto* heading = new QLabel(text, this);
    heading->setObjectName(QStringLiteral("StaticText1"));
    heading->setTextFormat(Qt::PlainText); // keeps the blanks of "G.S.S.     Liste-1"
    ui::look::setHeadingFont(heading, 21);
    return heading;
}

controls::DbGrid* MonthlyWindow::addGrid(const QSize& size,
                                         const QVector<controls::GridColumn>& columns,
                                         db::Dataset* rows, bool readOnly)
{
    m_grid = new controls::DbGrid(this);
    m_grid->setObjectName(QStringLiteral("wwDBGrid1"));
    m_grid->setFixedSize(size);
    m_grid->setColumns(columns);
    if (readOnly)
        m_grid->setReadOnly(true);
    m_grid->setDataset(rows);
    m_grid->hide();
    connect(m_grid, &controls::DbGrid::databaseError, this, &MonthlyWindow::showError);
    return m_grid;
}

void MonthlyWindow::showMonthView(db::Dataset& view, const QString& procedure,
                                  const QStringList& columns)
{
    const core::Period period = m_selector->period();
    UnitMonthCall(period.year(), period.month(), context().unitCode())
        .open(view, procedure, columns);
    m_grid->show();
}

void MonthlyWindow::showFittedGrid()
{
    m_grid->fitColumnsToContent();
    m_grid->show();
}

QVBoxLayout* MonthlyWindow::startPage(QFrame* panel, int sideMargin)
{
    auto* page = new QVBoxLayout(this);
    // a narrow top margin and state line leave the tallest grid (the lists') inside the window
    page->setContentsMargins(sideMargin, 4, sideMargin, 8);
    page->addWidget(panel);
    m_monthState = new QLabel(this);
    m_monthState->setObjectName(QStringLiteral("AyDurumu"));
    m_monthState->setTextFormat(Qt::RichText);
    // one line, so that the fixed-size grid below keeps its place in the window
    m_monthState->setFont(ui::look::verdana(10, false));
    m_monthState->setFixedHeight(14);
    page->addWidget(m_monthState);
    return page;
}

void MonthlyWindow::layOutPage(QFrame* panel, QWidget* heading, QWidget* grid, int sideMargin)
{
    QVBoxLayout* page = startPage(panel, sideMargin);
    page->addWidget(heading);
    page->addWidget(grid);
    page->addStretch(1);
}

void MonthlyWindow::layOutPage(QFrame* panel, QLayout* heading, QWidget* grid, int sideMargin)
{
    QVBoxLayout* page = startPage(panel, sideMargin);
    page->addLayout(heading);
    page->addWidget(grid);
    page->addStretch(1);
}

void MonthlyWindow::setMonthChain(bool gss, std::optional<ChainStep> runs)
{
    m_gss = gss;
    m_runs = runs;
}

MonthKey MonthlyWindow::monthKey() const
{
    return {m_selector->yearText(), m_selector->month(), context().unitCode(), m_gss};
}

void MonthlyWindow::refreshMonthState()
{
    if (!m_monthState || !context().connection.isOpen())
        return;
    try {
        m_monthState->setText(MonthChain::read(context().connection, monthKey()).summaryHtml());
    } catch (const db::DbError& e) {
        m_monthState->setText(QStringLiteral("Ayın durumu okunamadı: %1").arg(e.text()));
    }
}

bool MonthlyWindow::confirmChain(ChainStep last)
{
    QString question;
    if (!guarded(
            [&] { question = MonthChain::read(context().connection, monthKey()).question(last); }))
        return false;
    return question.isEmpty() || context().dialogs.cautiousQuestion(this, question);
}

void MonthlyWindow::runStep(const QString& progressLabel,
                            const std::function<void(RunProgress&)>& step)
{
    if (m_running)
        return;
    backup::backupBeforeReplacingRun(context(), this);
    m_running = true;
    std::optional<QString> failure;
    bool refused = false;
    {
        RunProgress progress(this, progressLabel);
        // while another workstation runs the same step the window says so, under the wait cursor
        const QString waiting = QStringLiteral("Başka bir iş istasyonu bu ayın %1 hesabını "
                                               "yapıyor; bekleniyor…")
                                    .arg(m_runs ? chainStepWaitName(*m_runs) : QString());
        auto previous = context().connection.setStepWaitNotice([this, waiting](const QString&) {
            if (m_monthState) {
                m_monthState->setText(waiting.toHtmlEscaped());
                m_monthState->repaint();
            }
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        try {
            step(progress);
        } catch (const db::StepRefused& e) {
            failure = e.text();
            refused = true;
        } catch (const db::DbError& e) {
            failure = e.text();
        }
        context().connection.setStepWaitNotice(std::move(previous));
    }
    m_running = false;
    refreshMonthState();
    if (failure)
        showError(*failure);
    if (refused)
        guarded([this] { showStoredRows(); });
}

void MonthlyWindow::closing()
{
    for (db::Dataset* dataset : std::as_const(m_datasets))
        dataset->close();
}

} // namespace zelvo::monthly
