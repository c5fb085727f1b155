#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace zelvo::backup {

// Why a copy was taken. Each kind is kept to a number of its own, so a busy day of monthly runs
// never pushes the daily copies out.
enum class BackupKind { Daily, BeforeRun, BeforeRestore };

// One copy in a backup folder, as its name tells it: "<database>-<kind>-<date>-<time>.db", for
// example "zelvo-gunluk-2026-03-14-093005.db". The time is the workstation's local time.
struct BackupFile {
    QString path;
    BackupKind kind = BackupKind::Daily;
    QDateTime taken;
    qint64 size = 0;
};

// The name a copy of `databaseName` (the database file's name without its suffix) gets.
QString backupFileName(const QString& databaseName, BackupKind kind, const QDateTime& taken);

// The copy a file name describes, when it is a copy of `databaseName`; other files (a partial
// copy, another database's copies, anything a user put there) give nothing.
std::optional<BackupFile> parseBackupFileName(const QString& fileName, const QString& databaseName);

// Where a copy is written before it takes its name: a file that is not named as a copy, so a
// copy cut short (disk full, a crash) is never listed or restored.
QString partialPath(const QString& target);
bool isPartialFileOf(const QString& fileName, const QString& databaseName);

// The kind as the restore window shows it ("Günlük").
QString kindTitle(BackupKind kind);

} // namespace zelvo::backup
