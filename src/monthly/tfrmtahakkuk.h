#pragma once

#include "accrualedition.h"
#include "childwindow.h"

class PeriodSelector;
class QLabel;
class QToolButton;
namespace controls {
class DbGrid;
class DbNavigator;
} // namespace controls

// The accrual window "Tahakkuk Kontrol Ekranı": turns the chosen month's timesheet of the unit
// into accrual rows, one per student, and shows them read-only for checking. The GSS edition is
// a thin subclass.
class TFrmTahakkuk : public app::ChildWindow {
    Q_OBJECT
public:
    TFrmTahakkuk(app::AppContext& context, QWidget* owner,
                 const AccrualEdition& edition = AccrualEdition::standard());

protected:
    void activate() override;
    void closing() override;

private:
    QWidget* buildTopPanel();
    void buildGrid();
    void monthClicked(); // RadioGroup2Click
    void accrue();       // SpeedButton5Click

    const AccrualEdition& m_edition;
    db::Dataset* m_parameters; // SpParametre
    db::Dataset* m_removal;    // SpSil
    db::Dataset* m_timesheet;  // SpGenel
    db::Dataset* m_store;      // SpOzel
    db::Dataset* m_result;     // SpGenel1
    PeriodSelector* m_selector = nullptr;
    QToolButton* m_accrueButton = nullptr;
    controls::DbNavigator* m_navigator = nullptr;
    QLabel* m_title = nullptr;
    controls::DbGrid* m_grid = nullptr;
    bool m_running = false;
};
