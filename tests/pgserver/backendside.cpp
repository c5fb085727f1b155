#include "backendside.h"

#include <QDate>
#include <QLocale>
#include <QTest>
#include <algorithm>

using namespace zelvo;

namespace pgtest {

namespace {

const QString Year = QStringLiteral("2026");
const QString Unit = QStringLiteral("01");

QVariant valueOf(const Rows& rows, int row, const QString& column)
{
    for (int c = 0; c < rows.columns.size(); ++c)
        if (rows.columns.at(c).compare(column, Qt::CaseInsensitive) == 0)
            return rows.rows.value(row).value(c);
    QTest::qFail(qPrintable(QStringLiteral("column %1 missing from [%2]")
                                .arg(column, rows.columns.join(QLatin1Char(',')))),
                 __FILE__, __LINE__);
    return {};
}

// The entry or exit day as the declaration holds it: DDMM when it falls in the period.
QVariant periodDay(const QDate& day, const QDate& first, const QDate& last)
{
    return day.isValid() && day >= first && day <= last
               ? QVariant(day.toString(QStringLiteral("ddMM")))
               : QVariant();
}

void storeTimesheet(BackendSide& side, int month, const QString& edition)
{
    const QDate first(2026, month, 15);
    const QDate last = first.addMonths(1).addDays(-1);
    const QString dayFirst = QStringLiteral("dd-MM-yyyy");
    if (month != 6 && month != 12)
        side.call(QStringLiteral("PuantajSil") + edition, {Year, month, Unit});
    const Rows students = side.call(QStringLiteral("PuantajGetir") + edition,
                                    {first.toString(dayFirst), last.toString(dayFirst), Unit});
    for (int r = 0; r < students.rows.size(); ++r) {
        const QVariant id = valueOf(students, r, QStringLiteral("idogrenci"));
        const QDate from =
            std::max(valueOf(students, r, QStringLiteral("baslangictarihi")).toDate(), first);
        const QDate to =
            std::min(valueOf(students, r, QStringLiteral("bitistarihi")).toDate(), last);
        const Rows days = side.call(QStringLiteral("GunHesapla"), {from, to, id, month, Year});
        const Rows stored =
            side.call(QStringLiteral("PuantajOzel") + edition, {Year, month, id.toString()});
        if (stored.rows.isEmpty())
            side.insert(QStringLiteral("Puantaj"),
                        {{QStringLiteral("idogrenci"), id},
                         {QStringLiteral("yil"), Year},
                         {QStringLiteral("ay"), month},
                         {QStringLiteral("gun"), valueOf(days, 0, QStringLiteral("gun"))},
                         {QStringLiteral("birimkodu"), Unit}});
    }
}

void storeAccrual(BackendSide& side, int month, const QString& edition)
{
    side.call(QStringLiteral("TahakkukSil") + edition, {Year, month, Unit});
    const Rows parameters = side.call(QStringLiteral("ParametreGetir"), {});
    const double wage =
        valueOf(parameters, 0, QStringLiteral("au%1").arg(month, 2, 10, QLatin1Char('0')))
            .toDouble();
    const double januaryWage = valueOf(parameters, 0, QStringLiteral("au01")).toDouble();
    const Rows sheet = side.call(QStringLiteral("PuantajGenel") + edition, {Year, month, Unit});
    for (int r = 0; r < sheet.rows.size(); ++r) {
        const int days = valueOf(sheet, r, QStringLiteral("gun")).toInt();
        const double amount =
            month == 12 ? wage * valueOf(sheet, r, QStringLiteral("gun1")).toInt() / 30 +
                              januaryWage * valueOf(sheet, r, QStringLiteral("gun2")).toInt() / 30
                        : wage * days / 30;
        side.call(QStringLiteral("Tahakkukekle") + edition,
                  {valueOf(sheet, r, QStringLiteral("idogrenci")).toString(), Year, month, days,
                   Unit, amount, amount});
    }
}

void storeDeclaration(BackendSide& side, int month, const QString& edition)
{
    const QDate first(2026, month, 15);
    const QDate last = first.addMonths(1).addDays(-1);
    const bool gss = edition == QLatin1String("xxx");
    if (gss)
        side.call(QStringLiteral("XmlSilxxx"), {Year, month, Unit});
    const Rows source = side.call(gss ? QStringLiteral("XmlListe1xxx") : QStringLiteral("Liste1"),
                                  {Year, month, Unit});
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    for (int r = 0; r < source.rows.size(); ++r) {
        const auto value = [&](const char* column) {
            return valueOf(source, r, QString::fromLatin1(column));
        };
        const double earnings = value("kazanc").toDouble();
        const QVariant exitDay = periodDay(value("bitistarihi").toDate(), first, last);
        side.insert(QStringLiteral("Xml"),
                    {{QStringLiteral("idogrenci"), value("idogrenci")},
                     {QStringLiteral("yil"), Year},
                     {QStringLiteral("ay"), month},
                     {QStringLiteral("birimkodu"), Unit},
                     {QStringLiteral("ogrencino"), value("ogrencino")},
                     {QStringLiteral("adi"), value("adi")},
                     {QStringLiteral("soyadi"), value("soyadi")},
                     {QStringLiteral("ilksoyadi"), gss ? value("ilksoyadi") : QVariant()},
                     {QStringLiteral("ssksicilno"), value("ssksicilno")},
                     {QStringLiteral("tckimlikno"), value("tckimlikno")},
                     {QStringLiteral("baslangictarihi"), value("baslangictarihi")},
                     {QStringLiteral("bitistarihi"), value("bitistarihi")},
                     {QStringLiteral("gun"), value("gun")},
                     {QStringLiteral("pek"), turkish.toString(earnings, 'f', 2)},
                     {QStringLiteral("isveren"), value("isveren")},
                     {QStringLiteral("isci"), value("isci")},
                     {QStringLiteral("girisgun"),
                      periodDay(value("baslangictarihi").toDate(), first, last)},
                     {QStringLiteral("cikisgun"), exitDay},
                     {QStringLiteral("istencikisnedeni"),
                      exitDay.isNull() ? QVariant() : QVariant(QStringLiteral("22"))},
                     {QStringLiteral("sil1"), QString::number(earnings, 'f', 2)}});
    }
}

} // namespace

Rows EmbeddedSide::call(const QString& name, const QVariantList& args)
{
    const db::ResultRows result = m_fixture.call(name, args);
    return {result.columns, result.rows, {}, {}};
}

void EmbeddedSide::insert(const QString& table, const Values& values)
{
    try {
        m_fixture.conn->insertRow(table, values);
    } catch (const db::DbError& e) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(table, e.text())), __FILE__, __LINE__);
    }
}

