#pragma once

#include "lists/listvariant.h"
#include "monthly/monthlywindow.h"
#include "report/report.h"

namespace zelvo::lists {

// The list windows List-1 and List-2 of both editions: the unit's list rows of the chosen month
// in a read-only grid, handed to the report engine, which lays them out by the window's
// template file and shows them in its preview for printing or saving.
class TFrmListe : public monthly::MonthlyWindow {
    Q_OBJECT
public:
    TFrmListe(ui::AppContext& context, QWidget* owner, const ListVariant& variant);

    const ListVariant& variant() const { return m_variant; }
    // The folder the template is read from: report::templateFolder() unless set otherwise.
    void setTemplateFolder(const QString& folder);
    QString templatePath() const;

protected:
    void activate() override;
    void monthChosen(int month) override; // RadioGroup2Click

private:
    void showList(); // SpeedButton5Click
    void openRows();
    void showReport();
    void askThroughDialogService(report::PreviewDialog& preview) const;

    const ListVariant& m_variant;
    db::Dataset* m_workplace;  // SpGetir: isyerigetir
    db::Dataset* m_parameters; // SpParametre: ParametreGetir
    db::Dataset* m_rows;       // SpGenel1: Liste1 or Liste1xxx
    report::Report m_report;   // FrDsListe: keeps the template loaded last
    QString m_templateFolder;
};

} // namespace zelvo::lists
