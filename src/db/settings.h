#pragma once

#include "connection.h"

#include <QString>
#include <memory>

namespace db {

// Where the program finds its database. Read from one INI file fixed per installation
// ("zelvo.ini" beside the executable); without it the embedded database in the user's data
// location is used, created and seeded on first run.
//
//   [database]
//   kind=sqlite            ; the only kind so far; server kinds will use the keys below
//   file=/path/to/zelvo.db
//   host=  port=  name=  user=  password=
struct DatabaseSettings {
    QString kind = QStringLiteral("sqlite");
    QString file;
    QString host;
    int port = 0;
    QString name;
    QString user;
    QString password;
    bool fromSettingsFile = false;
};

QString settingsFilePath();
QString defaultDatabasePath();

// Throws DbError for a settings file that names an unknown kind of database.
DatabaseSettings loadDatabaseSettings(const QString& settingsPath);

// Opens the database the settings name. A file named by a settings file must exist; the
// default embedded file is created when missing.
void openConfigured(Connection& connection, const DatabaseSettings& settings);

} // namespace db
