#pragma once

#include "db/connection.h"

#include <QString>
#include <memory>

namespace zelvo::db {

// Where the program finds its database. Read from one INI file fixed per installation: a
// "zelvo.ini" beside the executable (a build folder, a copied program), else the system-wide
// /etc/zelvo/zelvo.ini the package installs (%PROGRAMDATA%\Zelvo\zelvo.ini on Windows).
// Without one, or with one that names no database (the package's commented example), the
// embedded database in the user's data location is used, created and seeded on first run.
//
//   [database]
//   kind=sqlite            ; the embedded database (the default)
//   file=/path/to/zelvo.db
//
//   [database]
//   kind=postgresql        ; a PostgreSQL server installed from server/postgresql
//   host=db.example.org    ; or the folder of a Unix socket
//   port=5432
//   name=zelvo
//   user=zelvo
//   sslmode=verify-full    ; as libpq takes it: disable, prefer, require, verify-full ...
//   sslrootcert=/etc/zelvo/kurum-ca.crt ; the authority that signed the server's certificate
//
// A server's password belongs in libpq's password file (~/.pgpass, or the file PGPASSFILE
// names). A password= line is used only when the settings file is readable by its owner alone.
struct DatabaseSettings {
    QString kind = QStringLiteral("sqlite");
    QString file;
    ServerAddress server;
    bool fromSettingsFile = false;
    bool isServer() const { return kind == QLatin1String("postgresql"); }
};

// The settings file the program reads; empty when there is none.
QString settingsFilePath();
// The first of `besideProgram` and `systemWide` that exists; empty when neither does.
QString settingsFilePath(const QString& besideProgram, const QString& systemWide);
// The machine's settings file: /etc/zelvo/zelvo.ini, on Windows %PROGRAMDATA%\Zelvo\zelvo.ini.
QString systemSettingsFile();
QString defaultDatabasePath();

// Throws DbError for a settings file that names an unknown kind of database, no file or no
// server database, or holds a password others may read.
DatabaseSettings loadDatabaseSettings(const QString& settingsPath);

// Opens the database the settings name. A file named by a settings file must exist; the
// default embedded file is created when missing.
void openConfigured(Connection& connection, const DatabaseSettings& settings);

// Installs (or completes) the schema of the server database the settings name, in one
// transaction; safe to run again. Returns a line for the user saying what the database holds.
QString installConfiguredSchema(const DatabaseSettings& settings);

// The folder the program's own copies of the embedded database go to: `folder` of the settings
// file's [backup] group (another disk or a network share), taken from the settings file's folder
// when relative. Empty when none is named; the copies then go to "backups" beside the database.
QString backupFolderSetting(const QString& settingsPath);

} // namespace zelvo::db
