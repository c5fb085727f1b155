// The timesheet computation through real runs on the embedded server: the day-count rules, the
// cutting to the period, December's period and split, the months that keep their rows, and the
// run as one transaction.

#include "core/period.h"
#include "monthly/tfrmpuantajgss.h"
#include "monthlyfixture.h"

#include <QWidget>

using namespace zelvo;

using namespace zelvo::monthly;
using zelvo::core::Period;

namespace {

using Fixture = MonthlyFixture<TFrmPuantaj>;

QDate d(int year, int month, int day)
{
    return QDate(year, month, day);
}

// The stored timesheet of a month: idogrenci|gun|gun1|gun2 per row.
QStringList timesheet(Fixture& f, int month)
{
    return f.rows(QStringLiteral("SELECT idogrenci, gun, gun1, gun2 FROM Puantaj "
                                 "WHERE yil = '2026' AND ay = @m ORDER BY idogrenci"),
                  {{QStringLiteral("@m"), month}});
}

QString days(Fixture& f, int student, int month)
{
    return f
        .rows(QStringLiteral("SELECT gun FROM Puantaj WHERE idogrenci = @s AND yil = '2026' "
                             "AND ay = @m"),
              {{QStringLiteral("@s"), student}, {QStringLiteral("@m"), month}})
        .join(QLatin1Char(','));
}

// Records every call of a procedure: its five (or three) arguments go into a table first.
void probe(Fixture& f, const QString& procedure, int arguments)
{
    QStringList columns;
    QStringList values;
    for (int i = 1; i <= arguments; ++i) {
        columns << QStringLiteral("k%1").arg(i);
        values << QStringLiteral("@key%1").arg(i);
    }
    f.sql(QStringLiteral("CREATE TABLE probe_%1 (%2)").arg(procedure, columns.join(',')));
    f.sql(QStringLiteral("UPDATE zelvo_procedure SET body = 'INSERT INTO probe_%1 VALUES (%2);' "
                         "|| char(10) || body WHERE name = @name")
              .arg(procedure, values.join(',')),
          {{QStringLiteral("@name"), procedure}});
}

// A day count that answers `count` (an SQL value) for every student it is asked about.
void replaceDayCount(Fixture& f, const QString& count)
{
    f.sql(QStringLiteral("UPDATE zelvo_procedure SET body = @body WHERE name = 'GunHesaplaListe'"),
          {{QStringLiteral("@body"),
            QStringLiteral("SELECT CAST(key AS INTEGER) + 1 AS sira, %1 AS gun "
                           "FROM json_each(@key1) ORDER BY key")
                .arg(count)}});
}

// Records every student the server is asked to count, one row each with the five values
// GunHesapla takes: start, end and student from the list, then month and year.
void probeDayCounts(Fixture& f)
{
    f.sql(QStringLiteral("CREATE TABLE probe_GunHesapla (k1, k2, k3, k4, k5)"));
    f.sql(QStringLiteral("UPDATE zelvo_procedure SET body = 'INSERT INTO probe_GunHesapla "
                         "SELECT json_extract(value, ''$[0]''), json_extract(value, ''$[1]''), "
                         "json_extract(value, ''$[2]''), @key2, @key3 FROM json_each(@key1);' "
                         "|| char(10) || body WHERE name = 'GunHesaplaListe'"));
}

// A student list that also lists students without dates, as another server might.
void listStudentsWithoutDates(Fixture& f)
{
    f.sql(QStringLiteral(
        "UPDATE zelvo_procedure SET body = 'SELECT idogrenci, baslangictarihi, bitistarihi "
        "FROM ogrenci WHERE birimkodu = @key3 AND gss = 0 ORDER BY ogrencino' "
        "WHERE name = 'PuantajGetir'"));
}

} // namespace

