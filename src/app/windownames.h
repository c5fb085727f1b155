// The names under which the catalogue holds each window and the main window's buttons and menus
// open it. A window's name is its class name, taken from the class itself; the lists' names live
// with their variants (lists::ListVariant).
#pragma once

#include <QString>

namespace zelvo::app {

// "TFrmPSicil" for studentregister::TFrmPSicil.
template <typename Window> QString windowClassName()
{
    const QString qualified = QString::fromLatin1(Window::staticMetaObject.className());
    return qualified.mid(qualified.lastIndexOf(QLatin1Char(':')) + 1);
}

// The manual backup copy, which asks for a file and has no window of its own.
inline const QString manualBackupEntry = QStringLiteral("YedekAl");

} // namespace zelvo::app
