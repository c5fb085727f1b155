#include "register/sheetreader.h"

#include "core/error.h"

#include "core/cp1254.h"
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

QString decodeText(const QByteArray& bytes)
{
    const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return core::fromCp1254(bytes);
}

QChar findSeparator(const QString& text)
{
    int counts[3] = {0, 0, 0};
    const QChar candidates[3] = {u';', u',', u'\t'};
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted)
            for (int i = 0; i < 3; ++i)
                counts[i] += c == candidates[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best])
            best = i;
    return candidates[best];
}

bool isBlank(const SheetRow& row)
{
    for (const QVariant& cell : row.cells)
        if (!cell.toString().trimmed().isEmpty())
            return false;
    return true;
}

} // namespace

QList<SheetRow> readDelimitedText(const QByteArray& bytes)
{
    const QString text = decodeText(bytes);
    const QChar separator = findSeparator(text);
    QList<SheetRow> rows;
    SheetRow row{1, {}};
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    auto endField = [&] {
        row.cells.append(field.isEmpty() && !wasQuoted ? QVariant() : QVariant(field));
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        if (!isBlank(row))
            rows.append(std::move(row));
        row = SheetRow{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = wasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            ++line;
            endRow();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || wasQuoted || !row.cells.isEmpty())
        endRow();
    return rows;
}

QList<SheetRow> readSheetFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"xlsx"_s)
        return readXlsx(path);
    if (suffix != u"csv"_s && suffix != u"txt"_s)
        throw core::Error(
            u"%1 okunamadı: yalnız .xlsx, .csv ve .txt dosyaları aktarılabilir."_s.arg(
                QFileInfo(path).fileName()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw core::Error(
            u"%1 okunamadı: %2"_s.arg(QFileInfo(path).fileName(), file.errorString()));
    return readDelimitedText(file.readAll());
}

QDate dateFromSerial(double serial)
{
    return QDate(1899, 12, 30).addDays(qint64(serial));
}

} // namespace zelvo::studentregister
