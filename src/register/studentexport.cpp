#include "register/studentexport.h"

#include "core/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <xlsxwriter.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

[[noreturn]] void fail(const QString& path, const QString& why)
{
    throw core::Error(u"%1 yazılamadı: %2"_s.arg(QDir::toNativeSeparators(path), why));
}

QString lxwText(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

} // namespace

const QStringList& exportedColumns()
{
    static const QStringList columns = [] {
        QStringList names;
        for (const StudentField& field : studentFields())
            if (field.column != u"okuladi"_s && field.column != u"otomasyonid"_s)
                names << field.column;
        return names;
    }();
    return columns;
}

void writeStudentsXlsx(const QString& path, const QList<StudentValues>& students)
{
    const QFileInfo target(path);
    const QString partial = target.absoluteDir().filePath(
        u".%1.%2.part"_s.arg(target.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
    const QByteArray partialName = QFile::encodeName(partial);
    lxw_workbook* book = workbook_new(partialName.constData());
    if (!book)
        fail(path, u"dosya oluşturulamadı"_s);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Öğrenciler");
    lxw_format* dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "dd.mm.yyyy");
    lxw_format* titleFormat = workbook_add_format(book);
    format_set_bold(titleFormat);

    const QStringList& columns = exportedColumns();
    for (int c = 0; c < columns.size(); ++c) {
        const StudentField* field = studentField(columns.at(c));
        worksheet_write_string(sheet, 0, lxw_col_t(c), field->title.toUtf8().constData(),
                               titleFormat);
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                             field->width == 0 ? 12 : qBound(6, field->width, 40), nullptr);
    }
    for (int r = 0; r < students.size(); ++r) {
        const StudentValues& student = students.at(r);
        const auto row = lxw_row_t(r + 1);
        for (int c = 0; c < columns.size(); ++c) {
            const QString& column = columns.at(c);
            const QVariant value = student.value(column);
            if (value.isNull())
                continue;
            const auto col = lxw_col_t(c);
            if (column == u"baslangictarihi"_s || column == u"bitistarihi"_s) {
                const QDate date = storedDate(value);
                if (date.isValid()) {
                    lxw_datetime cell{date.year(), date.month(), date.day(), 0, 0, 0};
                    worksheet_write_datetime(sheet, row, col, &cell, dateFormat);
                }
            } else if (column == u"gss"_s) {
                worksheet_write_number(sheet, row, col, value.toInt() != 0 ? 1 : 0, nullptr);
            } else if (const QString text = value.toString(); !text.isEmpty()) {
                worksheet_write_string(sheet, row, col, text.toUtf8().constData(), nullptr);
            }
        }
    }
    if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR) {
        QFile::remove(partial);
        fail(path, lxwText(error));
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        fail(path, u"dosya yerine konamadı"_s);
    }
}

} // namespace zelvo::studentregister
