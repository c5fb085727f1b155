#include "declaration/atomicfile.h"

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
    // A short write carries no error of its own; the next attempt reports why (disk full,
    // file too large).
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString error = file.errorString();
            file.cancelWriting();
            return ioError(path, error);
        }
        written += n;
    }
    if (!file.commit()) {
        return ioError(path, file.errorString());
    }
    return {};
}

} // namespace zelvo::declaration
