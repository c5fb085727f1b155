#include "connection.h"
#include "guardedapplication.h"
#include "settings.h"
#include "startup.h"
#include "tfrmana.h"
#include "windowcatalog.h"

int main(int argc, char* argv[])
{
    app::GuardedApplication application(argc, argv);
    app::DialogService dialogs;
    try {
        app::setUpApplication();
        db::Connection connection;
        if (!app::openDatabase(connection, dialogs, db::settingsFilePath()))
            return 1;

        app::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        app::TFrmAna mainWindow(connection, dialogs, catalog);
        mainWindow.show();
        application.setDialogs(&dialogs);
        const int status = application.exec();
        application.setDialogs(nullptr);
        return status;
    } catch (...) {
        // a failure while starting (or one thrown past the event loop): say what it was
        application.setDialogs(nullptr);
        dialogs.error(nullptr, app::GuardedApplication::currentExceptionText());
        return 1;
    }
}
