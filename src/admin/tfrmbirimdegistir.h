#pragma once

#include "ui/childwindow.h"

namespace zelvo::controls {
class DbLookupCombo;
}

namespace zelvo::admin {

// Moves an administrator to another unit: the unit list box writes the chosen code into the
// login row at once, "Tamam" stores the login row. Closing without "Tamam" puts the login row's
// unit back, so nothing afterwards works on a unit the user never confirmed.
class TFrmbirimdegistir : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmbirimdegistir(ui::AppContext& context, QWidget* owner = nullptr);

protected:
    void activate() override;
    void closing() override;

private:
    void confirm(); // "Tamam"

    db::Dataset* m_spGetir;
    controls::DbLookupCombo* m_units;
};

} // namespace zelvo::admin
