#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace db {

QString settingsFilePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zelvo.ini"));
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
    settings.fromSettingsFile = true;
    ini.beginGroup(QStringLiteral("database"));
    settings.kind =
        ini.value(QStringLiteral("kind"), QStringLiteral("sqlite")).toString().trimmed();
    settings.file = ini.value(QStringLiteral("file")).toString().trimmed();
    settings.host = ini.value(QStringLiteral("host")).toString();
    settings.port = ini.value(QStringLiteral("port"), 0).toInt();
    settings.name = ini.value(QStringLiteral("name")).toString();
    settings.user = ini.value(QStringLiteral("user")).toString();
    settings.password = ini.value(QStringLiteral("password")).toString();
    ini.endGroup();
    if (settings.kind.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) != 0)
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
    connection.openSqlite(settings.file, settings.fromSettingsFile
                                             ? Connection::OpenMode::MustExist
                                             : Connection::OpenMode::CreateIfMissing);
}

} // namespace db
