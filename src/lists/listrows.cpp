#include "lists/listrows.h"

#include "core/period.h"
#include "core/turkishtext.h"
#include "db/dataset.h"

namespace zelvo::lists {

const QStringList& listColumns()
{
    static const QStringList columns{
        QStringLiteral("yil"),         QStringLiteral("ay"),
        QStringLiteral("ogrencino"),   QStringLiteral("adi"),
        QStringLiteral("soyadi"),      QStringLiteral("ssksicilno"),
        QStringLiteral("tckimlikno"),  QStringLiteral("baslangictarihi"),
        QStringLiteral("bitistarihi"), QStringLiteral("gun"),
        QStringLiteral("kazanc"),      QStringLiteral("matrah"),
        QStringLiteral("isveren"),     QStringLiteral("isci"),
        QStringLiteral("idogrenci")};
    return columns;
}

const QStringList& workplaceColumns()
{
    static const QStringList columns{
        QStringLiteral("idisyeri"),      QStringLiteral("birimkodu"),
        QStringLiteral("birimadi"),      QStringLiteral("isyerisicil"),
        QStringLiteral("kontrolno"),     QStringLiteral("isyeriaracino"),
        QStringLiteral("isyeriunvani"),  QStringLiteral("isyeriadres"),
        QStringLiteral("isyerivergino"), QStringLiteral("vergidairesi")};
    return columns;
}

void openWithColumns(db::Dataset& dataset, const QStringList& columns)
{
    dataset.open();
    try {
        for (const QString& column : columns)
            dataset.requireColumn(column);
    } catch (const db::DbError&) {
        dataset.close();
        throw;
    }
}

QVector<controls::GridColumn> gridColumns()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment centred = Qt::AlignCenter;
    const QString amount = QStringLiteral("##,##0.00 ");
    const QString date = QStringLiteral("DD-MM-YYYY");
    // numbers, amounts and the year count digits; names and the other texts characters
    static const QStringList digits{QStringLiteral("yil"),       QStringLiteral("ay"),
                                    QStringLiteral("ogrencino"), QStringLiteral("gun"),
                                    QStringLiteral("kazanc"),    QStringLiteral("isveren"),
                                    QStringLiteral("isci")};
    auto c = [](const char* field, const char* title, int width, const QString& format,
                Qt::Alignment alignment) {
        controls::GridColumn column(QString::fromLatin1(field), QString::fromUtf8(title), width,
                                    format, alignment, false, true);
        column.measuredInCharacters = !digits.contains(column.field);
        return column;
    };
    return {
        c("yil", "Yıl", 4, {}, centred), c("ay", "Ay", 2, {}, centred),
        // the register keeps numbers of up to 10 characters
        c("ogrencino", "Öğrenci No", 10, {}, left), c("adi", "Adı", 13, {}, left),
        c("soyadi", "Soyadı", 17, {}, left), c("ssksicilno", "Sosyal Güvenlik No", 16, {}, left),
        c("baslangictarihi", "Staj Başlangıç", 11, date, centred),
        c("bitistarihi", "Staj Bitiş", 13, date, centred), c("gun", "Gün", 4, {}, right),
        c("kazanc", "Matrah", 10, amount, right), c("isveren", "İşveren Payı", 10, amount, right),
        c("isci", "Çalışan Payı", 10, amount, right)};
}

QVariantHash currentRecord(const db::Dataset& dataset)
{
    QVariantHash record;
    const QStringList& columns = dataset.columns();
    const int row = dataset.isOpen() ? dataset.currentIndex() : -1;
    for (int c = 0; c < columns.size(); ++c)
        record.insert(columns.at(c), dataset.valueAt(row, c));
    return record;
}

report::ReportData reportData(const db::Dataset& rows, const db::Dataset& workplace,
                              const db::Dataset& parameters, const core::Period& period, bool gss)
{
    QList<QVariantList> table;
    table.reserve(rows.recordCount());
    const int columnCount = int(rows.columns().size());
    for (int r = 0; r < rows.recordCount(); ++r) {
        QVariantList values;
        values.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c)
            values.append(rows.valueAt(r, c));
        table.append(std::move(values));
    }
    report::ReportData data = report::ReportData::fromTable(rows.columns(), table);
    data.setRecord(QStringLiteral("isyeri"), currentRecord(workplace));
    data.setRecord(QStringLiteral("parametre"), currentRecord(parameters));
    data.setVariable(QStringLiteral("yil"), period.year());
    data.setVariable(QStringLiteral("ay"), period.month());
    data.setVariable(QStringLiteral("ayadi"), core::turkishMonthName(period.month()));
    // the printed GSS lists say which insurance they are for
    data.setVariable(QStringLiteral("sigorta"),
                     gss ? QStringLiteral(" - GENEL SAĞLIK SİGORTASI") : QString());
    return data;
}

} // namespace zelvo::lists
