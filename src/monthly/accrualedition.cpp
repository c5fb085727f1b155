#include "monthly/accrualedition.h"

namespace zelvo::monthly {

namespace {

using controls::GridColumn;

// The grid's ten columns. The GSS edition formats the amounts ("##,##0.00 ") and centres the
// short columns; the standard one shows the amounts as the server keeps them, with their two
// decimals.
QVector<GridColumn> accrualColumns(bool gss)
{
    const QString amount = gss ? QStringLiteral("##,##0.00 ") : QStringLiteral("0.00");
    const Qt::Alignment centred = gss ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    auto c = [](const char* field, const char* title, int width, const QString& format,
                Qt::Alignment alignment) {
        GridColumn column;
        column.field = QString::fromLatin1(field);
        column.title = QString::fromUtf8(title);
        column.widthChars = width;
        column.format = format;
        column.alignment = alignment;
        column.readOnly = true;
        return column;
    };
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    return {c("yil", "Yıl", 4, {}, centred),
            c("ay", "İlgili Ay", 7, {}, centred),
            c("ogrencino", "Öğrenci Numarası", 10, {}, centred),
            c("adi", "Adı", 18, {}, left),
            c("soyadi", "Soyadı", 22, {}, left),
            c("gun", "Aya Ait Staj Günü", 10, {}, centred),
            c("kazanc", "Toplam Kazanç", 10, amount, right),
            c("matrah", "SGK Matrahı", 7, amount, right),
            c("isveren", "İşveren Payı", 7, amount, right),
            c("isci", "Çalışan Payı", 7, amount, right)};
}

} // namespace

const AccrualEdition& AccrualEdition::standard()
{
    static const AccrualEdition edition{QStringLiteral("FrmTahakkuk"),
                                        QString(),
                                        QStringLiteral("Tahakkuk Kontrol Ekranı"),
                                        QStringLiteral("2012"),
                                        {}, // only the columns a run uses, taken as delivered
                                        {},
                                        accrualColumns(false)};
    return edition;
}

const AccrualEdition& AccrualEdition::gss()
{
    static const AccrualEdition edition{
        QStringLiteral("FrmTahakkukGss"),
        QStringLiteral("xxx"),
        QStringLiteral("GENEL SAĞLIK SİGORTASI Tahakkuk Kontrol Ekranı"),
        QStringLiteral("2008"),
        {QStringLiteral("yil"), QStringLiteral("ay"), QStringLiteral("ogrencino"),
         QStringLiteral("adi"), QStringLiteral("soyadi"), QStringLiteral("gun"),
         QStringLiteral("baslangictarihi"), QStringLiteral("bitistarihi"),
         QStringLiteral("idogrenci"), QStringLiteral("gun1"), QStringLiteral("gun2")},
        {QStringLiteral("yil"), QStringLiteral("ay"), QStringLiteral("ogrencino"),
         QStringLiteral("adi"), QStringLiteral("soyadi"), QStringLiteral("gun"),
         QStringLiteral("kazanc"), QStringLiteral("matrah"), QStringLiteral("isveren"),
         QStringLiteral("isci"), QStringLiteral("idogrenci")},
        accrualColumns(true)};
    return edition;
}

} // namespace zelvo::monthly
