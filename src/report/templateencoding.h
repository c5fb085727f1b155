#pragma once

#include "report/reporterror.h"

#include <QByteArray>
#include <QString>

namespace zelvo::report {

// The text of a template file. Valid UTF-8 (with or without a byte order mark) is read as
// UTF-8. Anything else is read as Windows-1254, the code page Turkish Windows editors save in:
// its Turkish letters (0xFD 'ı', 0xF0 'ğ', 0xDE 'Ş' ...) are never valid UTF-8 next to
// ordinary text, so the two cannot be mistaken for each other. A byte that neither can read
// is an error with its line and column; `fileName` only names the file in it.
Result<QString> decodeTemplateText(const QByteArray& bytes, const QString& fileName);

} // namespace zelvo::report
