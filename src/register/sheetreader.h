// The rows of a spreadsheet or a delimited text file, cell by cell, as the file holds them.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace zelvo::studentregister {

// One row of the file: the line (or sheet row) it starts on and its cells. A cell is a QString,
// a double (a number), a bool or a QDate (a number the sheet formats as a date); empty cells are
// null QVariants.
struct SheetRow {
    int line = 0;
    QList<QVariant> cells;
};

// Reads the first sheet of an .xlsx file or a .csv / .txt file (chosen by the suffix). Throws
// core::Error with a Turkish text when the file cannot be read.
QList<SheetRow> readSheetFile(const QString& path);

// A delimited text: UTF-8 (with or without its byte order mark) or Windows-1254, told apart by
// whether the bytes are valid UTF-8; the separator is whichever of ';', ',' and tab the header
// line has most of outside quotes; quoted fields may hold separators, line breaks and doubled
// quotes. Blank lines are left out.
QList<SheetRow> readDelimitedText(const QByteArray& bytes);

// The first sheet of an .xlsx workbook held in a file.
QList<SheetRow> readXlsx(const QString& path);

// A spreadsheet date serial (days since 30.12.1899, as the 1900 date system counts them).
QDate dateFromSerial(double serial);

} // namespace zelvo::studentregister
