#pragma once

#include "backup/databasecopies.h"

namespace zelvo::backup {

// Copies of the embedded database file, made with SQLite's online backup: page by page under a
// read transaction, so the copy is the database as of one moment even while the program works on
// it, and never a copy of a file in use. A restore goes the same way into the live file, through
// SQLite's locks and its write-ahead log, so no stale "-wal" or "-shm" file beside the database
// can mix old pages into the restored data.
class SqliteCopies : public DatabaseCopies {
public:
    explicit SqliteCopies(db::Connection& connection);

    QString unavailableReason() const override { return {}; }
    QString databasePath() const override;
    void writeCopy(const QString& target) override;
    std::unique_ptr<StagedCopy> stage(const QString& file) const override;
    void replaceWith(const StagedCopy& copy) override;

private:
    void checkTarget(const QString& target) const;

    db::Connection& m_connection;
};

} // namespace zelvo::backup
