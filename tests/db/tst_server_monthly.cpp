// The embedded server's behaviour in the monthly chain: which students a period lists, the day
// count, December's default old/new wage split, the accrual amounts and shares, the two
// editions, the order of the monthly results, gun_1 of the declaration rows, the cascade when
// a student is deleted and the one-row-per-student-and-month keys.

#include "db/dataset.h"
#include "serverfixture.h"

#include <QTest>

using namespace zelvo;

using namespace servertest;

namespace {

const QString Y = QStringLiteral("2026");
const QString U = QStringLiteral("01");

// The day-first texts of the first and last day of the declaration period of month m of 2026.
QString periodStart(int m)
{
    return QStringLiteral("15-%1-2026").arg(m, 2, 10, QLatin1Char('0'));
}
QString periodEnd(int m)
{
    return m == 12 ? QStringLiteral("14-01-2027")
                   : QStringLiteral("14-%1-2026").arg(m + 1, 2, 10, QLatin1Char('0'));
}

// The exact decimal a stored amount holds, written with two decimals; "?" when the stored value
// has more than two decimals (a rounding left undone) or is not a number.
QString storedAmount(const QVariant& v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || v.isNull())
        return QStringLiteral("?");
    const QString shortest = QString::number(d, 'f', QLocale::FloatingPointShortest);
    const int point = shortest.indexOf(QLatin1Char('.'));
    if (point >= 0 && shortest.size() - point - 1 > 2)
        return QStringLiteral("?") + shortest;
    return QString::number(d, 'f', 2);
}

} // namespace

class TstServerMonthly : public QObject {
    Q_OBJECT

    std::unique_ptr<ServerFixture> f;

    // Posts a timesheet row the way the timesheet window does: open PuantajOzel for the
    // student, update gun when the row exists, else append a new row.
    void storeDays(const QString& edition, const QString& id, const QString& yil, int ay, int gun)
    {
        db::Dataset d(*f->conn);
        d.setProcedure(QStringLiteral("PuantajOzel") + edition);
        d.addParam(QStringLiteral("@key1"), yil);
        d.addParam(QStringLiteral("@key2"), ay);
        d.addParam(QStringLiteral("@key3"), id);
        d.open();
        if (d.recordCount() > 0) {
            d.first();
            d.edit();
            d.setValue(QStringLiteral("gun"), gun);
        } else {
            d.append();
            d.setValue(QStringLiteral("idogrenci"), id.toInt());
            d.setValue(QStringLiteral("yil"), yil);
            d.setValue(QStringLiteral("ay"), ay);
            d.setValue(QStringLiteral("gun"), gun);
            d.setValue(QStringLiteral("birimkodu"), U);
        }
        d.post();
    }

    db::ResultRows timesheetRow(const QString& id, const QString& yil, int ay)
    {
        return f->call(QStringLiteral("PuantajOzel"), {yil, ay, id});
    }

private Q_SLOTS:
    void init() { f = std::make_unique<ServerFixture>(); }
    void cleanup() { f.reset(); }

    // PuantajGetir: the edition's students of the unit whose internship overlaps the period
    // (both dates set, start on or before the last day, end on or after the first), passive
    // students left out.
    void periodOverlap_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QVariant>("start");
        QTest::addColumn<QVariant>("end");
        QTest::addColumn<QString>("statu");
        QTest::addColumn<int>("gss");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("listed");

