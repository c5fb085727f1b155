#include "monthly/monthlywindow.h"

#include "backup/backupservice.h"
#include "controls/dbnavigator.h"
#include "monthly/periodselector.h"
#include "ui/look.h"

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

void MonthlyWindow::showFittedGrid()
{
    m_grid->fitColumnsToContent();
    m_grid->show();
}

QVBoxLayout* MonthlyWindow::startPage(QFrame* panel, int sideMargin)
{
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(sideMargin, 8, sideMargin, 8);
    page->addWidget(panel);
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

void MonthlyWindow::runStep(const QString& progressLabel,
                            const std::function<void(RunProgress&)>& step)
{
    if (m_running)
        return;
    backup::backupBeforeReplacingRun(context(), this);
    m_running = true;
    std::optional<QString> failure;
    {
        RunProgress progress(this, progressLabel);
        try {
            step(progress);
        } catch (const db::DbError& e) {
            failure = e.text();
        }
    }
    m_running = false;
    if (failure)
        showError(*failure);
}

void MonthlyWindow::closing()
{
    for (db::Dataset* dataset : std::as_const(m_datasets))
        dataset->close();
}

} // namespace zelvo::monthly
