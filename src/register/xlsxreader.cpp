#include "register/sheetreader.h"

#include "core/error.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <minizip/unzip.h>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

// A workbook is untrusted input: no part of it is read beyond this many bytes.
constexpr qint64 kMaxPartBytes = 256LL * 1024 * 1024;

// The workbook's archive, read through minizip (the zip library libxlsxwriter uses as well,
// so the program carries one set of its symbols).
class Workbook {
public:
    explicit Workbook(const QString& path) : m_name(QFileInfo(path).fileName())
    {
        m_zip = unzOpen64(QFile::encodeName(path).constData());
        if (!m_zip)
            fail(u"bir Excel (.xlsx) dosyası değil"_s);
    }
    ~Workbook()
    {
        if (m_zip)
            unzClose(m_zip);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    [[noreturn]] void fail(const QString& why) const
    {
        throw core::Error(u"%1 okunamadı: %2."_s.arg(m_name, why));
    }

    // The bytes of one part; empty when the workbook has no such part and it is optional.
    QByteArray part(const QString& name, bool required)
    {
        const QByteArray entry = name.toUtf8();
        if (unzLocateFile(m_zip, entry.constData(), 1) != UNZ_OK) {
            if (required)
                fail(u"%1 bölümü yok"_s.arg(name));
            return {};
        }
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(m_zip) != UNZ_OK)
            fail(u"%1 bölümü açılamadı"_s.arg(name));
        if (info.uncompressed_size > quint64(kMaxPartBytes)) {
            unzCloseCurrentFile(m_zip);
            fail(u"%1 bölümü çok büyük"_s.arg(name));
        }
        QByteArray bytes;
        bytes.reserve(qsizetype(info.uncompressed_size));
        char buffer[1 << 16];
        int read = 0;
        while ((read = unzReadCurrentFile(m_zip, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, read);
            if (bytes.size() > kMaxPartBytes)
                break;
        }
        // a bad checksum shows here, at the close
        const int closed = unzCloseCurrentFile(m_zip);
        if (read < 0 || closed != UNZ_OK || bytes.size() > kMaxPartBytes)
            fail(u"%1 bölümü bozuk"_s.arg(name));
        return bytes;
    }

    void checkXml(const QXmlStreamReader& xml, const QString& name) const
    {
        if (xml.hasError())
            fail(u"%1 bölümü bozuk (%2)"_s.arg(name, xml.errorString()));
    }

private:
    unzFile m_zip = nullptr;
    QString m_name;
};

// The first sheet's part, by the workbook's first <sheet> and its relationship.
QString firstSheetPart(Workbook& book)
{
    QString relation;
    {
        QXmlStreamReader xml(book.part(u"xl/workbook.xml"_s, true));
        while (relation.isEmpty() && !xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"sheet"_s)
                continue;
            // r:id, whatever prefix the workbook gives the relationships' namespace
            for (const QXmlStreamAttribute& a : xml.attributes())
                if (a.name() == u"id"_s)
                    relation = a.value().toString();
        }
        book.checkXml(xml, u"xl/workbook.xml"_s);
    }
    if (relation.isEmpty())
        book.fail(u"içinde sayfa yok"_s);
    QXmlStreamReader xml(book.part(u"xl/_rels/workbook.xml.rels"_s, true));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship"_s &&
            xml.attributes().value(u"Id"_s) == relation) {
            const QString target = xml.attributes().value(u"Target"_s).toString();
            return target.startsWith(u'/') ? target.mid(1) : u"xl/"_s + target;
        }
    }
    book.checkXml(xml, u"xl/_rels/workbook.xml.rels"_s);
    book.fail(u"ilk sayfası bulunamadı"_s);
}

// The text of an <si> or <is> element: its <t> pieces, rich runs included, phonetic hints not.
QString stringItem(QXmlStreamReader& xml)
{
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"rPh"_s)
                ++phonetic;
            else if (xml.name() == u"t"_s && phonetic == 0)
                text += xml.readElementText();
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == u"rPh"_s)
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

QStringList sharedStrings(Workbook& book)
{
    QStringList strings;
    QXmlStreamReader xml(book.part(u"xl/sharedStrings.xml"_s, false));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si"_s)
            strings << stringItem(xml);
    book.checkXml(xml, u"xl/sharedStrings.xml"_s);
    return strings;
}

