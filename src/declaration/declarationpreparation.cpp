#include "declaration/declarationpreparation.h"

#include "monthly/monthchain.h"

#include "db/dataset.h"
#include "declaration/declarationtext.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace zelvo::declaration {

namespace {

void prepareStatement(db::Dataset& dataset, const QString& sql, const core::Period& period,
                      const QString& unit)
{
    dataset.close();
    dataset.clearParams();
    dataset.setSql(sql);
    dataset.addParam(QStringLiteral("@yil"), period.year());
    dataset.addParam(QStringLiteral("@ay"), period.month());
    dataset.addParam(QStringLiteral("@birimkodu"), unit);
}

QString lines(const QStringList& parts)
{
    QString text;
    for (const QString& part : parts)
        text += part + QStringLiteral("\r\n");
    return text;
}

// The source columns a declaration row is made of, looked up once per run.
struct SourceColumns {
    int idogrenci, ogrencino, adi, soyadi, ilksoyadi, ssksicilno, tckimlikno, baslangictarihi,
        bitistarihi, birimkodu, yil, ay, gun, kazanc, isveren, isci;

    explicit SourceColumns(const db::Dataset& source)
    {
        auto need = [&source](const char* name) {
            return source.requireColumn(QString::fromLatin1(name));
        };
        idogrenci = need("idogrenci");
        ogrencino = need("ogrencino");
        adi = need("adi");
        soyadi = need("soyadi");
        ilksoyadi = need("ilksoyadi");
        ssksicilno = need("ssksicilno");
        tckimlikno = need("tckimlikno");
        baslangictarihi = need("baslangictarihi");
        bitistarihi = need("bitistarihi");
        birimkodu = need("birimkodu");
        yil = need("yil");
        ay = need("ay");
        gun = need("gun");
        kazanc = need("kazanc");
        isveren = need("isveren");
        isci = need("isci");
    }
};

QString premiumBaseText(const db::Dataset& source, int row, const SourceColumns& c)
{
    const QVariant amount = source.valueAt(row, c.kazanc);
    if (const auto text = pekText(amount))
        return *text;
    throw db::DbError(QStringLiteral("%1 numaralı öğrencinin tahakkukundaki kazanç ('%2') sayı "
                                     "değil. Tahakkuk bölümünde tahakkuku yeniden çalıştırınız.")
                          .arg(source.valueAt(row, c.ogrencino).toString(), amount.toString()));
}

// One declaration row from one source row: the values a row appended to the target and posted
// would store.
QVector<QVariant> declarationRow(const db::Dataset& source, int row, const SourceColumns& c,
                                 const QDate& first, const QDate& last, const QString& reasonCode)
{
    auto from = [&source, row](int column) { return source.valueAt(row, column); };
    const QString pek = premiumBaseText(source, row, c);
    const QString exitDay = periodDayText(from(c.bitistarihi).toDate(), first, last);
    return {from(c.yil),
            from(c.ay),
            from(c.birimkodu),
            from(c.idogrenci),
            from(c.ogrencino),
            from(c.adi),
            from(c.soyadi),
            from(c.ilksoyadi),
            from(c.ssksicilno),
            from(c.tckimlikno),
            from(c.baslangictarihi),
            from(c.bitistarihi),
            pek,
            from(c.isveren),
            from(c.isci),
            from(c.gun),
            periodDayText(from(c.baslangictarihi).toDate(), first, last),
            exitDay,
            exitDay.isEmpty() ? QString() : reasonCode,
            sil1FromPek(pek)};
}

} // namespace

const QStringList& declarationColumns()
{
    static const QStringList columns = {QStringLiteral("yil"),
                                        QStringLiteral("ay"),
                                        QStringLiteral("birimkodu"),
                                        QStringLiteral("idogrenci"),
                                        QStringLiteral("ogrencino"),
                                        QStringLiteral("adi"),
                                        QStringLiteral("soyadi"),
                                        QStringLiteral("ilksoyadi"),
                                        QStringLiteral("ssksicilno"),
                                        QStringLiteral("tckimlikno"),
                                        QStringLiteral("baslangictarihi"),
                                        QStringLiteral("bitistarihi"),
                                        QStringLiteral("pek"),
                                        QStringLiteral("isveren"),
                                        QStringLiteral("isci"),
                                        QStringLiteral("gun"),
                                        QStringLiteral("girisgun"),
                                        QStringLiteral("cikisgun"),
                                        QStringLiteral("istencikisnedeni"),
                                        QStringLiteral("sil1")};
    return columns;
}

