// Writing a whole file so that it is either complete or not there.
#pragma once

#include <QByteArray>
#include <QString>

namespace zelvo::declaration {

// Writes bytes to a temporary file next to path and renames it to path once everything is
// on disk. Returns empty text on success, otherwise the input/output error ("<path>: <the
// system's text>"); then an earlier file of that name is left as it was and no partial file
// stays behind.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace zelvo::declaration
