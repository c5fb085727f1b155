// Pieces shared by the XML and the CSV writer: reading shown rows as text and the texts of
// the errors that stop a file.
#pragma once

#include "core/cp1254.h"
#include "declaration/declarationinput.h"

#include <QString>

namespace zelvo::declaration {

// the code page's names, as both writers and their helpers use them
using core::Cp1254Buffer;
using core::DeclaredCharset;
using core::unwritableReason;

} // namespace zelvo::declaration

namespace zelvo::declaration::detail {

// The shown rows' column texts, one row at a time. A missing column is remembered as the
// error and reads as empty.
class RowReader {
public:
    RowReader(const ShownRow& row, qsizetype rowNumber) : m_row(row), m_rowNumber(rowNumber) {}

    QString text(const QString& column);     // shownValueText of the column
    QString dateText(const QString& column); // shownDateText of the column
    // Encodes text taken from `column` into out; on failure records the error naming the
    // student and the column.
    bool append(Cp1254Buffer& out, QStringView text, const QString& column);

    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    const QVariant* find(const QString& column);

    const ShownRow& m_row;
    qsizetype m_rowNumber;
    QString m_error;
};

// Writes a built file to path in one piece (see writeFileAtomically); the build's error when
// it failed. Returns the error text, empty on success.
QString writeBuiltFile(const QString& path, const FileBytes& file);

// prefix + the month box's text as two digits + suffix, with "GSS-" before it for that
// edition; empty unless the month box holds one or two characters.
QString proposedMonthFileName(const QString& prefix, const QString& monthText,
                              const QString& suffix, Edition edition);

QString monthError(int month);
// A value of the workplace row, the parameter row or the year box that does not fit.
QString workplaceValueError(const QString& column, QStringView value, DeclaredCharset charset);
QString parameterValueError(const QString& column, QStringView value, DeclaredCharset charset);
QString yearBoxValueError(QStringView value, DeclaredCharset charset);
// The year box of December is no whole number, so a January day has no year to be written with.
QString yearBoxNumberError(const QString& value);

} // namespace zelvo::declaration::detail