QString removalStatement()
{
    return lines({QStringLiteral("delete from Xml where yil="), QStringLiteral("@yil"),
                  QStringLiteral(" and ay="), QStringLiteral("@ay"),
                  QStringLiteral(" and birimkodu="), QStringLiteral("@birimkodu"),
                  QStringLiteral(" and idogrenci in"),
                  // no "distinct": a server without statistics on Xml would join the distinct
                  // list once per row it removes, 10,000 rows taking many seconds
                  QStringLiteral("(select idogrenci from ogrenci where gss=0)")});
}

QString sourceStatement()
{
    return lines({QStringLiteral("SELECT  o.idogrenci,o.ogrencino,o.adi,o.soyadi,o.ssksicilno,"
                                 "o.tckimlikno,o.baslangictarihi,o.bitistarihi,"),
                  QStringLiteral("p.yil,p.ay,p.gun,p.kazanc,p.matrah,p.isveren,p.isci,o.idogrenci,"
                                 "o.birimkodu,o.stajili,o.stajyeri,o.ilksoyadi"),
                  QStringLiteral("FROM     Tahakkuk p, Ogrenci O"),
                  QStringLiteral("WHERE  o.idogrenci=p.idogrenci and"), QStringLiteral("p.yil="),
                  QStringLiteral("@yil"), QStringLiteral(" and p.ay="), QStringLiteral("@ay"),
                  QStringLiteral(" and p.birimkodu="), QStringLiteral("@birimkodu"),
                  QStringLiteral(" and o.gss=0"),
                  QStringLiteral("order by o.ogrencino,o.adi,o.soyadi")});
}

void openShownRows(const DeclarationEdition& edition, db::Dataset& shown,
                   const core::Period& period, const QString& unit)
{
    shown.prepareCall(
        edition.procedure(QStringLiteral("XmlListe2")),
        {{u"@key1"_s, period.year()}, {u"@key2"_s, period.month()}, {u"@key3"_s, unit}});
    shown.open();
    shown.first();
}

int prepareDeclaration(const DeclarationEdition& edition, const PreparationDatasets& sets,
                       const core::Period& period, const QString& unit, const QString& user)
{
    period.requireWholeYear();
    const QDate first = period.firstDay();
    const QDate last = period.lastDay();
    for (db::Dataset* dataset : {&sets.removal, &sets.source, &sets.target})
        dataset->close();

    try {
        db::Transaction transaction(sets.removal.connection());
        // a second workstation preparing the same unit and month waits for this one to finish
        sets.removal.connection().lockStep(
            QStringLiteral("Bildirge hazırlığı (1. adım)"),
            QStringLiteral("birim %1, %2/%3").arg(unit, period.year()).arg(period.month()));
        // the reason code as the parameter row holds it now, not as the window opened it
        sets.parameters.prepareCall(QStringLiteral("ParametreGetir"));
        sets.parameters.open();
        const QString reasonCode =
            sets.parameters.value(QStringLiteral("istencikisnedeni")).toString();
        if (edition.directStatements) {
            prepareStatement(sets.removal, removalStatement(), period, unit);
            sets.removal.execProc();
            prepareStatement(sets.source, sourceStatement(), period, unit);
        } else {
            const db::Params keys = {
                {u"@key1"_s, period.year()}, {u"@key2"_s, period.month()}, {u"@key3"_s, unit}};
            sets.removal.prepareCall(edition.procedure(QStringLiteral("XmlSil")), keys);
            sets.removal.execProc();
            sets.source.prepareCall(edition.procedure(QStringLiteral("XmlListe1")), keys);
        }
        sets.source.open();
        const SourceColumns columns(sets.source);

        sets.target.prepareCall(
            edition.procedure(QStringLiteral("XmlGetir")),
            {{u"@key1"_s, period.year()}, {u"@key2"_s, period.month()}, {u"@key3"_s, unit}});
        sets.target.open();
        // the rows go to the target's table in batches, as many statements as a few hundred
        // rows need, in the order of the source
        QVector<QVector<QVariant>> rows;
        rows.reserve(sets.source.recordCount());
        for (int row = 0; row < sets.source.recordCount(); ++row)
            rows << declarationRow(sets.source, row, columns, first, last, reasonCode);
        sets.removal.connection().insertRows(sets.target.writeTarget().table, declarationColumns(),
                                             rows);
        monthly::recordRun(sets.removal.connection(),
                           {period.year(), period.month(), unit, !edition.suffix.isEmpty()},
                           monthly::ChainStep::Declaration, user, int(rows.size()));
        transaction.commit();
    } catch (...) {
        sets.target.close();
        throw;
    }
    sets.target.close();
    sets.source.close();

    openShownRows(edition, sets.shown, period, unit);
    return sets.shown.recordCount();
}

} // namespace zelvo::declaration
