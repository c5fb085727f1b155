#pragma once

#include "register/studentimport.h"
#include "ui/childwindow.h"

class QCheckBox;
class QLabel;

namespace zelvo::studentregister {

class ImportPreviewModel;

// The preview of a spreadsheet import: every row of the file with its line, outcome and
// reason, the counts, the choice of updating students already registered, and "Aktar", which
// stores the new and updated rows all together.
class TFrmOgrenciAktar : public ui::ChildWindow {
    Q_OBJECT
public:
    TFrmOgrenciAktar(ui::AppContext& context, ImportCheck check, const QString& fileName,
                     QWidget* owner = nullptr);

    // Asks for a file, checks it for the owner's unit and shows the preview; returns the rows
    // stored (0 when cancelled or refused).
    static int chooseAndPreview(ui::ChildWindow& owner);

    int storedRows() const { return m_stored; }
    const ImportCheck& importCheck() const { return m_check; }

private:
    void showCounts();
    void store(); // "Aktar"

    ImportCheck m_check;
    ImportPreviewModel* m_model = nullptr;
    QLabel* m_counts = nullptr;
    QCheckBox* m_validOnly = nullptr;
    int m_stored = 0;
};

} // namespace zelvo::studentregister
