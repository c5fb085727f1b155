#pragma once

#include "ui/childwindow.h"

namespace zelvo::controls {
class DbGrid;
class DbNavigator;
} // namespace zelvo::controls

namespace zelvo::admin {

// The basic parameters: the whole table `Parametre` in an editable grid. A changed row is
// stored by the navigator's post button, by moving to another row and by closing the window;
// a new row that was never stored is dropped on closing.
class TFrmparametre : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmparametre(ui::AppContext& context, QWidget* owner = nullptr);

protected:
    void closing() override;

private:
    void requireFourDigitYear(db::Dataset& table);
    void normaliseNumbers(db::Dataset& table);
    QString titleOf(const QString& field) const; // the grid title, for messages

    db::Dataset* m_adoTable1;
    controls::DbGrid* m_grid;
    controls::DbNavigator* m_navigator;
};

} // namespace zelvo::admin
