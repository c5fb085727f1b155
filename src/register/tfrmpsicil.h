#pragma once

#include "ui/childwindow.h"

class QButtonGroup;
class QFrame;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace zelvo::db {
class Dataset;
}
namespace zelvo::controls {
class DbGrid;
class DbNavigator;
} // namespace zelvo::controls

namespace zelvo::studentregister {

// The student register: search the unit's students by first name, surname or number, correct
// the found rows in the edit panel or the grid (both on one current row), add students and
// delete one together with its monthly rows.
class TFrmPSicil : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmPSicil(ui::AppContext& context, QWidget* owner = nullptr);

    // The search criteria in the order of RadioGroup1.
    enum Criterion { ByName, BySurname, ByNumber };

protected:
    void activate() override;
    void closing() override;

private:
    QFrame* buildTopPanel();
    QFrame* buildEditPanel();
    void buildGrid();
    void openStatusList();

    void search(); // SpeedButton5 "Göster", or Enter in the search box
    bool settlePendingChange();
    QString pendingChangeQuestion() const;
    void deleteStudent(); // Button1 "ÖĞRENCİYİ SİL"
    void showHistory();   // ButtonGecmis "Geçmiş": the current student's recorded changes
    void stampRow(db::Dataset& students);
    void checkRow(db::Dataset& students);
    QStringList statusCodes() const;
    bool hasStoredCurrentStudent() const;
    QString deleteQuestion() const;
    void reopenStudents();
    void importStudents(); // "Excel'den Aktar"
    void exportStudents(); // "Excel'e Aktar"

    db::Dataset* m_students = nullptr; // SpOgrenci, shown through DsOgrenciGetir
    db::Dataset* m_statuses = nullptr; // QrStatu
    db::Dataset* m_deletion = nullptr; // QrSil

    QButtonGroup* m_criteria = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    controls::DbNavigator* m_navigator = nullptr;
    QFrame* m_editPanel = nullptr;
    controls::DbGrid* m_grid = nullptr;
};

} // namespace zelvo::studentregister
