#pragma once

#include "controls/dbgrid.h"
#include "monthly/monthchain.h"
#include "monthly/runprogress.h"
#include "ui/childwindow.h"

#include <QList>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>
class QFrame;
class QHBoxLayout;
class QLabel;
class QLayout;
class QToolButton;
class QVBoxLayout;

namespace zelvo::monthly {

class PeriodSelector;

} // namespace zelvo::monthly

namespace zelvo::controls {
class DbNavigator;
}

namespace zelvo::monthly {

// What the timesheet, accrual, list and declaration windows share: the top panel `Panel1` with
// the period selector (year box `Edit1`, month group `RadioGroup2`) at the left, the window's own
// buttons and the monthly navigator `wwDBNavigator1` after it and the close button at the far
// right; the heading and the result grid `wwDBGrid1` under it; the window's datasets, all closed
// when the window closes; and the run of a step that replaces the month's rows. A window adds
// only its buttons, its columns and what its steps do.
class MonthlyWindow : public ui::ChildWindow {
    Q_OBJECT
public:
    PeriodSelector* periodSelector() const { return m_selector; }

protected:
    MonthlyWindow(ui::AppContext& context, const QString& windowName, const QSize& size,
                  QWidget* owner);

    // A dataset of the window on its connection, found by `name` (tests look for it there).
    db::Dataset* addDataset(const QString& name);

    // `Panel1`: the period selector showing `initialYear`, a gap of `gap` pixels, what `fill`
    // lays into the row and the close button at the far right. The year is loaded again at every
    // activation (loadYear); a click on a month calls monthChosen().
    QFrame* buildTopPanel(const QString& initialYear, int gap,
                          const std::function<void(QFrame& panel, QHBoxLayout& row)>& fill,
                          Qt::Alignment closeAlignment = {});
    // The panel of a window with a single action `SpeedButton5`: the button, then the navigator
    // on `navigated` (none: every navigator button stays disabled).
    QFrame* buildActionPanel(const QString& initialYear, const QString& caption,
                             const QString& picture, int minimumWidth, db::Dataset* navigated);
    QToolButton* actionButton() const { return m_actionButton; }
    // A button of the panel: its picture above a bold Verdana caption. A hidden one keeps its
    // place, so that the buttons a step offers do not move the others.
    static QToolButton* panelButton(QWidget* panel, const QString& name, const QString& caption,
                                    const QString& picture, int pixelSize);
    // The monthly navigator `wwDBNavigator1`; its database errors go to the error box.
    controls::DbNavigator* addNavigator(QWidget* panel, db::Dataset* navigated);

    // The heading `StaticText1` in the window's heading font, its blanks kept as written.
    QLabel* addHeading(const QString& text);
    // The result grid `wwDBGrid1` of a fixed size on `rows`, hidden until a step shows it.
    controls::DbGrid* addGrid(const QSize& size, const QVector<controls::GridColumn>& columns,
                              db::Dataset* rows, bool readOnly);
    controls::DbGrid* grid() const { return m_grid; }
    // The page: the top panel, the heading (a label or a row of them), the grid, free space below.
    void layOutPage(QFrame* panel, QWidget* heading, QWidget* grid, int sideMargin = 10);
    void layOutPage(QFrame* panel, QLayout* heading, QWidget* grid, int sideMargin = 10);

    // Runs a step that replaces the month's rows: the copy of the embedded database that is due
    // before such a run, then `step` under the wait cursor, with a progress bar titled
    // `progressLabel` once a step that reports its rows takes longer than a moment. The step
    // works in a transaction of its own, rolled back when it throws; the database error is shown
    // in the error box when the cursor is back. Returns the step's outcome; nothing after an
    // error, or while another step of the window is still running.
    template <typename Step>
    auto runReplacingStep(const QString& progressLabel, Step&& step)
        -> std::optional<std::invoke_result_t<Step, RunProgress&>>
    {
        std::optional<std::invoke_result_t<Step, RunProgress&>> outcome;
        runStep(progressLabel, [&](RunProgress& progress) { outcome = step(progress); });
        return outcome;
    }
    bool isRunning() const { return m_running; }
    // runReplacingStep() with the grid hidden while it runs: afterwards the grid shows what the
    // step stored, or the message `nothingText` when the step's outcome is `nothingFound`.
    // Returns whether the grid is shown.
    template <typename Step, typename Outcome>
    bool runIntoGrid(const QString& progressLabel, Step&& step, Outcome nothingFound,
                     const QString& nothingText)
    {
        if (m_running)
            return false;
        m_grid->hide();
        const auto outcome = runReplacingStep(progressLabel, std::forward<Step>(step));
        if (!outcome)
            return false;
        if (*outcome == nothingFound) {
            message(nothingText);
            return false;
        }
        showFittedGrid();
        return true;
    }

    // The month's chain this window shows in `AyDurumu`: the edition, and the step the window
    // runs (none for the lists), named while a run waits for another workstation.
    void setMonthChain(bool gss, std::optional<ChainStep> runs = std::nullopt);
    MonthKey monthKey() const;
    // Reads the chosen month's chain again into `AyDurumu`.
    void refreshMonthState();
    // Before something is made from the steps up to `last`: when one of them is missing or
    // stale, asks whether to go on anyway (No the default). True when there is nothing to ask or
    // the user said Yes.
    bool confirmChain(ChainStep last);
    QLabel* monthState() const { return m_monthState; }

    // The user clicked a month.
    virtual void monthChosen(int month) = 0;
    // After a run gave up waiting for another workstation: the grid shows what the month holds.
    virtual void showStoredRows() {}
    // Opens what the chosen month holds through the window's view procedure and shows the grid.
    void showMonthView(db::Dataset& view, const QString& procedure, const QStringList& columns);
    // Closes every dataset of the window.
    void closing() override;

private:
    void showFittedGrid();
    void runStep(const QString& progressLabel, const std::function<void(RunProgress&)>& step);
    QVBoxLayout* startPage(QFrame* panel, int sideMargin);

    QList<db::Dataset*> m_datasets;
    QLabel* m_monthState = nullptr;
    bool m_gss = false;
    std::optional<ChainStep> m_runs;
    PeriodSelector* m_selector = nullptr;
    QToolButton* m_actionButton = nullptr;
    controls::DbGrid* m_grid = nullptr;
    bool m_running = false;
};

} // namespace zelvo::monthly