        auto row = [](const char* name, int month, QVariant start, QVariant end, const char* statu,
                      int gss, const char* unit, bool listed) {
            QTest::newRow(name) << month << start << end << QString::fromLatin1(statu) << gss
                                << QString::fromLatin1(unit) << listed;
        };
        const QVariant none;
        row("exactly the period", 1, QDate(2026, 1, 15), QDate(2026, 2, 14), "1", 0, "01", true);
        row("inside the period", 1, QDate(2026, 1, 20), QDate(2026, 1, 20), "1", 0, "01", true);
        row("around the period", 1, QDate(2026, 1, 1), QDate(2026, 3, 31), "1", 0, "01", true);
        row("ends on the first day", 1, QDate(2025, 12, 1), QDate(2026, 1, 15), "1", 0, "01", true);
        row("ends the day before", 1, QDate(2025, 12, 1), QDate(2026, 1, 14), "1", 0, "01", false);
        row("starts on the last day", 1, QDate(2026, 2, 14), QDate(2026, 3, 1), "1", 0, "01", true);
        row("starts the day after", 1, QDate(2026, 2, 15), QDate(2026, 3, 1), "1", 0, "01", false);
        row("passive", 1, QDate(2026, 1, 15), QDate(2026, 2, 14), "2", 0, "01", false);
        row("completed", 1, QDate(2026, 1, 15), QDate(2026, 2, 14), "3", 0, "01", true);
        row("no status", 1, QDate(2026, 1, 15), QDate(2026, 2, 14), "", 0, "01", true);
        row("no start", 1, none, QDate(2026, 2, 14), "1", 0, "01", false);
        row("no end", 1, QDate(2026, 1, 15), none, "1", 0, "01", false);
        row("no dates", 1, none, none, "1", 0, "01", false);
        row("another unit", 1, QDate(2026, 1, 15), QDate(2026, 2, 14), "1", 0, "02", false);
        row("GSS student", 1, QDate(2026, 1, 15), QDate(2026, 2, 14), "1", 1, "01", true);
        row("GSS passive", 1, QDate(2026, 1, 15), QDate(2026, 2, 14), "2", 1, "01", false);
        row("June", 6, QDate(2026, 6, 1), QDate(2026, 6, 15), "1", 0, "01", true);
        row("June, ended before", 6, QDate(2026, 6, 1), QDate(2026, 6, 14), "1", 0, "01", false);
        row("December into January", 12, QDate(2026, 12, 1), QDate(2027, 1, 31), "1", 0, "01",
            true);
        row("December, starts in January", 12, QDate(2027, 1, 10), QDate(2027, 2, 1), "1", 0, "01",
            true);
        row("December, starts after the 14th of January", 12, QDate(2027, 1, 15), QDate(2027, 2, 1),
            "1", 0, "01", false);
        row("December, the year before", 12, QDate(2025, 12, 15), QDate(2026, 1, 14), "1", 0, "01",
            false);
    }
    void periodOverlap()
    {
        QFETCH(int, month);
        QFETCH(QVariant, start);
        QFETCH(QVariant, end);
        QFETCH(QString, statu);
        QFETCH(int, gss);
        QFETCH(QString, unit);
        QFETCH(bool, listed);

        NewStudent s{"2024001", "Deniz", "Ak", start, end, statu, gss, unit};
        const QString id = f->addStudent(s);
        if (statu.isEmpty())
            f->conn->execute(QStringLiteral("UPDATE ogrenci SET statu = NULL"));

        const db::ResultRows standard =
            f->call(QStringLiteral("PuantajGetir"), {periodStart(month), periodEnd(month), U});
        const db::ResultRows gssRows =
            f->call(QStringLiteral("PuantajGetirxxx"), {periodStart(month), periodEnd(month), U});
        QCOMPARE(columnTexts(standard, "idogrenci"),
                 listed && gss == 0 ? QStringList{id} : QStringList{});
        QCOMPARE(columnTexts(gssRows, "idogrenci"),
                 listed && gss == 1 ? QStringList{id} : QStringList{});
        if (listed) {
            const db::ResultRows& rows = gss ? gssRows : standard;
            QCOMPARE(field(rows, 0, "baslangictarihi"), start);
            QCOMPARE(field(rows, 0, "bitistarihi"), end);
        }
    }

    void periodListIsOrderedByStudentNumber()
    {
        for (const char* no : {"2024030", "2024010", "2024020"})
            f->addStudent({no, "Ada", "Su", QDate(2026, 3, 1), QDate(2026, 5, 1)});
        const db::ResultRows rows =
            f->call(QStringLiteral("PuantajGetir"), {periodStart(3), periodEnd(3), U});
        QCOMPARE(columnTexts(rows, "ogrencino"), (QStringList{"2024010", "2024020", "2024030"}));
    }

    // GunHesapla: the days from start to end, both included; 0 when the end is before the
    // start. The window sends stored dates as dates and cut dates as year-first texts.
    void dayCount_data()
    {
        QTest::addColumn<QVariant>("start");
        QTest::addColumn<QVariant>("end");
        QTest::addColumn<QVariant>("days");

        QTest::newRow("one day") << QVariant(QDate(2026, 1, 20)) << QVariant(QDate(2026, 1, 20))
                                 << QVariant(1);
        QTest::newRow("January period")
            << QVariant("2026-01-15") << QVariant("2026-02-14") << QVariant(31);
        QTest::newRow("February period")
            << QVariant("2026-02-15") << QVariant("2026-03-14") << QVariant(28);
        QTest::newRow("February period, leap year")
            << QVariant("2028-02-15") << QVariant("2028-03-14") << QVariant(29);
        QTest::newRow("December period")
            << QVariant("2026-12-15") << QVariant("2027-01-14") << QVariant(31);
        QTest::newRow("cut at the start")
            << QVariant("2026-01-15") << QVariant(QDate(2026, 1, 28)) << QVariant(14);
        QTest::newRow("cut at the end")
            << QVariant(QDate(2026, 1, 20)) << QVariant("2026-02-14") << QVariant(26);
        QTest::newRow("end the day before the start")
            << QVariant(QDate(2026, 3, 10)) << QVariant(QDate(2026, 3, 9)) << QVariant(0);
        QTest::newRow("end long before the start")
            << QVariant(QDate(2026, 3, 10)) << QVariant(QDate(2025, 3, 9)) << QVariant(0);
        QTest::newRow("day-first texts")
            << QVariant("15-03-2026") << QVariant("14-04-2026") << QVariant(31);
        QTest::newRow("missing start") << QVariant() << QVariant(QDate(2026, 3, 9)) << QVariant();
        QTest::newRow("missing end") << QVariant(QDate(2026, 3, 9)) << QVariant() << QVariant();
    }
    void dayCount()
    {
        QFETCH(QVariant, start);
        QFETCH(QVariant, end);
        QFETCH(QVariant, days);
        const db::ResultRows rows =
            f->call(QStringLiteral("GunHesapla"), {start, end, QStringLiteral("7"), 1, Y});
        QCOMPARE(rows.columns, QStringList{QStringLiteral("gun")});
        QCOMPARE(rows.rows.size(), 1);
        const QVariant gun = rows.rows.at(0).at(0);
        QCOMPARE(gun.isNull(), days.isNull());
        if (!days.isNull())
            QCOMPARE(gun.toInt(), days.toInt());
    }

    // December rows get gun2 = the days of the cut internship in January (1 to 14 January of
    // the next year) and gun1 = gun - gun2, when stored without a split.
    void decemberDefaultSplit_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<int>("gun");
        QTest::addColumn<QVariant>("gun1");
        QTest::addColumn<QVariant>("gun2");

        QTest::newRow("full period") << 12 << QDate(2026, 12, 15) << QDate(2027, 1, 14) << 30
                                     << QVariant(16) << QVariant(14);
        QTest::newRow("runs past both ends")
            << 12 << QDate(2026, 11, 1) << QDate(2027, 2, 28) << 30 << QVariant(16) << QVariant(14);
        QTest::newRow("starts inside, ends in January")
            << 12 << QDate(2026, 12, 20) << QDate(2027, 1, 10) << 22 << QVariant(12)
            << QVariant(10);
        QTest::newRow("ends in December") << 12 << QDate(2026, 12, 16) << QDate(2026, 12, 31) << 16
                                          << QVariant(16) << QVariant(0);
        QTest::newRow("starts in January")
            << 12 << QDate(2027, 1, 5) << QDate(2027, 3, 1) << 10 << QVariant(0) << QVariant(10);
        QTest::newRow("one day, 1 January")
            << 12 << QDate(2027, 1, 1) << QDate(2027, 1, 1) << 1 << QVariant(0) << QVariant(1);
        QTest::newRow("one day, 31 December")
            << 12 << QDate(2026, 12, 31) << QDate(2026, 12, 31) << 1 << QVariant(1) << QVariant(0);
        QTest::newRow("fewer days than January holds")
            << 12 << QDate(2026, 12, 15) << QDate(2027, 1, 14) << 5 << QVariant(0) << QVariant(5);
        QTest::newRow("no dates: the whole period")
            << 12 << QDate() << QDate() << 30 << QVariant(16) << QVariant(14);
        QTest::newRow("November: no split")
            << 11 << QDate(2026, 11, 15) << QDate(2026, 12, 14) << 30 << QVariant() << QVariant();
        QTest::newRow("January: no split")
            << 1 << QDate(2026, 1, 15) << QDate(2026, 2, 14) << 30 << QVariant() << QVariant();
    }
    void decemberDefaultSplit()
    {
        QFETCH(int, month);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(int, gun);
        QFETCH(QVariant, gun1);
        QFETCH(QVariant, gun2);

        const QString id = f->addStudent({"2024001", "Deniz", "Ak", start, end});
        storeDays({}, id, Y, month, gun);
        const db::ResultRows rows = timesheetRow(id, Y, month);
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(field(rows, 0, "gun").toInt(), gun);
        QCOMPARE(field(rows, 0, "gun1").isNull(), gun1.isNull());
        QCOMPARE(field(rows, 0, "gun2").isNull(), gun2.isNull());
        if (!gun1.isNull()) {
            QCOMPARE(field(rows, 0, "gun1").toInt(), gun1.toInt());
            QCOMPARE(field(rows, 0, "gun2").toInt(), gun2.toInt());
        }
    }

    void decemberSplitInTheGssEdition()
    {
        const QString id = f->addStudent(
            {"2024001", "Deniz", "Ak", QDate(2026, 12, 1), QDate(2027, 1, 31), "1", 1});
        storeDays(QStringLiteral("xxx"), id, Y, 12, 30);
        const db::ResultRows rows = f->call(QStringLiteral("PuantajGenelxxx"), {Y, 12, U});
        QCOMPARE(field(rows, 0, "gun1").toInt(), 16);
        QCOMPARE(field(rows, 0, "gun2").toInt(), 14);
    }

    // A December run updates gun of an existing row and leaves its split alone, whether the
    // split came from the default or from a correction in the grid.
    void existingRowKeepsItsSplit()
    {
        const QString a =
            f->addStudent({"2024001", "Deniz", "Ak", QDate(2026, 12, 1), QDate(2027, 1, 31)});
        const QString b =
            f->addStudent({"2024002", "Eda", "Bal", QDate(2026, 12, 1), QDate(2027, 1, 31)});
        storeDays({}, a, Y, 12, 30);
        storeDays({}, b, Y, 12, 30);

        // correction of b in the month view
        db::Dataset view(*f->conn);
        view.setProcedure(QStringLiteral("PuantajGenel"));
        view.addParam(QStringLiteral("@key1"), Y);
        view.addParam(QStringLiteral("@key2"), 12);
        view.addParam(QStringLiteral("@key3"), U);
        view.open();
        QCOMPARE(view.recordCount(), 2);
        view.moveTo(1);
        QCOMPARE(view.text(QStringLiteral("ogrencino")), QStringLiteral("2024002"));
        view.setValue(QStringLiteral("gun1"), 20);
        view.setValue(QStringLiteral("gun2"), 10);
        view.post();

        // the next December run
        storeDays({}, a, Y, 12, 29);
        storeDays({}, b, Y, 12, 28);
        const db::ResultRows ra = timesheetRow(a, Y, 12);
        QCOMPARE(field(ra, 0, "gun").toInt(), 29);
        QCOMPARE(field(ra, 0, "gun1").toInt(), 16);
        QCOMPARE(field(ra, 0, "gun2").toInt(), 14);
        const db::ResultRows rb = timesheetRow(b, Y, 12);
        QCOMPARE(field(rb, 0, "gun").toInt(), 28);
        QCOMPARE(field(rb, 0, "gun1").toInt(), 20);
        QCOMPARE(field(rb, 0, "gun2").toInt(), 10);
    }

    void splitGivenWithTheNewRowIsKept()
    {
        const QString id =
            f->addStudent({"2024001", "Deniz", "Ak", QDate(2026, 12, 1), QDate(2027, 1, 31)});
        f->conn->insertRow(QStringLiteral("Puantaj"), {{QStringLiteral("idogrenci"), id.toInt()},
                                                       {QStringLiteral("yil"), Y},
                                                       {QStringLiteral("ay"), 12},
                                                       {QStringLiteral("gun"), 30},
                                                       {QStringLiteral("gun1"), 25},
                                                       {QStringLiteral("gun2"), 5},
                                                       {QStringLiteral("birimkodu"), U}});
        const db::ResultRows rows = timesheetRow(id, Y, 12);
        QCOMPARE(field(rows, 0, "gun1").toInt(), 25);
        QCOMPARE(field(rows, 0, "gun2").toInt(), 5);
    }

    // PuantajOzel finds the student's row of that year and month only; the key comes as text.
    void singleTimesheetRowByStudentAsText()
    {
        const QString a = f->addStudent({"2024001", "Deniz", "Ak", {}, {}});
        const QString b = f->addStudent({"2024002", "Eda", "Bal", {}, {}});
        f->insertTimesheet(a, Y, 3, 11);
        f->insertTimesheet(a, Y, 4, 12);
        f->insertTimesheet(a, QStringLiteral("2025"), 3, 13);
        f->insertTimesheet(b, Y, 3, 14);
        for (const QString& edition : {QString(), QStringLiteral("xxx")}) {
            const db::ResultRows rows = f->call(QStringLiteral("PuantajOzel") + edition, {Y, 3, a});
            QCOMPARE(columnTexts(rows, "gun"), QStringList{"11"});
        }
        QCOMPARE(f->call(QStringLiteral("PuantajOzel"), {Y, 5, a}).rows.size(), 0);
    }

    // Tahakkukekle brings the amounts to two decimals, half away from zero, from the exact
    // decimal the value sent stands for (its binary noise dropped).
    void accrualRounding_data()
    {
        QTest::addColumn<QVariant>("amount");
        QTest::addColumn<QString>("stored");

        QTest::newRow("1234.565") << QVariant(1234.565) << "1234.57";
        QTest::newRow("0.005") << QVariant(0.005) << "0.01";
        QTest::newRow("-0.005 away from zero") << QVariant(-0.005) << "-0.01";
        QTest::newRow("1.005") << QVariant(1.005) << "1.01";
        QTest::newRow("2.675") << QVariant(2.675) << "2.68";
        QTest::newRow("1.004999") << QVariant(1.004999) << "1.00";
        QTest::newRow("1500 x 17 / 30") << QVariant(1500.0 * 17 / 30) << "850.00";
        QTest::newRow("33030 x 17 / 30") << QVariant(33030.0 * 17 / 30) << "18717.00";
        QTest::newRow("33030 x 30 / 30") << QVariant(33030.0 * 30 / 30) << "33030.00";
        QTest::newRow("33030 x 1 / 30") << QVariant(33030.0 * 1 / 30) << "1101.00";
        QTest::newRow("28075.5 x 11 / 30") << QVariant(28075.5 * 11 / 30) << "10294.35";
        QTest::newRow("17002.12 x 7 / 30") << QVariant(17002.12 * 7 / 30) << "3967.16";
        QTest::newRow("December 16 + 14 days")
            << QVariant(33030.0 * 16 / 30 + 36000.0 * 14 / 30) << "34416.00";
        QTest::newRow("33030.15 x 19 / 30, binary noise below the half")
            << QVariant(33030.15 * 19 / 30) << "20919.10";
        QTest::newRow("1000.35 x 9 / 30") << QVariant(1000.35 * 9 / 30) << "300.11";
        QTest::newRow("December sum on a half")
            << QVariant(33030.15 * 19 / 30 + 36000.0 * 11 / 30) << "34119.10";
        QTest::newRow("1000 / 3") << QVariant(1000.0 / 3) << "333.33";
        QTest::newRow("2000 / 3") << QVariant(2000.0 / 3) << "666.67";
        QTest::newRow("integer") << QVariant(850) << "850.00";
        QTest::newRow("zero") << QVariant(0.0) << "0.00";
        QTest::newRow("decimal text") << QVariant("1234.565") << "1234.57";
        QTest::newRow("decimal text with comma") << QVariant("1234,565") << "1234.57";
    }
    void accrualRounding()
    {
        QFETCH(QVariant, amount);
        QFETCH(QString, stored);
        if (f->conn->backendName() == QLatin1String("postgresql") &&
            amount.toString().contains(QLatin1Char(',')))
            QSKIP("the server function takes the amount as a number, as the client sends it");
        const QString id = f->addStudent({"2024001", "Deniz", "Ak", {}, {}});
        f->addAccrual(id, Y, 3, 17, U, amount);
        const db::ResultRows rows = f->call(QStringLiteral("TahakkukGenel"), {Y, 3, U});
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(storedAmount(field(rows, 0, "kazanc")), stored);
        QCOMPARE(storedAmount(field(rows, 0, "matrah")), stored);
    }

    // The shares are the premium base times the percentages of the parameter row in force,
    // rounded like the amounts; a change of the percentages shows in the next accrual.
    void sharesFollowThePercentages_data()
    {
        QTest::addColumn<QVariant>("employerPercent");
        QTest::addColumn<QVariant>("employeePercent");
        QTest::addColumn<QVariant>("base");
        QTest::addColumn<QString>("employer");
        QTest::addColumn<QString>("employee");

        QTest::newRow("seeded 1 and 0") << QVariant() << QVariant() << QVariant(18717.0) << "187.17"
                                        << "0.00";
        QTest::newRow("2 and 14") << QVariant(2) << QVariant(14) << QVariant(18717.0) << "374.34"
                                  << "2620.38";
        QTest::newRow("half kuruş rounds up")
            << QVariant(0.5) << QVariant(1.5) << QVariant(18717.0) << "93.59"
            << "280.76";
        QTest::newRow("20.5 percent")
            << QVariant(20.5) << QVariant(14) << QVariant(18717.0) << "3836.99"
            << "2620.38";
        QTest::newRow("base rounded first")
            << QVariant(1) << QVariant(50) << QVariant(1234.565) << "12.35"
            << "617.29";
        QTest::newRow("percent as text")
            << QVariant("12.5") << QVariant("7.75") << QVariant(850.0) << "106.25"
            << "65.88";
        QTest::newRow("small base") << QVariant(1) << QVariant(14) << QVariant(0.005) << "0.00"
                                    << "0.00";
        QTest::newRow("a kuruş at half") << QVariant(50) << QVariant(50) << QVariant(0.01) << "0.01"
                                         << "0.01";
        QTest::newRow("zero percent") << QVariant(0) << QVariant(0) << QVariant(33030.0) << "0.00"
                                      << "0.00";
    }
    void sharesFollowThePercentages()
    {
        QFETCH(QVariant, employerPercent);
        QFETCH(QVariant, employeePercent);
        QFETCH(QVariant, base);
        QFETCH(QString, employer);
        QFETCH(QString, employee);

        if (!employerPercent.isNull()) {
            // the basic parameters window edits the parameter table
            db::Dataset parameters(*f->conn);
            parameters.setProcedure(QStringLiteral("ParametreGetir"));
            parameters.open();
            parameters.setValue(QStringLiteral("isveren"), employerPercent);
            parameters.setValue(QStringLiteral("isci"), employeePercent);
            parameters.post();
        }
        // a later parameter row is not the one in force
        f->conn->insertRow(QStringLiteral("Parametre"),
                           {{QStringLiteral("aktifyil"), QStringLiteral("2027")},
                            {QStringLiteral("isveren"), 99},
                            {QStringLiteral("isci"), 99}});

        const QString id = f->addStudent({"2024001", "Deniz", "Ak", {}, {}});
        f->addAccrual(id, Y, 3, 17, U, base);
        for (const QString& procedure :
             {QStringLiteral("TahakkukGenel"), QStringLiteral("Liste1")}) {
            const db::ResultRows rows = f->call(procedure, {Y, 3, U});
            QCOMPARE(rows.rows.size(), 1);
            QCOMPARE(storedAmount(field(rows, 0, "isveren")), employer);
            QCOMPARE(storedAmount(field(rows, 0, "isci")), employee);
        }
    }

    // The accrual row carries what the window sent: student, year, month, days, unit.
    void accrualRowKeepsWhatWasSent()
    {
        const QString id =
            f->addStudent({"2024001", "Deniz", "Ak", QDate(2026, 3, 1), QDate(2026, 3, 31)});
        f->addAccrual(id, Y, 3, 17, U, 850.0);
        const db::ResultRows list = f->call(QStringLiteral("Liste1"), {Y, 3, U});
        QCOMPARE(list.rows.size(), 1);
        QCOMPARE(field(list, 0, "idogrenci").toString(), id);
        QCOMPARE(field(list, 0, "yil").toString(), Y);
        QCOMPARE(field(list, 0, "ay").toInt(), 3);
        QCOMPARE(field(list, 0, "gun").toInt(), 17);
        QCOMPARE(field(list, 0, "ogrencino").toString(), QStringLiteral("2024001"));
        QCOMPARE(field(list, 0, "tckimlikno").toString(), QStringLiteral("10000000146"));
        QCOMPARE(field(list, 0, "baslangictarihi").toDate(), QDate(2026, 3, 1));
        QCOMPARE(f->count(QStringLiteral("SELECT count(*) FROM Tahakkuk WHERE birimkodu = '01'")),
                 1);
    }

    // Standard procedures cover the unit's students with gss = 0, "xxx" ones those with
    // gss = 1; no procedure reaches another unit or another month.
    void editionsListTheirStudents_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QStringList>("numbers");
        const QStringList standard = {"A"};
        const QStringList gss = {"B"};
        for (const char* p : {"PuantajGenel", "TahakkukGenel", "Liste1", "XmlGetir", "XmlListe2"}) {
            QTest::newRow(p) << QString::fromLatin1(p) << standard;
            QTest::newRow(qPrintable(QString::fromLatin1(p) + QLatin1String("xxx")))
                << QString::fromLatin1(p) + QLatin1String("xxx") << gss;
        }
        QTest::newRow("XmlListe1xxx") << QStringLiteral("XmlListe1xxx") << gss;
    }
    void editionsListTheirStudents()
    {
        QFETCH(QString, procedure);
        QFETCH(QStringList, numbers);
        seedEditions();
        const db::ResultRows rows = f->call(procedure, {Y, 5, U});
        QCOMPARE(columnTexts(rows, "ogrencino"), numbers);
    }

    void editionsRemoveTheirRows_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("remaining"); // student number and month
        QTest::newRow("PuantajSil") << "PuantajSil"
                                    << "Puantaj" << QStringList{"A6", "B5", "C5", "D5"};
        QTest::newRow("PuantajSilxxx") << "PuantajSilxxx"
                                       << "Puantaj" << QStringList{"A5", "A6", "C5", "D5"};
        QTest::newRow("TahakkukSil") << "TahakkukSil"
                                     << "Tahakkuk" << QStringList{"A6", "B5", "C5", "D5"};
        QTest::newRow("TahakkukSilxxx") << "TahakkukSilxxx"
                                        << "Tahakkuk" << QStringList{"A5", "A6", "C5", "D5"};
        QTest::newRow("XmlSilxxx") << "XmlSilxxx"
                                   << "Xml" << QStringList{"A5", "A6", "C5", "D5"};
    }
    void editionsRemoveTheirRows()
    {
        QFETCH(QString, procedure);
        QFETCH(QString, table);
        QFETCH(QStringList, remaining);
        seedEditions();
        const db::ResultRows removal = f->call(procedure, {Y, 5, U});
        QVERIFY(removal.columns.isEmpty());
        const db::ResultRows rows =
            f->conn->query(QStringLiteral("SELECT o.ogrencino || t.ay FROM %1 t JOIN ogrenci o ON "
                                          "o.idogrenci = t.idogrenci ORDER BY 1")
                               .arg(table));
        QStringList left;
        for (const auto& row : rows.rows)
            left << row.at(0).toString();
        QCOMPARE(left, remaining);
    }

    void periodListsOfBothEditions()
    {
        seedEditions();
        QCOMPARE(
            columnTexts(f->call(QStringLiteral("PuantajGetir"), {periodStart(5), periodEnd(5), U}),
                        "ogrencino"),
            QStringList{"A"});
        QCOMPARE(columnTexts(
                     f->call(QStringLiteral("PuantajGetirxxx"), {periodStart(5), periodEnd(5), U}),
                     "ogrencino"),
                 QStringList{"B"});
    }

    // The monthly results come ordered by student number, then first name, then surname.
    void monthlyResultsAreOrdered_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<int>("gss");
        for (const char* p : {"PuantajGenel", "TahakkukGenel", "Liste1", "XmlListe2"}) {
            QTest::newRow(p) << QString::fromLatin1(p) << 0;
            QTest::newRow(qPrintable(QString::fromLatin1(p) + QLatin1String("xxx")))
                << QString::fromLatin1(p) + QLatin1String("xxx") << 1;
        }
        QTest::newRow("XmlListe1xxx") << QStringLiteral("XmlListe1xxx") << 1;
    }
    void monthlyResultsAreOrdered()
    {
        QFETCH(QString, procedure);
        QFETCH(int, gss);
        const QList<QStringList> students = {{"300", "Ali", "Ak"},
                                             {"100", "Zehra", "Ün"},
                                             {"200", "Zafer", "Can"},
                                             {"200", "Ahmet", "Şen"},
                                             {"200", "Ahmet", "Bal"}};
        for (const QStringList& s : students) {
            const QString id = f->addStudent(
                {s.at(0), s.at(1), s.at(2), QDate(2026, 5, 1), QDate(2026, 6, 30), "1", gss});
            f->insertTimesheet(id, Y, 5, 30);
            f->addAccrual(id, Y, 5, 30, U, 1000.0, gss ? QStringLiteral("xxx") : QString());
            f->insertDeclaration(id, Y, 5, 30, s.at(0), s.at(1), s.at(2));
        }
        const db::ResultRows rows = f->call(procedure, {Y, 5, U});
        QStringList order;
        for (int r = 0; r < rows.rows.size(); ++r)
            order << QStringList{field(rows, r, "ogrencino").toString(),
                                 field(rows, r, "adi").toString(),
                                 field(rows, r, "soyadi").toString()}
                         .join(QLatin1Char(' '));
        QCOMPARE(order, (QStringList{"100 Zehra Ün", "200 Ahmet Bal", "200 Ahmet Şen",
                                     "200 Zafer Can", "300 Ali Ak"}));
    }

    // gun_1 of XmlListe2 is the timesheet's day count of the same student, year and month.
    void declarationRowsCarryTheTimesheetDays()
    {
        const QString a =
            f->addStudent({"2024001", "Deniz", "Ak", QDate(2026, 5, 1), QDate(2026, 7, 1), "1", 0,
                           "01", "", "İZMİR", "Ege Enerji Dağıtım A.Ş."});
        const QString b =
            f->addStudent({"2024002", "Eda", "Bal", QDate(2026, 5, 1), QDate(2026, 7, 1)});
        const QString c =
            f->addStudent({"2024003", "Ela", "Can", QDate(2026, 5, 1), QDate(2026, 7, 1)});
        f->insertTimesheet(a, Y, 5, 17);
        f->insertTimesheet(a, Y, 6, 30);
        f->insertTimesheet(a, QStringLiteral("2025"), 5, 9);
        f->insertTimesheet(b, Y, 5, 23);
        f->insertTimesheet(c, Y, 6, 30); // none for May
        f->insertDeclaration(a, Y, 5, 17, "2024001", "Deniz", "Ak");
        f->insertDeclaration(b, Y, 5, 99, "2024002", "Eda", "Bal");
        f->insertDeclaration(c, Y, 5, 5, "2024003", "Ela", "Can");

        const db::ResultRows rows = f->call(QStringLiteral("XmlListe2"), {Y, 5, U});
        QCOMPARE(rows.rows.size(), 3);
        QCOMPARE(field(rows, 0, "gun_1").toInt(), 17);
        QCOMPARE(field(rows, 1, "gun_1").toInt(), 23);
        QCOMPARE(field(rows, 1, "gun").toInt(), 99); // the declaration's own day count
        QVERIFY(field(rows, 2, "gun_1").isNull());
        QCOMPARE(field(rows, 0, "stajili").toString(), QStringLiteral("İZMİR"));
        QCOMPARE(field(rows, 0, "stajyeri").toString(), QStringLiteral("Ege Enerji Dağıtım A.Ş."));
        QCOMPARE(field(rows, 0, "pek").toString(), QStringLiteral("1500,5"));
        QCOMPARE(field(rows, 0, "sil1").toString(), QStringLiteral("1500.50"));
    }

    // Deleting a student removes the student's timesheet, accrual and declaration rows and no
    // others, also on a connection that does not enforce foreign keys.
    void deletingAStudentCascades_data()
    {
        QTest::addColumn<bool>("foreignKeys");
        QTest::newRow("foreign keys enforced") << true;
        QTest::newRow("foreign keys not enforced") << false;
    }
    void deletingAStudentCascades()
    {
        QFETCH(bool, foreignKeys);
        if (f->conn->backendName() == QLatin1String("postgresql")) {
            // a server always enforces its foreign keys
            if (!foreignKeys)
                QSKIP("foreign keys cannot be switched off on the server");
        } else {
            if (!foreignKeys)
                f->conn->execute(QStringLiteral("PRAGMA foreign_keys=OFF"));
            QCOMPARE(f->count(QStringLiteral("PRAGMA foreign_keys")), foreignKeys ? 1 : 0);
        }

        const QString gone = f->addStudent({"2024001", "Deniz", "Ak", {}, {}});
        const QString kept = f->addStudent({"2024002", "Eda", "Bal", {}, {}});
        for (const QString& id : {gone, kept}) {
            for (int m : {5, 6}) {
                f->insertTimesheet(id, Y, m, 30);
                f->addAccrual(id, Y, m, 30, U, 1000.0);
                f->insertDeclaration(id, Y, m, 30, "x", "y", "z");
            }
        }
        // the register deletes the student's row by its key
        QCOMPARE(f->conn->deleteRow({QStringLiteral("ogrenci"), QStringLiteral("idogrenci")},
                                    gone.toInt()),
                 1);
        for (const char* table : {"Puantaj", "Tahakkuk", "Xml"}) {
            const QString sql = QStringLiteral("SELECT count(*) FROM %1 WHERE idogrenci = @id")
                                    .arg(QLatin1String(table));
            QCOMPARE(f->count(sql, {{QStringLiteral("@id"), gone.toInt()}}), 0);
            QCOMPARE(f->count(sql, {{QStringLiteral("@id"), kept.toInt()}}), 2);
        }
    }

    // One timesheet, accrual and declaration row per student, year and month.
    void oneRowPerStudentAndMonth_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("Puantaj") << "Puantaj";
        QTest::newRow("Tahakkuk") << "Tahakkuk";
        QTest::newRow("Xml") << "Xml";
    }
    void oneRowPerStudentAndMonth()
    {
        QFETCH(QString, table);
        const QString a = f->addStudent({"2024001", "Deniz", "Ak", {}, {}});
        const QString b = f->addStudent({"2024002", "Eda", "Bal", {}, {}});
        auto insert = [&](const QString& id, const QString& yil, int ay) {
            f->conn->insertRow(table, {{QStringLiteral("idogrenci"), id.toInt()},
                                       {QStringLiteral("yil"), yil},
                                       {QStringLiteral("ay"), ay},
                                       {QStringLiteral("gun"), 30},
                                       {QStringLiteral("birimkodu"), U}});
        };
        insert(a, Y, 5);
        insert(a, Y, 6);                      // another month
        insert(a, QStringLiteral("2025"), 5); // another year
        insert(b, Y, 5);                      // another student
        QVERIFY_THROWS_EXCEPTION(db::DbError, insert(a, Y, 5));
        QCOMPARE(f->count(QStringLiteral("SELECT count(*) FROM %1").arg(table)), 4);
    }

    void accrualStoredTwiceIsRefused()
    {
        const QString a = f->addStudent({"2024001", "Deniz", "Ak", {}, {}});
        f->addAccrual(a, Y, 5, 30, U, 1000.0);
        QVERIFY_THROWS_EXCEPTION(db::DbError, f->callOrThrow(QStringLiteral("Tahakkukekle"),
                                                             {a, Y, 5, 30, U, 1.0, 1.0},
                                                             ServerFixture::accrualParamNames()));
        // the run removes the month first, so a second run stores it again
        f->call(QStringLiteral("TahakkukSil"), {Y, 5, U});
        f->addAccrual(a, Y, 5, 30, U, 2000.0);
        const db::ResultRows rows = f->call(QStringLiteral("TahakkukGenel"), {Y, 5, U});
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(storedAmount(field(rows, 0, "kazanc")), QStringLiteral("2000.00"));
    }

    // A student's timesheet row needs the student.
    void rowsOfAnUnknownStudentAreRefused()
    {
        QVERIFY_THROWS_EXCEPTION(db::DbError, f->insertTimesheet(QStringLiteral("4711"), Y, 5, 30));
    }

private:
    // Unit 01: A (standard) with May and June rows, B (GSS) with May rows; unit 02: C
    // (standard) and D (GSS) with May rows. Timesheet, accrual and declaration rows for each.
    void seedEditions()
    {
        struct S {
            const char* no;
            int gss;
            const char* unit;
            QList<int> months;
        };
        const QList<S> students = {
            {"A", 0, "01", {5, 6}}, {"B", 1, "01", {5}}, {"C", 0, "02", {5}}, {"D", 1, "02", {5}}};
        for (const S& s : students) {
            const QString unit = QString::fromLatin1(s.unit);
            const QString id =
                f->addStudent({QString::fromLatin1(s.no), "Ad", "Soyad", QDate(2026, 5, 1),
                               QDate(2026, 7, 31), "1", s.gss, unit});
            for (int m : s.months) {
                f->insertTimesheet(id, Y, m, 30, unit);
                f->addAccrual(id, Y, m, 30, unit, 1000.0,
                              s.gss ? QStringLiteral("xxx") : QString());
                f->insertDeclaration(id, Y, m, 30, QString::fromLatin1(s.no), "Ad", "Soyad", unit);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TstServerMonthly)
#include "tst_server_monthly.moc"
