// A spreadsheet of students read into student rows: which file column is which student column
// (by its header), and each cell turned into the value the column stores.
#pragma once

#include "register/sheetreader.h"
#include "register/studentrules.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zelvo::studentregister {

// The header as it is compared: Turkish lower case, without blanks, dots and slashes.
QString headerKey(QStringView header);
// The student column a header names ("TCKN" -> "tckimlikno"); empty when none.
QString columnForHeader(QStringView header);

// The columns a file must have.
const QStringList& requiredColumns();

// One row of the file as student values, with what could not be read from it.
struct SheetStudent {
    int line = 0;
    StudentValues values;   // by column; every column of the file, read or not
    QStringList unreadable; // "Başlangıç Tarihi okunamadı (31.02.2026)"
};

struct StudentSheet {
    QStringList columns;        // the file's student columns, in the order of the file
    QStringList ignoredHeaders; // headers that name no student column
    QList<SheetStudent> students;
};

// The first row is the header. Throws core::Error naming a required column the file lacks
// (or a column named twice).
StudentSheet readStudentSheet(const QList<SheetRow>& rows);

// A cell as the value of a student column, or nullopt with `why` set when it cannot be one.
// Texts are trimmed; a number written into a text column (a spreadsheet's "12345678950" or
// "1.2345678950E10") becomes its whole digits; empty status becomes "1", empty GSS 0.
std::optional<QVariant> studentValue(const QString& column, const QVariant& cell, QString* why);

} // namespace zelvo::studentregister
