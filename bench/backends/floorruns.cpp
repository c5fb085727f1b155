#include "floorruns.h"

#include "core/money.h"
#include "db/connection.h"
#include "declaration/declarationpreparation.h"
#include "declaration/declarationtext.h"
#include "monthly/daycount.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

using namespace zelvo;

using namespace zelvo::monthly;

namespace {

const QString Year = QStringLiteral("2026");
const QString Month = QStringLiteral("3");
const QString Unit = QStringLiteral("01");
const QString PeriodStart = QStringLiteral("2026-03-15");
const QString PeriodEnd = QStringLiteral("2026-04-14");

QString compactJson(const QJsonArray& array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QDate day(const QString& text)
{
    return QDate::fromString(text.left(10), Qt::ISODate);
}

// The program's statement text with its three named values as $1, $2, $3.
QString numbered(QString sql)
{
    return sql.replace(QLatin1String("@yil"), QLatin1String("$1"))
        .replace(QLatin1String("@ay"), QLatin1String("$2"))
        .replace(QLatin1String("@birimkodu"), QLatin1String("$3"));
}

// The multi-row INSERT statements the program's batches send, the same number of rows each.
void insertRows(RawFloor& floor, const QString& table, const QStringList& columns,
                const QVector<QStringList>& rows)
{
    for (int done = 0; done < rows.size();) {
        const int count = db::rowsPerInsert(int(rows.size()) - done, int(columns.size()));
        QStringList tuples;
        QStringList values;
        for (int r = 0; r < count; ++r) {
            QStringList marks;
            for (int c = 0; c < columns.size(); ++c)
                marks << QStringLiteral("$%1").arg(r * columns.size() + c + 1);
            tuples << QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
            values << rows.at(done + r);
        }
        floor.run(QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                      .arg(table, columns.join(QLatin1Char(',')), tuples.join(QLatin1Char(','))),
                  values);
        done += count;
    }
}

} // namespace

int floorTimesheet(RawFloor& floor)
{
    floor.begin();
    floor.call(QStringLiteral("PuantajSil"), {Year, Month, Unit});
    const RawFloor::Rows students =
        floor.call(QStringLiteral("PuantajGetir"),
                   {QStringLiteral("15-03-2026"), QStringLiteral("14-04-2026"), Unit});
    QJsonArray spans;
    for (int r = 0; r < students.rows.size(); ++r) {
        const QString start = students.value(r, QStringLiteral("baslangictarihi")).left(10);
        const QString end = students.value(r, QStringLiteral("bitistarihi")).left(10);
        spans.append(QJsonArray{std::max(start, PeriodStart), std::min(end, PeriodEnd),
                                students.value(r, QStringLiteral("idogrenci"))});
    }
    const RawFloor::Rows counts =
        floor.call(QStringLiteral("GunHesaplaListe"), {compactJson(spans), Month, Year});
    const QDate first = day(PeriodStart);
    const QDate last = day(PeriodEnd);
    QJsonArray days;
    for (int r = 0; r < students.rows.size(); ++r) {
        const int counted =
            timesheetDays(day(students.value(r, QStringLiteral("baslangictarihi"))),
                          day(students.value(r, QStringLiteral("bitistarihi"))), first, last,
                          [&] { return counts.value(r, QStringLiteral("gun")).toInt(); });
        days.append(
            QJsonArray{students.value(r, QStringLiteral("idogrenci")).toLongLong(), counted});
    }
    floor.call(QStringLiteral("PuantajYaz"), {Year, Month, Unit, compactJson(days)});
    const int stored =
        int(floor.call(QStringLiteral("PuantajGenel"), {Year, Month, Unit}).rows.size());
    floor.commit();
    return stored;
}

int floorAccrual(RawFloor& floor)
{
    floor.begin();
    const qint64 wage =
        core::money::parseKurus(
            floor.call(QStringLiteral("ParametreGetir"), {}).value(0, QStringLiteral("au03")))
            .value_or(0);
    floor.call(QStringLiteral("TahakkukSil"), {Year, Month, Unit});
    const RawFloor::Rows sheet = floor.call(QStringLiteral("PuantajGenel"), {Year, Month, Unit});
    QJsonArray rows;
    for (int r = 0; r < sheet.rows.size(); ++r) {
        const QString days = sheet.value(r, QStringLiteral("gun"));
        const QString amount =
            core::money::plainText(core::money::earningsKurus({{wage, days.toInt()}}).value_or(0));
        rows.append(
            QJsonArray{sheet.value(r, QStringLiteral("idogrenci")), days.toInt(), amount, amount});
    }
    floor.call(QStringLiteral("TahakkukekleListe"), {Year, Month, Unit, compactJson(rows)});
    const int stored =
        int(floor.call(QStringLiteral("TahakkukGenel"), {Year, Month, Unit}).rows.size());
    floor.commit();
    return stored;
}

int floorDeclaration(RawFloor& floor)
{
    using namespace zelvo::declaration;
    floor.begin();
    const QString reason = floor.call(QStringLiteral("ParametreGetir"), {})
                               .value(0, QStringLiteral("istencikisnedeni"));
    floor.run(numbered(removalStatement()), {Year, Month, Unit});
    const RawFloor::Rows source = floor.run(numbered(sourceStatement()), {Year, Month, Unit});
    floor.call(QStringLiteral("XmlGetir"), {Year, Month, Unit});
    const QDate first = day(PeriodStart);
    const QDate last = day(PeriodEnd);
    const QStringList& columns = declarationColumns();
    QVector<QStringList> rows;
    rows.reserve(source.rows.size());
    for (int r = 0; r < source.rows.size(); ++r) {
        const auto value = [&](const char* column) {
            return source.value(r, QString::fromLatin1(column));
        };
        const QString pek = pekText(value("kazanc")).value_or(QString());
        const QString exitDay = periodDayText(day(value("bitistarihi")), first, last);
        rows << QStringList{Year,
                            Month,
                            value("birimkodu"),
                            value("idogrenci"),
                            value("ogrencino"),
                            value("adi"),
                            value("soyadi"),
                            value("ilksoyadi"),
                            value("ssksicilno"),
                            value("tckimlikno"),
                            value("baslangictarihi").left(10),
                            value("bitistarihi").left(10),
                            pek,
                            value("isveren"),
                            value("isci"),
                            value("gun"),
                            periodDayText(day(value("baslangictarihi")), first, last),
                            exitDay,
                            exitDay.isEmpty() ? QString() : reason,
                            sil1FromPek(pek)};
    }
    insertRows(floor, QStringLiteral("xml"), columns, rows);
    const int shown = int(floor.call(QStringLiteral("XmlListe2"), {Year, Month, Unit}).rows.size());
    floor.commit();
    return shown;
}
