#include "backup/backupfolder.h"

#include "db/dberror.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <map>

namespace zelvo::backup {

int Retention::of(BackupKind kind) const
{
    switch (kind) {
    case BackupKind::Daily:
        return daily;
    case BackupKind::BeforeRun:
        return beforeRun;
    case BackupKind::BeforeRestore:
        return beforeRestore;
    }
    return 0;
}

BackupFolder::BackupFolder(const QString& databasePath, const QString& configuredFolder)
{
    const QFileInfo database(databasePath);
    m_databaseName = database.completeBaseName();
    m_path = configuredFolder.isEmpty()
                 ? database.dir().filePath(QStringLiteral("backups"))
                 : QDir::cleanPath(QDir(database.dir()).absoluteFilePath(configuredFolder));
}

QString BackupFolder::newCopyPath(BackupKind kind, const QDateTime& taken) const
{
    return QDir(m_path).filePath(backupFileName(m_databaseName, kind, taken));
}

void BackupFolder::create() const
{
    if (!QDir().mkpath(m_path) || !QFileInfo(m_path).isDir())
        throw db::DbError(QStringLiteral("Yedek klasörü oluşturulamadı: %1")
                              .arg(QDir::toNativeSeparators(m_path)));
}

QList<BackupFile> BackupFolder::copies() const
{
    QList<BackupFile> found;
    const QDir folder(m_path);
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files)) {
        std::optional<BackupFile> copy = parseBackupFileName(entry.fileName(), m_databaseName);
        if (!copy)
            continue;
        copy->path = entry.absoluteFilePath();
        copy->size = entry.size();
        found << *copy;
    }
    std::sort(found.begin(), found.end(), [](const BackupFile& a, const BackupFile& b) {
        return a.taken != b.taken ? a.taken > b.taken : a.path > b.path;
    });
    return found;
}

std::optional<BackupFile> BackupFolder::newest() const
{
    const QList<BackupFile> all = copies();
    return all.isEmpty() ? std::nullopt : std::optional<BackupFile>(all.first());
}

bool BackupFolder::hasDailyCopyOf(const QDate& day) const
{
    const QList<BackupFile> all = copies();
    return std::any_of(all.begin(), all.end(), [&day](const BackupFile& copy) {
        return copy.kind == BackupKind::Daily && copy.taken.date() == day;
    });
}

QStringList BackupFolder::prune(const Retention& retention) const
{
    QStringList removed;
    std::map<BackupKind, int> kept;
    for (const BackupFile& copy : copies()) {
        if (++kept[copy.kind] <= retention.of(copy.kind))
            continue;
        if (QFile::remove(copy.path))
            removed << QFileInfo(copy.path).fileName();
    }
    // a copy being written right now (another workstation sharing the folder) is younger
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-3600);
    for (const QFileInfo& entry : QDir(m_path).entryInfoList(QDir::Files)) {
        if (isPartialFileOf(entry.fileName(), m_databaseName) && entry.lastModified() < stale &&
            QFile::remove(entry.absoluteFilePath()))
            removed << entry.fileName();
    }
    return removed;
}

} // namespace zelvo::backup
