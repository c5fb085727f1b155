#include "register/studentsheet.h"

#include "core/error.h"
#include "core/turkishtext.h"

#include <QHash>

#include <cmath>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

const QHash<QString, QString>& headerColumns()
{
    static const QHash<QString, QString> columns = [] {
        const std::pair<const char16_t*, const char16_t*> names[] = {
            {u"Öğrenci No", u"ogrencino"},
            {u"Öğrenci Numarası", u"ogrencino"},
            {u"TC Kimlik No", u"tckimlikno"},
            {u"TCKN", u"tckimlikno"},
            {u"T.C. No", u"tckimlikno"},
            {u"Ad", u"adi"},
            {u"Soyad", u"soyadi"},
            {u"Staj Başlangıç Tarihi", u"baslangictarihi"},
            {u"Staj Bitiş Tarihi", u"bitistarihi"},
            {u"Başlangıç", u"baslangictarihi"},
            {u"Bitiş", u"bitistarihi"},
            {u"İl", u"stajili"},
            {u"Kurum", u"stajyeri"},
        };
        QHash<QString, QString> map;
        for (const StudentField& field : studentFields())
            map.insert(headerKey(field.title), field.column);
        for (const auto& [header, column] : names)
            map.insert(headerKey(QString::fromUtf16(header)), QString::fromUtf16(column));
        return map;
    }();
    return columns;
}

// A whole number as its digits: 12345678950, "12345678950", "1.2345678950E10".
std::optional<QString> wholeDigits(const QVariant& cell)
{
    bool ok = cell.typeId() == QMetaType::Double;
    double number = ok ? cell.toDouble() : 0;
    if (!ok) {
        const QString text = cell.toString().trimmed();
        if (!text.contains(u'e', Qt::CaseInsensitive))
            return std::nullopt;
        number = text.toDouble(&ok);
    }
    if (!ok || number < 0 || number >= 1e15 || number != std::floor(number))
        return std::nullopt;
    return QString::number(qint64(number));
}

QDate textDate(const QString& text)
{
    for (const QString& format : {u"d.M.yyyy"_s, u"d-M-yyyy"_s, u"d/M/yyyy"_s, u"yyyy-MM-dd"_s}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return date;
    }
    return {};
}

std::optional<int> gssFlag(const QVariant& cell)
{
    if (cell.typeId() == QMetaType::Bool)
        return cell.toBool() ? 1 : 0;
    if (cell.typeId() == QMetaType::Double && (cell.toDouble() == 0 || cell.toDouble() == 1))
        return int(cell.toDouble());
    const QString text = core::turkishUpper(cell.toString().trimmed());
    if (text.isEmpty() || text == u"0"_s || text == u"H"_s || text == u"HAYIR"_s)
        return 0;
    if (text == u"1"_s || text == u"E"_s || text == u"EVET"_s || text == u"X"_s)
        return 1;
    return std::nullopt;
}

} // namespace

QString headerKey(QStringView header)
{
    QString key = core::turkishLower(header.toString());
    key.removeIf([](QChar c) { return c.isSpace() || c == u'.' || c == u'/'; });
    return key;
}

QString columnForHeader(QStringView header)
{
    return headerColumns().value(headerKey(header));
}

const QStringList& requiredColumns()
{
    static const QStringList columns = {u"ogrencino"_s,       u"adi"_s,
                                        u"soyadi"_s,          u"tckimlikno"_s,
                                        u"baslangictarihi"_s, u"bitistarihi"_s};
    return columns;
}

std::optional<QVariant> studentValue(const QString& column, const QVariant& cell, QString* why)
{
    const QString title = studentField(column) ? studentField(column)->title : column;
    const QString shown = cell.typeId() == QMetaType::QDate
                              ? cell.toDate().toString(u"dd.MM.yyyy"_s)
                              : cell.toString().trimmed();
    auto refuse = [&](const QString& what) -> std::optional<QVariant> {
        *why = u"%1 %2 (%3)"_s.arg(title, what, shown);
        return std::nullopt;
    };
    if (column == u"baslangictarihi"_s || column == u"bitistarihi"_s) {
        if (cell.typeId() == QMetaType::QDate)
            return cell;
        if (cell.typeId() == QMetaType::Double)
            return QVariant(dateFromSerial(cell.toDouble()));
        if (shown.isEmpty())
            return QVariant(QMetaType(QMetaType::QDate));
        const QDate date = textDate(shown);
        return date.isValid() ? std::optional<QVariant>(date) : refuse(u"tarih olarak okunamadı"_s);
    }
    if (column == u"gss"_s) {
        const auto flag = gssFlag(cell);
        return flag ? std::optional<QVariant>(*flag)
                    : refuse(u"1/0, E/H, Evet/Hayır ya da X olmalı"_s);
    }
    if (column == u"otomasyonid"_s) {
        if (shown.isEmpty())
            return QVariant(QMetaType(QMetaType::Int));
        const auto digits = wholeDigits(cell);
        bool ok = false;
        const qint64 id = (digits ? *digits : shown).toLongLong(&ok);
        return ok && id >= 0 && id <= 2147483647 ? std::optional<QVariant>(int(id))
                                                 : refuse(u"tam sayı olmalı"_s);
    }
    QString text = shown;
    if (const auto digits = wholeDigits(cell);
        digits && (cell.typeId() == QMetaType::Double || column == u"tckimlikno"_s))
        text = *digits;
    if (column == u"statu"_s && text.isEmpty())
        text = u"1"_s;
    return QVariant(text);
}

StudentSheet readStudentSheet(const QList<SheetRow>& rows)
{
    StudentSheet sheet;
    if (rows.isEmpty())
        throw core::Error(u"Dosya boş: başlık satırı yok."_s);
    QList<int> fileColumns; // the file column of each student column of the sheet
    const QList<QVariant>& header = rows.first().cells;
    for (int i = 0; i < header.size(); ++i) {
        const QString title = header.at(i).toString().trimmed();
        if (title.isEmpty())
            continue;
        const QString column = columnForHeader(title);
        if (column.isEmpty()) {
            sheet.ignoredHeaders << title;
            continue;
        }
        if (sheet.columns.contains(column))
            throw core::Error(
                u"\"%1\" sütunu dosyada iki kez var."_s.arg(studentField(column)->title));
        sheet.columns << column;
        fileColumns << i;
    }
    QStringList missing;
    for (const QString& column : requiredColumns())
        if (!sheet.columns.contains(column))
            missing << u"\"%1\""_s.arg(studentField(column)->title);
    if (!missing.isEmpty())
        throw core::Error(u"Dosyada gerekli sütun yok: %1."_s.arg(missing.join(u", "_s)));
    for (const QString& column : {u"statu"_s, u"gss"_s})
        if (!sheet.columns.contains(column)) {
            sheet.columns << column;
            fileColumns << -1;
        }

    sheet.students.reserve(rows.size() - 1);
    for (qsizetype r = 1; r < rows.size(); ++r) {
        SheetStudent student{rows.at(r).line, {}, {}};
        for (qsizetype c = 0; c < sheet.columns.size(); ++c) {
            const QString& column = sheet.columns.at(c);
            const QVariant cell = rows.at(r).cells.value(fileColumns.at(c));
            QString why;
            if (const auto value = studentValue(column, cell, &why))
                student.values.insert(column, *value);
            else
                student.unreadable << why;
        }
        sheet.students.append(std::move(student));
    }
    return sheet;
}

} // namespace zelvo::studentregister
