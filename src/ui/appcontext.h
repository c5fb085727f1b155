#pragma once

#include "db/dataset.h"
#include "ui/dialogservice.h"

class QWidget;

namespace zelvo::ui {

// What every child window reaches through the main window: the one connection, the login row,
// the dialog service and the main window itself (for its visibility). The login row is read at
// the moment of use, never copied, so a unit change applies to everything done afterwards.
struct AppContext {
    db::Connection& connection;
    db::Dataset& login; // SpBireyGetirLogin; its current row is the logged-in user
    DialogService& dialogs;
    QWidget* mainWindow = nullptr;

    QString unitCode() const { return loginText("birimkodu"); }
    QString userName() const { return loginText("kullanici"); }
    QString fullName() const { return loginText("adsoy"); }
    QVariant authority() const
    {
        return login.isOpen() && login.currentIndex() >= 0
                   ? login.value(QStringLiteral("yetkitipi"))
                   : QVariant();
    }

private:
    QString loginText(const char* column) const
    {
        return login.isOpen() && login.currentIndex() >= 0 ? login.text(QString::fromLatin1(column))
                                                           : QString();
    }
};

} // namespace zelvo::ui
