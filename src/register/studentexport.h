#pragma once

#include "register/studentrules.h"

#include <QList>
#include <QString>

namespace zelvo::studentregister {

// Writes students as an .xlsx sheet under the register grid's titles, in the grid's column
// order: dates as date cells, identity and other numbers as text, GSS as 1 or 0. The file is
// written next to `path` and renamed into place, so a failure leaves no partial file and an
// earlier file intact. Throws core::Error naming the file when it cannot be written.
void writeStudentsXlsx(const QString& path, const QList<StudentValues>& students);

// The columns the export writes, in order.
const QStringList& exportedColumns();

} // namespace zelvo::studentregister
