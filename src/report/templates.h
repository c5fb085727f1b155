#pragma once

#include <QString>
#include <QStringList>

namespace zelvo::report {

// The folder the list windows read their templates from: "c:\zelvo\" on Windows; elsewhere
// "<application data>/templates/", created when missing. Always ends with a separator.
QString templateFolder();

// The templates that ship inside the program, as resource paths (":/reports/liste1.frf", ...).
QStringList bundledTemplates();

// Copies every bundled template that is missing from `folder` (the template folder when
// empty) into it. Existing files are left alone, so a user's edits survive. Returns the names
// of the files written; a file that could not be written is put into *errors.
QStringList ensureBundledTemplates(const QString& folder = {}, QStringList* errors = nullptr);

} // namespace zelvo::report
