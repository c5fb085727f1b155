#pragma once

#include "childwindow.h"
#include "timesheetedition.h"

class PeriodSelector;
class QLabel;
class QToolButton;
namespace controls {
class DbGrid;
class DbNavigator;
} // namespace controls

// The timesheet window "Puantaj Hesaplama ve Kontrol Ekranı": counts the days of the unit's
// interning students in a month's declaration period, stores one timesheet row per student and
// shows the month's timesheet for correction. The GSS edition is a thin subclass.
class TFrmPuantaj : public app::ChildWindow {
    Q_OBJECT
public:
    TFrmPuantaj(app::AppContext& context, QWidget* owner,
                const TimesheetEdition& edition = TimesheetEdition::standard());

protected:
    void activate() override;
    void closing() override;

private:
    QWidget* buildTopPanel();
    void buildGrid();
    void monthClicked(int month); // RadioGroup2Click
    void compute();               // SpeedButton5Click
    // Stores a correction still open in the grid; on failure drops it and throws.
    void storeCorrection();

    const TimesheetEdition& m_edition;
    db::Dataset* m_removal;    // SpSil
    db::Dataset* m_students;   // SpGetir
    db::Dataset* m_parameters; // SpParametre
    db::Dataset* m_dayCount;   // SpGun
    db::Dataset* m_single;     // SpOzel
    db::Dataset* m_monthView;  // SpGenel
    PeriodSelector* m_selector = nullptr;
    QToolButton* m_computeButton = nullptr;
    controls::DbNavigator* m_navigator = nullptr;
    QLabel* m_title = nullptr;
    controls::DbGrid* m_grid = nullptr;
    bool m_running = false;
};
