// Students brought into a unit's register from a spreadsheet: every row checked against the
// student rules, the file itself and the register before anything is stored, then stored all
// together or not at all.
#pragma once

#include "register/studentsheet.h"

#include <QDate>
#include <QHash>
#include <QVariant>

namespace zelvo::db {
class Connection;
}

namespace zelvo::studentregister {

enum class ImportOutcome { New, Update, Skip, Error };
// "yeni", "güncellenecek", "atlanacak", "hata"
QString outcomeText(ImportOutcome outcome);

struct ImportRow {
    int line = 0;
    StudentValues values;
    ImportOutcome outcome = ImportOutcome::New;
    QStringList problems; // why the row is an error, or "var" for a student already there
    QVariant existingId;  // the register's row of the same number or identity number
};

struct ImportCheck {
    QStringList columns;
    QStringList ignoredHeaders;
    QList<ImportRow> rows;

    int count(ImportOutcome outcome) const;
    // "3 yeni, 1 güncellenecek, 2 atlanacak, 1 hata"
    QString summary() const;
};

// The register's students of a unit, by number and by identity number.
struct RegisterIndex {
    QHash<QString, QVariant> byNumber;
    QHash<QString, QVariant> byIdentity;
};

// Checks every student of the sheet: the rules, numbers and identity numbers twice in the file,
// and students already in `known` (skipped unless chosen for update).
ImportCheck checkStudents(const StudentSheet& sheet, const QStringList& statusCodes,
                          const RegisterIndex& known);

// An already registered row is skipped or updated as the user chooses; other rows keep theirs.
void chooseUpdate(ImportRow& row, bool update);

// Who stores the students and when, for aktarmatarihi and the change stamp.
struct ImportStamp {
    QString unitCode;
    QString userName;
    QString fullName;
    QDate date;
    QTime time;
};

class StudentImport {
public:
    explicit StudentImport(db::Connection& connection) : m_connection(connection) {}

    // Reads and checks a file for the unit; throws core::Error when it cannot be read.
    ImportCheck checkFile(const QString& path, const QString& unitCode);
    ImportCheck check(const StudentSheet& sheet, const QString& unitCode);

    // Stores the new and updated rows in one transaction. With rows in error nothing is stored
    // unless `skipInvalid`; returns the rows stored (0 when refused). Throws on a database error,
    // after rolling everything back.
    int store(const ImportCheck& check, const ImportStamp& stamp, bool skipInvalid);

private:
    QStringList statusCodes();
    RegisterIndex registerIndex(const QString& unitCode);

    db::Connection& m_connection;
};

} // namespace zelvo::studentregister
