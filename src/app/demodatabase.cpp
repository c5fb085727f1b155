#include "app/demodatabase.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

static void initDemoScript()
{
    Q_INIT_RESOURCE(startup);
}

namespace zelvo::app {

QString demoDatabasePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("zelvo-demo.db"));
}

void openDemoDatabase(db::Connection& connection, const QString& path)
{
    initDemoScript();
    QFile script(QStringLiteral(":/zelvo/demo.sql"));
    if (!script.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("Tanıtım verisi okunamadı: %1").arg(script.fileName()));
    const QString demo = QString::fromUtf8(script.readAll());

    connection.close();
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString file = path + suffix;
        if (QFile::exists(file) && !QFile::remove(file))
            throw db::DbError(QStringLiteral("Eski tanıtım veritabanı silinemedi: %1")
                                  .arg(QDir::toNativeSeparators(file)));
    }
    connection.openSqlite(path, db::Connection::OpenMode::CreateIfMissing);
    connection.applyScript(demo);
    // Opened once more, so whatever opening does to a database (passwords stored as typed become
    // hashes) is done to the demonstration rows too.
    connection.openSqlite(path, db::Connection::OpenMode::MustExist);
}

} // namespace zelvo::app
