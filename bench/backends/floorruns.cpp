#include "floorruns.h"

namespace {

const QString Year = QStringLiteral("2026");
const QString Month = QStringLiteral("3");
const QString Unit = QStringLiteral("01");
const QString PeriodStart = QStringLiteral("2026-03-15");
const QString PeriodEnd = QStringLiteral("2026-04-14");

QString amountText(double amount)
{
    return QString::number(amount, 'g', 17);
}

} // namespace

int floorTimesheet(RawFloor& floor)
{
    floor.begin();
    floor.call(QStringLiteral("PuantajSil"), {Year, Month, Unit});
    const RawFloor::Rows students =
        floor.call(QStringLiteral("PuantajGetir"),
                   {QStringLiteral("15-03-2026"), QStringLiteral("14-04-2026"), Unit});
    for (int r = 0; r < students.rows.size(); ++r) {
        const QString id = students.value(r, QStringLiteral("idogrenci"));
        const QString start = students.value(r, QStringLiteral("baslangictarihi")).left(10);
        const QString end = students.value(r, QStringLiteral("bitistarihi")).left(10);
        const RawFloor::Rows days =
            floor.call(QStringLiteral("GunHesapla"),
                       {qMax(start, PeriodStart), qMin(end, PeriodEnd), id, Month, Year});
        const QString gun = QString::number(qMin(days.value(0, QStringLiteral("gun")).toInt(), 30));
        const RawFloor::Rows single = floor.call(QStringLiteral("PuantajOzel"), {Year, Month, id});
        if (single.rows.isEmpty())
            floor.run(QStringLiteral("INSERT INTO puantaj (idogrenci, yil, ay, gun, birimkodu) "
                                     "VALUES ($1, $2, $3, $4, $5)"),
                      {id, Year, Month, gun, Unit});
        else
            floor.run(QStringLiteral("UPDATE puantaj SET gun = $1 WHERE idpuantaj = $2"),
                      {gun, single.value(0, QStringLiteral("idpuantaj"))});
    }
    const int stored =
        int(floor.call(QStringLiteral("PuantajGenel"), {Year, Month, Unit}).rows.size());
    floor.commit();
    return stored;
}

int floorAccrual(RawFloor& floor)
{
    floor.begin();
    const double wage = floor.call(QStringLiteral("ParametreGetir"), {})
                            .value(0, QStringLiteral("au03"))
                            .toDouble();
    floor.call(QStringLiteral("TahakkukSil"), {Year, Month, Unit});
    const RawFloor::Rows sheet = floor.call(QStringLiteral("PuantajGenel"), {Year, Month, Unit});
    for (int r = 0; r < sheet.rows.size(); ++r) {
        const QString days = sheet.value(r, QStringLiteral("gun"));
        const QString amount = amountText(wage * days.toInt() / 30);
        floor.call(QStringLiteral("Tahakkukekle"), {sheet.value(r, QStringLiteral("idogrenci")),
                                                    Year, Month, days, Unit, amount, amount});
    }
    const int stored =
        int(floor.call(QStringLiteral("TahakkukGenel"), {Year, Month, Unit}).rows.size());
    floor.commit();
    return stored;
}

int floorDeclaration(RawFloor& floor)
{
    floor.begin();
    floor.run(QStringLiteral("DELETE FROM xml WHERE yil = $1 AND ay = $2 AND birimkodu = $3 AND "
                             "idogrenci IN (SELECT DISTINCT idogrenci FROM ogrenci WHERE gss = 0)"),
              {Year, Month, Unit});
    const RawFloor::Rows source = floor.run(
        QStringLiteral("SELECT o.idogrenci, o.ogrencino, o.adi, o.soyadi, o.ssksicilno, "
                       "o.tckimlikno, o.baslangictarihi, o.bitistarihi, p.gun, p.kazanc, "
                       "p.isveren, p.isci FROM tahakkuk p, ogrenci o WHERE o.idogrenci = "
                       "p.idogrenci AND p.yil = $1 AND p.ay = $2 AND p.birimkodu = $3 AND "
                       "o.gss = 0 ORDER BY o.ogrencino, o.adi, o.soyadi"),
        {Year, Month, Unit});
    floor.call(QStringLiteral("XmlGetir"), {Year, Month, Unit});
    for (int r = 0; r < source.rows.size(); ++r) {
        const auto value = [&](const char* column) {
            return source.value(r, QString::fromLatin1(column));
        };
        floor.run(QStringLiteral("INSERT INTO xml (idogrenci, yil, ay, birimkodu, ogrencino, adi, "
                                 "soyadi, ssksicilno, tckimlikno, baslangictarihi, bitistarihi, "
                                 "gun, pek, isveren, isci, sil1) VALUES ($1, $2, $3, $4, $5, $6, "
                                 "$7, $8, $9, $10, $11, $12, $13, $14, $15, $16)"),
                  {value("idogrenci"), Year, Month, Unit, value("ogrencino"), value("adi"),
                   value("soyadi"), value("ssksicilno"), value("tckimlikno"),
                   value("baslangictarihi").left(10), value("bitistarihi").left(10), value("gun"),
                   value("kazanc").replace(QLatin1Char('.'), QLatin1Char(',')), value("isveren"),
                   value("isci"), value("kazanc")});
    }
    floor.commit();
    return int(source.rows.size());
}
