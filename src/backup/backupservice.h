#pragma once

#include "backup/backupfolder.h"
#include "backup/databasecopies.h"

#include <QDateTime>
#include <functional>
#include <memory>

class QWidget;

namespace zelvo::ui {
class DialogService;
struct AppContext;
} // namespace zelvo::ui

namespace zelvo::backup {

// The copies the program keeps of its database by itself, and what the backup windows need to
// find them. One is set up for the connection after the database is opened; the windows find it
// through their connection.
//
// Automatic copies go to the backup folder: one a day at the first start of that day, and one
// just before a monthly run replaces rows when the newest copy is more than an hour old. A copy
// that cannot be made is told once per program run and never stops the work.
class BackupService {
public:
    using Clock = std::function<QDateTime()>;

    // `configuredFolder` is the folder the settings file names; empty means "backups" beside the
    // database file.
    BackupService(db::Connection& connection, ui::DialogService& dialogs,
                  const QString& configuredFolder);
    ~BackupService();
    BackupService(const BackupService&) = delete;
    BackupService& operator=(const BackupService&) = delete;

    // The service set up for `connection`, or null.
    static BackupService* of(const db::Connection& connection);

    // Empty when copies of this database can be made; otherwise why not, for the user.
    QString unavailableReason() const { return copiesNow().unavailableReason(); }
    const BackupFolder& folder() const { return m_folder; }
    DatabaseCopies& copies() { return copiesNow(); }

    // Off: no copy is made by itself (the demonstration database, which every start rebuilds).
    void setAutomatic(bool automatic) { m_automatic = automatic; }
    void setClock(Clock clock) { m_clock = std::move(clock); }
    QDateTime now() const { return m_clock(); }

    // At the start: the day's copy, unless the folder has one of today already.
    void atStart(QWidget* parent = nullptr);
    // Just before a monthly run replaces rows: a copy, unless the newest is younger than an hour.
    void beforeReplacingRun(QWidget* parent);

    // Takes a copy of this kind now and prunes the folder; throws DbError.
    QString takeCopy(BackupKind kind);

    // Replaces the database by a staged copy: first a copy of the data as it is now, then the
    // replacement; nothing is replaced when that first copy cannot be made. Returns the first
    // copy's path. The program must end afterwards. Throws DbError.
    QString restore(const StagedCopy& staged);

private:
    void takeAutomaticCopy(BackupKind kind, QWidget* parent);
    // The copies of the database as the connection has it now: a shared server is opened by the
    // login, after the service was set up.
    DatabaseCopies& copiesNow() const;

    db::Connection& m_connection;
    ui::DialogService& m_dialogs;
    mutable std::unique_ptr<DatabaseCopies> m_copies;
    mutable bool m_copiesOfOpen = false;
    QString m_configuredFolder;
    mutable BackupFolder m_folder;
    Clock m_clock;
    bool m_automatic = true;
    bool m_warned = false;
};

// For the monthly windows: the copy before a run that replaces rows, when the program keeps
// copies of this database. Never throws and never stops the run.
void backupBeforeReplacingRun(ui::AppContext& context, QWidget* window);

} // namespace zelvo::backup
