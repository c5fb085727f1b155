#pragma once

#include "monthly/monthlywindow.h"
#include "monthly/timesheetedition.h"

class QLabel;

namespace zelvo::monthly {

// The timesheet window "Puantaj Hesaplama ve Kontrol Ekranı": counts the days of the unit's
// interning students in a month's declaration period, stores one timesheet row per student and
// shows the month's timesheet for correction. The GSS edition is a thin subclass.
class TFrmPuantaj : public monthly::MonthlyWindow {
    Q_OBJECT
public:
    TFrmPuantaj(ui::AppContext& context, QWidget* owner,
                const TimesheetEdition& edition = TimesheetEdition::standard());

protected:
    void activate() override;
    void closing() override;
    void monthChosen(int month) override; // RadioGroup2Click
    void showStoredRows() override;

private:
    QLayout* buildTitleRow();
    void compute(); // SpeedButton5Click
    // Stores a correction still open in the grid; on failure drops it and throws.
    void storeCorrection();

    const TimesheetEdition& m_edition;
    db::Dataset* m_removal;    // SpSil
    db::Dataset* m_students;   // SpGetir
    db::Dataset* m_parameters; // SpParametre
    db::Dataset* m_dayCount;   // SpGun
    db::Dataset* m_single;     // SpOzel
    db::Dataset* m_monthView;  // SpGenel
    QLabel* m_title = nullptr;
};

} // namespace zelvo::monthly
