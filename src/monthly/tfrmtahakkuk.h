#pragma once

#include "monthly/accrualedition.h"
#include "monthly/monthlywindow.h"

namespace zelvo::monthly {

// The accrual window "Tahakkuk Kontrol Ekranı": turns the chosen month's timesheet of the unit
// into accrual rows, one per student, and shows them read-only for checking. The GSS edition is
// a thin subclass.
class TFrmTahakkuk : public monthly::MonthlyWindow {
    Q_OBJECT
public:
    TFrmTahakkuk(ui::AppContext& context, QWidget* owner,
                 const AccrualEdition& edition = AccrualEdition::standard());

protected:
    void activate() override;
    void closing() override;
    void monthChosen(int month) override; // RadioGroup2Click
    void showStoredRows() override;

private:
    void accrue(); // SpeedButton5Click
    // `AyDurumu` with December's warning about a January wage lower than December's.
    void showMonthState();

    const AccrualEdition& m_edition;
    db::Dataset* m_parameters; // SpParametre
    db::Dataset* m_removal;    // SpSil
    db::Dataset* m_timesheet;  // SpGenel
    db::Dataset* m_store;      // SpOzel
    db::Dataset* m_result;     // SpGenel1
};

} // namespace zelvo::monthly
