#pragma once

#include "app/usercommands.h"
#include "db/connection.h"
#include "ui/dialogservice.h"

#include <QStringList>
#include <optional>

namespace zelvo::app {

// Opens the database the installation's settings name. On failure the error box is shown and
// false returned; the program then ends with a non-zero exit code. Given `serverSignIn`, a shared
// server is not connected to here: its address goes there, for the login to sign in with the
// user's own credentials.
bool openDatabase(db::Connection& connection, ui::DialogService& dialogs,
                  const QString& settingsPath,
                  std::optional<db::ServerAddress>* serverSignIn = nullptr);

// The program's name, organisation (where its settings and data live) and version.
void identifyApplication();

// Program-wide settings: title, version, locale (Turkish where the workstation has none), fonts,
// the window icon and Qt's own Turkish texts.
void setUpApplication();

// Loads Qt's Turkish catalogue (qtbase_tr from the Qt installation's translations folder, or the
// copy a Windows build carries inside) into the application, so the print, save and page-setup
// dialogs and the standard buttons speak the language of the windows. Returns false when there
// is none; the dialogs then stay English and nothing else changes.
bool installQtTranslations();

// What the command line asks for. `--help` and `--version` print their text and end the program
// before any window opens; an unknown option does the same with an error text and status 1.
// Needs the application object and identifyApplication() for the program's name and version.
struct CommandLine {
    bool demo = false;
    bool installSchema = false; // install the schema of the server zelvo.ini names, then end
    bool finished = false;      // the program ends at once with `exitCode`
    QString importStudents;     // a spreadsheet of students to store, then end
    QString importUnit;
    bool importDryRun = false;
    bool importSkipInvalid = false;
    UserCommand user; // --add-user, --set-password, --remove-user
    int exitCode = 0;
    QString output;      // for standard output (help, version)
    QString errorOutput; // for standard error
};
CommandLine parseCommandLine(const QStringList& arguments);

// `--install-schema`: installs (or completes) the schema of the PostgreSQL database the settings
// file names and finishes `commandLine` with the line saying what the database holds, or with
// the reason it could not (status 1). Needs the application object for the database drivers.
void installSchemaFromCommandLine(CommandLine& commandLine, const QString& settingsPath);

// `--add-user`, `--set-password`, `--remove-user`: runs the user command on the server the
// settings file names and finishes `commandLine` with what it did, or why not (status 1).
void userCommandFromCommandLine(CommandLine& commandLine, const QString& settingsPath);

// `--import-students FILE`: checks and stores the file's students in the database the settings
// file names and finishes `commandLine` with the lines of the import and its exit status.
void importStudentsFromCommandLine(CommandLine& commandLine, const QString& settingsPath);

} // namespace zelvo::app
