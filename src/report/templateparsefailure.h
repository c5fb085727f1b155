#pragma once

// Shared by the pieces of the template reader: a problem found while reading a template,
// thrown where it is found and turned into a ReportError by Template::parse.

#include <QString>

namespace zelvo::report::detail {

struct ParseFailure {
    int line;
    int column;
    QString message;
};

[[noreturn]] inline void failAt(int line, int column, const QString& message)
{
    throw ParseFailure{line, column, message};
}

} // namespace zelvo::report::detail
