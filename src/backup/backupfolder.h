#pragma once

#include "backup/backupfile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zelvo::backup {

// How many copies of each kind stay; older ones are removed.
struct Retention {
    int daily = 14;
    int beforeRun = 10;
    int beforeRestore = 10;
    int of(BackupKind kind) const;
};

// The folder that holds the copies of one database file. Only names that describe a copy of
// that file count, so a folder shared by several databases (a network share) keeps each one's
// copies apart.
class BackupFolder {
public:
    BackupFolder() = default;
    // `configuredFolder` is the folder the settings file names; empty means "backups" beside the
    // database file.
    BackupFolder(const QString& databasePath, const QString& configuredFolder);

    QString path() const { return m_path; }
    QString databaseName() const { return m_databaseName; }

    // Where a copy of this kind taken at `taken` goes.
    QString newCopyPath(BackupKind kind, const QDateTime& taken) const;
    // Creates the folder when missing; throws DbError when it cannot.
    void create() const;

    // The copies, newest first, with their sizes.
    QList<BackupFile> copies() const;
    std::optional<BackupFile> newest() const;
    bool hasDailyCopyOf(const QDate& day) const;

    // Removes the copies beyond what `retention` keeps, newest kept, and partial files an
    // interrupted copy left more than an hour ago. Returns the names removed.
    QStringList prune(const Retention& retention = {}) const;

private:
    QString m_path;
    QString m_databaseName;
};

} // namespace zelvo::backup
