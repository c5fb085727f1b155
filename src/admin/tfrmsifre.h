#pragma once

#include "ui/childwindow.h"

class QGridLayout;
class QLineEdit;

namespace zelvo::admin {

// Changes the logged-in user's password: the current password, the new one twice, and
// "Tamam", which checks them in a fixed order and stores the login row.
class TFrmsifre : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmsifre(ui::AppContext& context, QWidget* owner = nullptr);

private:
    void confirm(); // "Tamam"
    bool verifies(const QString& password) const;
    bool storePassword(const QString& password);
    QLineEdit* addBox(QGridLayout* grid, int row, const QString& label, const QString& name);

    QLineEdit* m_current;
    QLineEdit* m_new;
    QLineEdit* m_repeat;
};

} // namespace zelvo::admin