void EmbeddedSide::runScript(const QString& sql)
{
    try {
        m_fixture.conn->applyScript(sql);
    } catch (const db::DbError& e) {
        QTest::qFail(qPrintable(e.text()), __FILE__, __LINE__);
    }
}

Rows ServerSide::call(const QString& name, const QVariantList& args)
{
    return callProcedure(m_database.db(), name, args);
}

void ServerSide::insert(const QString& table, const Values& values)
{
    QStringList columns;
    QVariantList args;
    for (const auto& [column, value] : values) {
        columns << column;
        args << value;
    }
    query(m_database.db(),
          QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(table, columns.join(QLatin1Char(',')),
                   QStringList(args.size(), QStringLiteral("?")).join(QLatin1Char(','))),
          args);
}

void ServerSide::runScript(const QString& sql)
{
    const QString error = pgtest::runScript(m_database.db(), sql);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
}

QString canonical(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().date().toString(Qt::ISODate);
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    default:
        return QLatin1Char('\'') + value.toString() + QLatin1Char('\'');
    }
}

QStringList canonical(const Rows& rows)
{
    QStringList lines = {rows.columns.join(QLatin1Char('|')).toLower()};
    for (const auto& row : rows.rows) {
        QStringList values;
        for (const QVariant& value : row)
            values << canonical(value);
        lines << values.join(QLatin1Char('|'));
    }
    return lines;
}

void workMonth(BackendSide& side, int month, const QString& edition)
{
    storeTimesheet(side, month, edition);
    storeAccrual(side, month, edition);
    storeDeclaration(side, month, edition);
}

} // namespace pgtest
