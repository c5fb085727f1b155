// The columns of the shown rows that the two files write, each file's in the order it writes
// them. The XML writer, the check of what it would carry and the CSV writer walk these tables,
// so a column is added, renamed or moved here and nowhere else.
#pragma once

#include <QString>

#include <span>

namespace zelvo::declaration {

// When a value goes into a student's XML line.
enum class XmlWritten {
    Always,
    WithText,     // something is left after removing blanks and control characters at both ends
    NotEmpty,     // any text, blanks too; only empty text leaves it out
    WithPrevious, // exactly when the attribute before it was written
};

// One attribute of a student's line: ` NAME="value"`, followed by a blank when `spaced`.
struct XmlRowAttribute {
    const char* name; // "SIGORTALISICIL"
    QString column;   // "ssksicilno"
    XmlWritten when;
    bool spaced;
};

// How a CSV field is made from its column.
enum class CsvValue {
    LineNumber,  // n, from 1
    Text,        // the column's text
    Date,        // the column's date in the workstation's short form
    DayWithYear, // "DDMM" as "DD-MM-YYYY" with the year the day falls in
};

struct CsvColumn {
    QString title;
    QString column; // empty for the line number
    CsvValue value;
    bool standardOnly; // the GSS edition leaves the internship place out
};

std::span<const XmlRowAttribute> xmlRowAttributes();
std::span<const CsvColumn> csvColumns();

} // namespace zelvo::declaration