bool isDateFormatCode(QString code)
{
    // quoted literals and [colour] / [$-locale] sections say nothing about the kind
    static const QRegularExpression literals(uR"("[^"]*"|\[[^\]]*\]|\\.)"_s);
    code.remove(literals);
    code = code.toLower();
    return code.contains(u'd') || code.contains(u'y');
}

// For every cell style (the s attribute), whether it shows a number as a date.
QList<bool> dateStyles(Workbook& book)
{
    QSet<int> dateFormats = {14, 15, 16, 17, 18, 19, 20, 21, 22, 45, 46, 47};
    QList<bool> styles;
    QXmlStreamReader xml(book.part(u"xl/styles.xml"_s, false));
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const auto attributes = xml.attributes();
            if (xml.name() == u"numFmt"_s &&
                isDateFormatCode(attributes.value(u"formatCode"_s).toString()))
                dateFormats.insert(attributes.value(u"numFmtId"_s).toInt());
            else if (xml.name() == u"cellXfs"_s)
                inCellXfs = true;
            else if (inCellXfs && xml.name() == u"xf"_s)
                styles << dateFormats.contains(attributes.value(u"numFmtId"_s).toInt());
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs"_s) {
            inCellXfs = false;
        }
    }
    book.checkXml(xml, u"xl/styles.xml"_s);
    return styles;
}

// "C7" -> 2; -1 without letters.
int columnOf(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference.at(i).isLetter(); ++i)
        column = column * 26 + (reference.at(i).toUpper().unicode() - u'A' + 1);
    return i == 0 || column > 16384 ? -1 : column - 1;
}

QVariant cellValue(const QString& type, const QString& value, const QString& inlineText,
                   bool dateStyle, const QStringList& strings)
{
    if (type == u"s"_s) {
        bool ok = false;
        const int index = value.toInt(&ok);
        return ok && index >= 0 && index < strings.size() ? QVariant(strings.at(index))
                                                          : QVariant();
    }
    if (type == u"inlineStr"_s)
        return inlineText;
    if (type == u"str"_s || type == u"e"_s)
        return value;
    if (type == u"b"_s)
        return value == u"1"_s;
    if (type == u"d"_s)
        return QDate::fromString(value.left(10), Qt::ISODate);
    if (value.isEmpty())
        return {};
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value;
    return dateStyle ? QVariant(dateFromSerial(number)) : QVariant(number);
}

} // namespace

QList<SheetRow> readXlsx(const QString& path)
{
    Workbook book(path);
    const QString sheetPart = firstSheetPart(book);
    const QStringList strings = sharedStrings(book);
    const QList<bool> styles = dateStyles(book);

    QList<SheetRow> rows;
    QXmlStreamReader xml(book.part(sheetPart, true));
    SheetRow row;
    int nextColumn = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && xml.name() == u"row"_s) {
            const int r = xml.attributes().value(u"r"_s).toInt();
            row = SheetRow{r > 0 ? r : (rows.isEmpty() ? 1 : rows.last().line + 1), {}};
            nextColumn = 0;
        } else if (token == QXmlStreamReader::StartElement && xml.name() == u"c"_s) {
            const auto attributes = xml.attributes();
            const int column =
                attributes.hasAttribute(u"r"_s) ? columnOf(attributes.value(u"r"_s)) : nextColumn;
            const QString type = attributes.value(u"t"_s).toString();
            const int style = attributes.value(u"s"_s).toInt();
            QString value;
            QString inlineText;
            while (!xml.atEnd()) {
                const auto inner = xml.readNext();
                if (inner == QXmlStreamReader::StartElement && xml.name() == u"v"_s)
                    value = xml.readElementText();
                else if (inner == QXmlStreamReader::StartElement && xml.name() == u"is"_s)
                    inlineText = stringItem(xml);
                else if (inner == QXmlStreamReader::EndElement && xml.name() == u"c"_s)
                    break;
            }
            if (column < 0)
                continue;
            nextColumn = column + 1;
            if (row.cells.size() <= column)
                row.cells.resize(column + 1);
            row.cells[column] =
                cellValue(type, value, inlineText, styles.value(style, false), strings);
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"row"_s) {
            bool blank = true;
            for (const QVariant& cell : std::as_const(row.cells))
                blank = blank && (cell.isNull() || cell.toString().trimmed().isEmpty());
            if (!blank)
                rows.append(std::move(row));
            row = {};
        }
    }
    book.checkXml(xml, sheetPart);
    return rows;
}

} // namespace zelvo::studentregister
