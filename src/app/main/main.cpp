#include "connection.h"
#include "settings.h"
#include "startup.h"
#include "tfrmana.h"
#include "windowcatalog.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    app::setUpApplication();

    app::DialogService dialogs;
    db::Connection connection;
    if (!app::openDatabase(connection, dialogs, db::settingsFilePath()))
        return 1;

    app::WindowCatalog catalog;
    app::registerAllWindows(catalog);
    app::TFrmAna mainWindow(connection, dialogs, catalog);
    mainWindow.show();
    return application.exec();
}
