#include "db/settings.h"

#include "db/postgresdialect.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace zelvo::db {

namespace {

const QString Sqlite = QStringLiteral("sqlite");
const QString Postgres = QStringLiteral("postgresql");

// A password written in the settings file may be read by whoever can read the file.
void requireOwnerOnly(const QString& settingsPath)
{
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (QFileInfo(settingsPath).permissions() & others)
        throw DbError(QStringLiteral("Ayar dosyasında veritabanı parolası var, ama dosyayı "
                                     "sahibinden başkaları da okuyabiliyor: %1. Parolayı "
                                     "~/.pgpass dosyasına taşıyın ya da ayar dosyasını yalnızca "
                                     "sahibi okuyabilsin (chmod 600).")
                          .arg(settingsPath));
}

} // namespace

QString settingsFilePath(const QString& besideProgram, const QString& systemWide)
{
    for (const QString& candidate : {besideProgram, systemWide})
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

QString systemSettingsFile()
{
#ifdef Q_OS_WIN
    const QString programData =
        qEnvironmentVariable("PROGRAMDATA", QStringLiteral("C:/ProgramData"));
    return QDir(programData).filePath(QStringLiteral("Zelvo/zelvo.ini"));
#else
    return QStringLiteral("/etc/zelvo/zelvo.ini");
#endif
}

QString settingsFilePath()
{
    return settingsFilePath(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelvo.ini")),
        systemSettingsFile());
}

QString defaultDatabasePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("zelvo.db"));
}

DatabaseSettings loadDatabaseSettings(const QString& settingsPath)
{
    DatabaseSettings settings;
    if (settingsPath.isEmpty() || !QFileInfo::exists(settingsPath)) {
        settings.file = defaultDatabasePath();
        return settings;
    }
    QSettings ini(settingsPath, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        throw DbError(QStringLiteral("Ayar dosyası okunamadı: %1").arg(settingsPath));
    // the package's example, all comments, leaves every user on their own embedded database
    if (!ini.contains(QStringLiteral("database/kind")) &&
        !ini.contains(QStringLiteral("database/file"))) {
        settings.file = defaultDatabasePath();
        return settings;
    }
    settings.fromSettingsFile = true;
    ini.beginGroup(QStringLiteral("database"));
    settings.kind = ini.value(QStringLiteral("kind"), Sqlite).toString().trimmed().toLower();
    settings.file = ini.value(QStringLiteral("file")).toString().trimmed();
    ServerAddress& server = settings.server;
    server.host = ini.value(QStringLiteral("host")).toString().trimmed();
    server.port = ini.value(QStringLiteral("port"), 0).toInt();
    server.name = ini.value(QStringLiteral("name")).toString().trimmed();
    server.user = ini.value(QStringLiteral("user")).toString().trimmed();
    server.password = ini.value(QStringLiteral("password")).toString();
    server.sslmode = ini.value(QStringLiteral("sslmode")).toString().trimmed();
    server.sslrootcert = ini.value(QStringLiteral("sslrootcert")).toString().trimmed();
    if (!server.sslrootcert.isEmpty() && QFileInfo(server.sslrootcert).isRelative())
        server.sslrootcert = QFileInfo(settingsPath).dir().absoluteFilePath(server.sslrootcert);
    ini.endGroup();
    if (settings.kind == Postgres) {
        if (server.name.isEmpty())
            throw DbError(QStringLiteral("Ayar dosyası sunucudaki veritabanının adını (name) "
                                         "belirtmiyor: %1")
                              .arg(settingsPath));
        if (!server.password.isEmpty())
            requireOwnerOnly(settingsPath);
        return settings;
    }
    if (settings.kind != Sqlite)
        throw DbError(QStringLiteral("Ayar dosyasında bilinmeyen veritabanı türü: '%1' (%2)")
                          .arg(settings.kind, settingsPath));
    if (settings.file.isEmpty())
        throw DbError(QStringLiteral("Ayar dosyası bir veritabanı dosyası belirtmiyor: %1")
                          .arg(settingsPath));
    if (QFileInfo(settings.file).isRelative())
        settings.file = QFileInfo(settingsPath).dir().absoluteFilePath(settings.file);
    return settings;
}

void openConfigured(Connection& connection, const DatabaseSettings& settings)
{
    if (settings.isServer()) {
        connection.openPostgres(settings.server);
        return;
    }
    connection.openSqlite(settings.file, settings.fromSettingsFile
                                             ? Connection::OpenMode::MustExist
                                             : Connection::OpenMode::CreateIfMissing);
}

QString installConfiguredSchema(const DatabaseSettings& settings)
{
    if (!settings.isServer())
        throw DbError(QStringLiteral("Şema kurulumu yalnızca PostgreSQL sunucusu için gerekir "
                                     "(zelvo.ini: kind=postgresql); gömülü veritabanı ilk "
                                     "açılışta kendiliğinden kurulur"));
    Connection connection;
    connection.openPostgres(settings.server, Connection::SchemaCheck::Skipped);
    installServerSchema(connection);
    connection.close();
    // opened as the program opens it, so what is reported is what the program will find
    connection.openPostgres(settings.server);
    return QStringLiteral("Zelvo şeması kurulu: veritabanı \"%1\", şema sürümü %2")
        .arg(settings.server.name)
        .arg(SchemaVersion);
}

QString backupFolderSetting(const QString& settingsPath)
{
    if (settingsPath.isEmpty() || !QFileInfo::exists(settingsPath))
        return {};
    const QSettings ini(settingsPath, QSettings::IniFormat);
    const QString folder = ini.value(QStringLiteral("backup/folder")).toString().trimmed();
    return folder.isEmpty() ? QString() : QFileInfo(settingsPath).dir().absoluteFilePath(folder);
}

} // namespace zelvo::db
