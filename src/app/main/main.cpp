#include "app/demodatabase.h"
#include "app/startup.h"
#include "app/tfrmana.h"
#include "app/windowregistry.h"
#include "backup/backupservice.h"
#include "db/connection.h"
#include "db/settings.h"
#include "ui/guardedapplication.h"
#include "ui/windowcatalog.h"

#include <cstdio>

using namespace zelvo;

namespace {

// Read before the windowing system is reached, so `zelvo --help`, `--version` and
// `--install-schema` answer on a terminal without a display too.
app::CommandLine readCommandLine(int& argc, char* argv[])
{
    const QCoreApplication commandLineOnly(argc, argv);
    app::identifyApplication();
    app::installQtTranslations();
    app::CommandLine options = app::parseCommandLine(QCoreApplication::arguments());
    if (options.installSchema && !options.finished)
        app::installSchemaFromCommandLine(options, db::settingsFilePath());
    else if (options.user.kind != app::UserCommand::Kind::None && !options.finished)
        app::userCommandFromCommandLine(options, db::settingsFilePath());
    else if (!options.importStudents.isEmpty() && !options.finished)
        app::importStudentsFromCommandLine(options, db::settingsFilePath());
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    const app::CommandLine options = readCommandLine(argc, argv);
    if (options.finished) {
        std::fputs(qPrintable(options.output), stdout);
        std::fputs(qPrintable(options.errorOutput), stderr);
        return options.exitCode;
    }

    ui::GuardedApplication application(argc, argv);
    ui::DialogService dialogs;
    try {
        app::setUpApplication();
        db::Connection connection;
        std::optional<db::ServerAddress> serverSignIn;
        if (options.demo)
            app::openDemoDatabase(connection);
        else if (!app::openDatabase(connection, dialogs, db::settingsFilePath(), &serverSignIn))
            return 1;
        // the demonstration database is built anew at every start: no copies of it
        backup::BackupService backups(connection, dialogs,
                                      db::backupFolderSetting(db::settingsFilePath()));
        backups.setAutomatic(!options.demo);
        backups.atStart();

        ui::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        app::TFrmAna mainWindow(connection, dialogs, catalog);
        if (serverSignIn)
            mainWindow.setServerSignIn(*serverSignIn);
        mainWindow.show();
        application.setDialogs(&dialogs);
        const int status = application.exec();
        application.setDialogs(nullptr);
        return status;
    } catch (...) {
        // a failure while starting (or one thrown past the event loop): say what it was
        application.setDialogs(nullptr);
        dialogs.error(nullptr, ui::GuardedApplication::currentExceptionText());
        return 1;
    }
}