class TstTimesheet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dayRules_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<int>("expected");
        // inside the period, not exactly it: the server's count
        QTest::newRow("inside") << 1 << d(2026, 1, 20) << d(2026, 2, 10) << 22;
        QTest::newRow("from P1, ends before P2") << 1 << d(2026, 1, 15) << d(2026, 2, 13) << 30;
        QTest::newRow("after P1, ends on P2") << 1 << d(2026, 1, 16) << d(2026, 2, 14) << 30;
        QTest::newRow("inside February") << 2 << d(2026, 2, 15) << d(2026, 2, 20) << 6;
        // exactly the period: 30 whatever the server counts (31 in January, 28 in February)
        QTest::newRow("exactly January's period") << 1 << d(2026, 1, 15) << d(2026, 2, 14) << 30;
        QTest::newRow("exactly February's period") << 2 << d(2026, 2, 15) << d(2026, 3, 14) << 30;
        // through the whole period
        QTest::newRow("before P1 to after P2") << 1 << d(2026, 1, 1) << d(2026, 3, 31) << 30;
        QTest::newRow("from P1 to after P2") << 1 << d(2026, 1, 15) << d(2026, 2, 20) << 30;
        QTest::newRow("February, before to after") << 2 << d(2026, 2, 1) << d(2026, 3, 31) << 30;
        // cut at one end: the server counts the cut internship
        QTest::newRow("before P1, ends inside") << 1 << d(2026, 1, 2) << d(2026, 1, 28) << 14;
        QTest::newRow("after P1, ends after P2") << 1 << d(2026, 1, 20) << d(2026, 3, 10) << 26;
        QTest::newRow("February, before P1 to P2, not forced")
            << 2 << d(2026, 2, 10) << d(2026, 3, 14) << 28;
        // the server counts 31 (15 January to 14 February): capped
        QTest::newRow("January, before P1 to P2: 31 capped")
            << 1 << d(2026, 1, 10) << d(2026, 2, 14) << 30;
        QTest::newRow("March, before P1 to P2: 31 capped")
            << 3 << d(2026, 3, 1) << d(2026, 4, 14) << 30;
        // one day
        QTest::newRow("one day") << 1 << d(2026, 1, 20) << d(2026, 1, 20) << 1;
        QTest::newRow("one day on P1") << 1 << d(2026, 1, 15) << d(2026, 1, 15) << 1;
        QTest::newRow("one day on P2") << 1 << d(2026, 2, 14) << d(2026, 2, 14) << 1;
        // an end before the start: the server's 0 is stored as it comes
        QTest::newRow("end before start") << 2 << d(2026, 3, 10) << d(2026, 3, 5) << 0;
        // December's period runs into January
        QTest::newRow("December through") << 12 << d(2026, 12, 1) << d(2027, 1, 31) << 30;
        QTest::newRow("December inside") << 12 << d(2026, 12, 20) << d(2027, 1, 10) << 22;
        QTest::newRow("December exactly") << 12 << d(2026, 12, 15) << d(2027, 1, 14) << 30;
        QTest::newRow("December, ends in January") << 12 << d(2026, 12, 1) << d(2027, 1, 5) << 22;
    }
    void dayRules()
    {
        QFETCH(int, month);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(int, expected);
        Fixture f;
        const int student = f.session.addStudent("100", "Ali", "Veli", start, end);
        f.open();
        f.run(month);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(days(f, student, month), QString::number(expected));
        QVERIFY(f.child(QStringLiteral("wwDBGrid1"))->isVisible());
    }

    // Where the server's count is used, whatever it is, but never more than 30; where it is
    // overridden (one day), it is not even read.
    void serverCountAsItComes_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("expected");
        QTest::newRow("31 inside the period") << "31" << d(2026, 1, 20) << d(2026, 2, 10) << "30";
        QTest::newRow("45 inside the period") << "45" << d(2026, 1, 20) << d(2026, 2, 10) << "30";
        QTest::newRow("negative kept") << "-3" << d(2026, 1, 20) << d(2026, 2, 10) << "-3";
        QTest::newRow("zero kept") << "0" << d(2026, 1, 20) << d(2026, 2, 10) << "0";
        QTest::newRow("empty count, one day") << "NULL" << d(2026, 1, 20) << d(2026, 1, 20) << "1";
        QTest::newRow("empty count, whole period")
            << "NULL" << d(2026, 1, 1) << d(2026, 3, 1) << "30";
    }
    void serverCountAsItComes()
    {
        QFETCH(QString, count);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, expected);
        Fixture f;
        replaceDayCount(f, count);
        probeDayCounts(f);
        const int student = f.session.addStudent("100", "Ali", "Veli", start, end);
        f.open();
        f.run(1);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(days(f, student, 1), expected);
        // the server is asked for every student, also where its answer is overridden
        QCOMPARE(f.session.scalar("SELECT count(*) FROM probe_GunHesapla").toInt(), 1);
    }

    // A count that is no number, where a rule needs it, stops the run; nothing is kept.
    void countThatIsNoNumber()
    {
        Fixture f;
        replaceDayCount(f, QStringLiteral("'yok'"));
        f.session.addStudent("100", "Ali", "Veli", d(2026, 3, 20), d(2026, 4, 1));
        f.open();
        f.run(3);
        QCOMPARE(f.errors(), QStringList{"'yok' geçerli bir tam sayı değil."});
        QCOMPARE(timesheet(f, 3), QStringList());
        QVERIFY(!f.child(QStringLiteral("wwDBGrid1"))->isVisible());
    }

    // The period's bounds take the place of the dates that lie beyond them.
    void cutToThePeriod_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("arguments"); // start|end|student|month|year as received
        QTest::newRow("inside") << 3 << d(2026, 3, 20) << d(2026, 4, 2)
                                << "2026-03-20|2026-04-02|@|3|2026";
        QTest::newRow("both cut") << 3 << d(2026, 1, 1) << d(2026, 6, 1)
                                  << "2026-03-15|2026-04-14|@|3|2026";
        QTest::newRow("on the bounds, not cut")
            << 3 << d(2026, 3, 15) << d(2026, 4, 14) << "2026-03-15|2026-04-14|@|3|2026";
        QTest::newRow("December runs into the next year")
            << 12 << d(2026, 12, 1) << d(2027, 2, 1) << "2026-12-15|2027-01-14|@|12|2026";
    }
    void cutToThePeriod()
    {
        QFETCH(int, month);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, arguments);
        Fixture f;
        probeDayCounts(f);
        probe(f, QStringLiteral("PuantajGetir"), 3);
        const int student = f.session.addStudent("100", "Ali", "Veli", start, end);
        f.open();
        f.run(month);
        QCOMPARE(f.rows("SELECT * FROM probe_GunHesapla"),
                 QStringList{QString(arguments).replace('@', QString::number(student))});
        const Period period(QStringLiteral("2026"), month);
        QCOMPARE(f.rows("SELECT * FROM probe_PuantajGetir"),
                 QStringList{period.startDmy() + '|' + period.endDmy() + "|01"});
    }

    // An empty date counts as earlier than any date and equal only to another empty date.
    void emptyDates_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("arguments"); // start|end as GunHesapla received them
        QTest::newRow("no start, ends inside") << QDate() << d(2026, 1, 20) << "6"
                                               << "2026-01-15|2026-01-20";
        QTest::newRow("no start, ends after") << QDate() << d(2026, 3, 1) << "30"
                                              << "2026-01-15|2026-02-14";
        QTest::newRow("no dates at all: the same day") << QDate() << QDate() << "1"
                                                       << "2026-01-15|";
    }
    void emptyDates()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, expected);
        QFETCH(QString, arguments);
        Fixture f;
        listStudentsWithoutDates(f);
        probeDayCounts(f);
        const int student = f.session.addStudent("100", "Ali", "Veli", start, end);
        f.open();
        f.run(1);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(days(f, student, 1), expected);
        QCOMPARE(f.rows("SELECT k1, k2 FROM probe_GunHesapla"), QStringList{arguments});
    }

    // A start inside the period without an end leaves the server nothing to count: the run
    // stops with the conversion error and stores nothing.
    void noEndDateStopsTheRun()
    {
        Fixture f;
        listStudentsWithoutDates(f);
        f.session.addStudent("100", "Ali", "Veli", d(2026, 1, 1), d(2026, 3, 1));
        f.session.addStudent("200", "Ayşe", "Kaya", d(2026, 1, 20), QDate());
        f.open();
        f.run(1);
        QCOMPARE(f.errors(), QStringList{"'' geçerli bir tam sayı değil."});
        QCOMPARE(timesheet(f, 1), QStringList());
    }

    void decemberDefaultSplit_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("expected"); // gun|gun1|gun2
        QTest::newRow("whole period") << d(2026, 12, 1) << d(2027, 1, 31) << "30|16|14";
        QTest::newRow("exactly the period") << d(2026, 12, 15) << d(2027, 1, 14) << "30|16|14";
        QTest::newRow("into January") << d(2026, 12, 20) << d(2027, 1, 10) << "22|12|10";
        QTest::newRow("December only") << d(2026, 12, 16) << d(2026, 12, 31) << "16|16|0";
    }
    void decemberDefaultSplit()
    {
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, expected);
        Fixture f;
        const int student = f.session.addStudent("100", "Ali", "Veli", start, end);
        f.open();
        f.run(12);
        QCOMPARE(timesheet(f, 12), QStringList{QString::number(student) + '|' + expected});
    }

    // June and December only update and add: hand-set old/new wage days and the rows of
    // students no longer listed survive a new run.
    void juneAndDecemberKeepTheirRows_data()
    {
        QTest::addColumn<int>("month");
        QTest::newRow("June") << 6;
        QTest::newRow("December") << 12;
    }
    void juneAndDecemberKeepTheirRows()
    {
        QFETCH(int, month);
        Fixture f;
        const QDate from(2026, month, 1);
        const int kept = f.session.addStudent("100", "Ali", "Veli", from, from.addMonths(2));
        const int gone = f.session.addStudent("200", "Ayşe", "Kaya", from, from.addMonths(2));
        f.open();
        f.run(month);
        f.sql("UPDATE Puantaj SET gun1 = 7, gun2 = 23 WHERE idogrenci = @s", {{"@s", kept}});
        f.sql("UPDATE ogrenci SET statu = '2' WHERE idogrenci = @s", {{"@s", gone}});
        f.sql("UPDATE ogrenci SET bitistarihi = @e WHERE idogrenci = @s",
              {{"@e", QDate(2026, month, 24)}, {"@s", kept}});
        const QStringList goneRow =
            f.rows("SELECT * FROM Puantaj WHERE idogrenci = @s", {{"@s", gone}});
        f.run(month);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.rows("SELECT gun, gun1, gun2 FROM Puantaj WHERE idogrenci = @s", {{"@s", kept}}),
                 QStringList{"10|7|23"}); // only gun follows the new dates
        QCOMPARE(f.rows("SELECT * FROM Puantaj WHERE idogrenci = @s", {{"@s", gone}}), goneRow);
    }

    // Every other month is replaced: afterwards it holds exactly the listed students.
    void otherMonthsAreReplaced()
    {
        Fixture f;
        const int kept = f.session.addStudent("100", "Ali", "Veli", d(2026, 3, 1), d(2026, 5, 1));
        const int gone = f.session.addStudent("200", "Ayşe", "Kaya", d(2026, 3, 1), d(2026, 5, 1));
        f.open();
        f.run(3);
        f.sql("UPDATE Puantaj SET gun1 = 7, gun2 = 23");
        f.sql("UPDATE ogrenci SET statu = '2' WHERE idogrenci = @s", {{"@s", gone}});
        f.run(3);
        QCOMPARE(timesheet(f, 3), QStringList{QString::number(kept) + "|30||"});
    }

    void twoRunsGiveTheSameRows_data()
    {
        QTest::addColumn<int>("month");
        QTest::newRow("March") << 3;
        QTest::newRow("June") << 6;
        QTest::newRow("December") << 12;
    }
    void twoRunsGiveTheSameRows()
    {
        QFETCH(int, month);
        Fixture f;
        f.session.loadDemo();
        f.open();
        f.run(month);
        const QStringList once =
            f.rows("SELECT idogrenci, yil, ay, gun, gun1, gun2, birimkodu FROM Puantaj ORDER BY 1");
        QVERIFY(!once.isEmpty());
        f.run(month);
        QCOMPARE(f.rows("SELECT idogrenci, yil, ay, gun, gun1, gun2, birimkodu FROM Puantaj "
                        "ORDER BY 1"),
                 once);
    }

    // An error in the middle of a run leaves the month as it was before the run.
    void errorInTheMiddleRollsBack_data()
    {
        QTest::addColumn<int>("month");
        QTest::newRow("March, after the removal") << 3;
        QTest::newRow("June, after an update") << 6;
    }
    void errorInTheMiddleRollsBack()
    {
        QFETCH(int, month);
        Fixture f;
        const QDate from(2026, month, 1);
        const int first = f.session.addStudent("100", "Ali", "Veli", from, from.addMonths(2));
        f.session.addStudent("300", "Can", "Er", from, from.addMonths(2));
        f.open();
        f.run(month);
        const QStringList before = f.rows("SELECT * FROM Puantaj ORDER BY idpuantaj");
        QCOMPARE(before.size(), 2);

        // a new student between the two, whose row the server refuses
        const int failing = f.session.addStudent("200", "Ayşe", "Kaya", from, from.addMonths(2));
        f.sql(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Puantaj WHEN NEW.idogrenci "
                             "= %1 BEGIN SELECT RAISE(ABORT, 'satır reddedildi'); END")
                  .arg(failing));
        f.sql("UPDATE ogrenci SET bitistarihi = @e WHERE idogrenci = @s",
              {{"@e", QDate(2026, month, 20)}, {"@s", first}});
        f.run(month);
        QCOMPARE(f.errors(), QStringList{"satır reddedildi."});
        QCOMPARE(f.rows("SELECT * FROM Puantaj ORDER BY idpuantaj"), before);
        QVERIFY(!f.child(QStringLiteral("wwDBGrid1"))->isVisible());
    }

    // "Kayıt bulunamadı": the removal stays (the month truly has no rows), except in June and
    // December, which remove nothing.
    void noStudents_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("rowsLeft");
        QTest::newRow("March") << 3 << 0;
        QTest::newRow("June") << 6 << 1;
        QTest::newRow("December") << 12 << 1;
    }
    void noStudents()
    {
        QFETCH(int, month);
        QFETCH(int, rowsLeft);
        Fixture f;
        const QDate from(2026, month, 1);
        const int student = f.session.addStudent("100", "Ali", "Veli", from, from.addMonths(2));
        f.open();
        f.run(month);
        f.sql("UPDATE ogrenci SET statu = '2' WHERE idogrenci = @s", {{"@s", student}});
        f.run(month);
        QCOMPARE(f.messages(), QStringList{"Kayıt bulunamadı"});
        QCOMPARE(timesheet(f, month).size(), rowsLeft);
        QVERIFY(!f.child(QStringLiteral("wwDBGrid1"))->isVisible());
    }

    // A year that is no whole number stops the run in any month before anything changes.
    void yearMustBeAWholeNumber_data()
    {
        QTest::addColumn<int>("month");
        QTest::newRow("March") << 3;
        QTest::newRow("December") << 12;
    }
    void yearMustBeAWholeNumber()
    {
        QFETCH(int, month);
        Fixture f;
        f.session.addStudent("100", "Ali", "Veli", QDate(2026, month, 1),
                             QDate(2026, month, 1).addMonths(2));
        f.sql("INSERT INTO Puantaj (idogrenci, yil, ay, gun, birimkodu) "
              "VALUES (1, '20a6', @m, 9, '01')",
              {{"@m", month}});
        f.sql("UPDATE Parametre SET aktifyil = '20a6'");
        f.open();
        f.run(month);
        QCOMPARE(f.errors(), QStringList{"'20a6' geçerli bir tam sayı değil."});
        QCOMPARE(f.rows("SELECT yil, gun FROM Puantaj"), QStringList{"20a6|9"});
    }

    // Each edition takes only its own students and removes only its own rows.
    void editionsKeepToTheirStudents()
    {
        MonthlyFixture<TFrmPuantaj> standard;
        const int plain =
            standard.session.addStudent("100", "Ali", "Veli", d(2026, 3, 1), d(2026, 5, 1));
        const int gss =
            standard.session.addStudent("200", "Ayşe", "Kaya", d(2026, 3, 1), d(2026, 5, 1), true);
        standard.open();
        standard.run(3);
        QCOMPARE(standard.rows("SELECT idogrenci FROM Puantaj"),
                 QStringList{QString::number(plain)});
        standard.window->close();

        TFrmPuantajgss window(*standard.session.context, &standard.session.mainWindow);
        window.show();
        QTest::mouseClick(window.findChild<QRadioButton*>("Month3"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QToolButton*>("SpeedButton5"), Qt::LeftButton);
        QCOMPARE(standard.rows("SELECT idogrenci FROM Puantaj ORDER BY 1"),
                 QStringList({QString::number(plain), QString::number(gss)}));
        QTest::mouseClick(window.findChild<QToolButton*>("SpeedButton5"), Qt::LeftButton);
        QCOMPARE(standard.rows("SELECT idogrenci FROM Puantaj ORDER BY 1").size(), 2);
        window.close();
    }
};

QTEST_MAIN(TstTimesheet)
#include "tst_timesheet.moc"
