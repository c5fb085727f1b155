#pragma once

#include "childwindow.h"
#include "listvariant.h"
#include "report.h"

class PeriodSelector;
class QLabel;
class QToolButton;
namespace controls {
class DbGrid;
class DbNavigator;
} // namespace controls

// The list windows List-1 and List-2 of both editions: the unit's list rows of the chosen month
// in a read-only grid, handed to the report engine, which lays them out by the window's
// template file and shows them in its preview for printing or saving.
class TFrmListe : public app::ChildWindow {
    Q_OBJECT
public:
    TFrmListe(app::AppContext& context, QWidget* owner, const ListVariant& variant);

    const ListVariant& variant() const { return m_variant; }
    // The folder the template is read from: report::templateFolder() unless set otherwise.
    void setTemplateFolder(const QString& folder);
    QString templatePath() const;

protected:
    void activate() override;
    void closing() override;

private:
    QWidget* buildTopPanel();
    void buildGrid();
    void monthClicked(); // RadioGroup2Click
    void showList();     // SpeedButton5Click
    void openRows();
    void showReport();
    void askThroughDialogService(report::PreviewDialog& preview) const;

    const ListVariant& m_variant;
    db::Dataset* m_workplace;  // SpGetir: isyerigetir
    db::Dataset* m_parameters; // SpParametre: ParametreGetir
    db::Dataset* m_rows;       // SpGenel1: Liste1 or Liste1xxx
    report::Report m_report;   // FrDsListe: keeps the template loaded last
    QString m_templateFolder;
    PeriodSelector* m_selector = nullptr;
    QToolButton* m_showButton = nullptr;
    controls::DbNavigator* m_navigator = nullptr;
    QLabel* m_title = nullptr;
    controls::DbGrid* m_grid = nullptr;
};
