#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace zelvo::db {
class Connection;
}

namespace zelvo::backup {

// A file chosen for a restore, copied aside and checked: what is restored is exactly what was
// checked, and the chosen file itself (on a USB stick, say) is only ever read. Removed with the
// object.
class StagedCopy {
public:
    StagedCopy();
    bool isValid() const { return m_folder.isValid(); }
    QString path() const { return m_path; }
    QString source() const { return m_source; }
    void setSource(const QString& source) { m_source = source; }

private:
    QTemporaryDir m_folder;
    QString m_path;
    QString m_source;
};

// What the program can do about copies of the database it works on. Only the embedded file is
// copied by the program; a database server is backed up by its administrator with the server's
// own tools, and its copies object says so instead. Every failure is a DbError whose text is
// for the user.
class DatabaseCopies {
public:
    virtual ~DatabaseCopies() = default;

    // Empty when copies can be made here; otherwise why not, for the user.
    virtual QString unavailableReason() const = 0;
    // The database file copies are made of.
    virtual QString databasePath() const = 0;

    // Writes a consistent copy of the database to `target`, replacing a file of that name only
    // once the copy is complete; after a failure nothing of the attempt is left.
    virtual void writeCopy(const QString& target) = 0;
    // Copies `file` aside and checks that it is an undamaged database of this program; throws
    // the refusal otherwise. Nothing of the database changes.
    virtual std::unique_ptr<StagedCopy> stage(const QString& file) const = 0;
    // Replaces the database's contents by the staged copy's, all or nothing. The program must
    // end afterwards: everything it holds in memory belongs to the replaced data.
    virtual void replaceWith(const StagedCopy& copy) = 0;
};

// The copies object that fits the connection's database.
std::unique_ptr<DatabaseCopies> copiesOf(db::Connection& connection);

} // namespace zelvo::backup
