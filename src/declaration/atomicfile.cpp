#include "atomicfile.h"

#include <QDir>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

QString ioError(const QString& path, const QString& text)
{
    return u"%1: %2"_s.arg(QDir::toNativeSeparators(path), text);
}

} // namespace

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    // QSaveFile writes to a temporary file in the same folder and renames it over path on
    // commit(); without commit() (or when it fails) the temporary file is removed. It never
    // falls back to writing path directly, so a folder that takes no new file is an error.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return ioError(path, file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return ioError(path, error);
    }
    if (!file.commit()) {
        return ioError(path, file.errorString());
    }
    return {};
}

} // namespace zelvo::declaration
