#include "startup.h"

#include "look.h"
#include "settings.h"

#include <QApplication>
#include <QLocale>

namespace app {

bool openDatabase(db::Connection& connection, DialogService& dialogs, const QString& settingsPath)
{
    try {
        db::openConfigured(connection, db::loadDatabaseSettings(settingsPath));
        return true;
    } catch (const db::DbError& e) {
        dialogs.error(nullptr, db::errorBoxText(e.text()));
        return false;
    }
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Zelvo"));
    QApplication::setOrganizationName(QStringLiteral("Zelvo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zelvo İşlemleri"));
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    look::installFontSubstitutions();
}

} // namespace app
