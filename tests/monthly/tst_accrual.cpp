// The accrual run through real runs on the embedded server: the amounts from the minimum wage
// and the timesheet days, December's two wages, the shares the server derives, the rounding,
// the removal that precedes every run and the run as one transaction.

#include "controls/dbgrid.h"
#include "core/period.h"
#include "monthly/tfrmtahakkukgss.h"
#include "monthlyfixture.h"

using namespace zelvo;

using namespace zelvo::monthly;
using zelvo::core::Period;

namespace {

using Fixture = MonthlyFixture<TFrmTahakkuk>;

// A timesheet row as the timesheet window leaves it; empty texts store NULL.
void addTimesheetRow(Fixture& f, int student, int month, const QString& gun,
                     const QString& gun1 = {}, const QString& gun2 = {})
{
    auto value = [](const QString& text) {
        return text.isEmpty() ? QVariant(QMetaType(QMetaType::Int)) : QVariant(text.toInt());
    };
    f.sql("INSERT INTO Puantaj (idogrenci, yil, ay, gun, gun1, gun2, birimkodu) "
          "VALUES (@s, '2026', @m, @g, @g1, @g2, '01')",
          {{"@s", student},
           {"@m", month},
           {"@g", value(gun)},
           {"@g1", value(gun1)},
           {"@g2", value(gun2)}});
}

// Sets a wage column of the parameter row ("au03") to a value, NULL or text.
void setWage(Fixture& f, const QString& column, const QVariant& value)
{
    f.sql(QStringLiteral("UPDATE Parametre SET %1 = @w").arg(column), {{"@w", value}});
}

// An amount column as text with two decimals ("20919.10"), in the SQL of the session's backend.
QString twoDecimals(Fixture& f, const QString& column)
{
    return f.session.connection.backendName() == QLatin1String("sqlite")
               ? QStringLiteral("printf('%.2f', %1)").arg(column)
               : QStringLiteral("to_char(%1, 'FM999999999990.00')").arg(column);
}

// Several amount columns, as twoDecimals() gives them, separated by commas.
QString twoDecimals(Fixture& f, const QStringList& columns)
{
    QStringList texts;
    for (const QString& column : columns)
        texts << twoDecimals(f, column);
    return texts.join(QLatin1String(", "));
}

// The stored accrual of a month: idogrenci|gun|kazanc|matrah|isveren|isci, amounts with two
// decimals.
QStringList accrual(Fixture& f, int month)
{
    return f.rows(QStringLiteral("SELECT idogrenci, gun, %1 FROM Tahakkuk "
                                 "WHERE yil = '2026' AND ay = @m ORDER BY idogrenci")
                      .arg(twoDecimals(f, {"kazanc", "matrah", "isveren", "isci"})),
                  {{"@m", month}});
}

int student(Fixture& f, const QString& number, bool gss = false)
{
    return f.session.addStudent(number, "Ali", "Veli", QDate(2026, 1, 1), QDate(2026, 12, 31), gss);
}

} // namespace

class TstAccrual : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey)); }

    void amounts_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QVariantList>("wages"); // of the month; December: au12, au01
        QTest::addColumn<QStringList>("days");   // gun, gun1, gun2
        QTest::addColumn<QString>("expected");   // gun|kazanc|matrah
        QTest::newRow("March, 17 days")
            << 3 << QVariantList{1500} << QStringList{"17", "", ""} << "17|850.00|850.00";
        QTest::newRow("a full month is the wage")
            << 3 << QVariantList{1500} << QStringList{"30", "", ""} << "30|1500.00|1500.00";
        QTest::newRow("a wage with kuruş, full month")
            << 3 << QVariantList{33030.45} << QStringList{"30", "", ""} << "30|33030.45|33030.45";
        QTest::newRow("December at two wages")
            << 12 << QVariantList{1500, 1800} << QStringList{"30", "16", "14"}
            << "30|1640.00|1640.00";
        QTest::newRow("December sends gun unchanged")
            << 12 << QVariantList{1500, 1800} << QStringList{"25", "16", "14"}
            << "25|1640.00|1640.00";
        QTest::newRow("December, only January days")
            << 12 << QVariantList{1500, 1800} << QStringList{"10", "0", "10"} << "10|600.00|600.00";
        QTest::newRow("June ignores the split")
            << 6 << QVariantList{1500} << QStringList{"10", "99", "99"} << "10|500.00|500.00";
        QTest::newRow("no cap on hand-set days")
            << 4 << QVariantList{1500} << QStringList{"45", "", ""} << "45|2250.00|2250.00";
        // the server rounds half away from zero from the shortest decimal form of the amount
        QTest::newRow("50.005 rounds up")
            << 5 << QVariantList{1500.15} << QStringList{"1", "", ""} << "1|50.01|50.01";
        QTest::newRow("166.725 rounds up")
            << 5 << QVariantList{1000.35} << QStringList{"5", "", ""} << "5|166.73|166.73";
        QTest::newRow("-50.005 rounds away from zero")
            << 5 << QVariantList{1500.15} << QStringList{"-1", "", ""} << "-1|-50.01|-50.01";
        QTest::newRow("a third") << 7 << QVariantList{1000} << QStringList{"1", "", ""}
                                 << "1|33.33|33.33";
    }
    void amounts()
    {
        QFETCH(int, month);
        QFETCH(QVariantList, wages);
        QFETCH(QStringList, days);
        QFETCH(QString, expected);
        Fixture f;
        const int id = student(f, "100");
        setWage(f, "au" + Period::twoDigits(month), wages.at(0));
        if (month == 12)
            setWage(f, "au01", wages.at(1));
        addTimesheetRow(f, id, month, days.at(0), days.at(1), days.at(2));
        f.open();
        f.run(month);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.rows(QStringLiteral("SELECT gun, %1 FROM Tahakkuk")
                            .arg(twoDecimals(f, {"kazanc", "matrah"}))),
                 QStringList{expected});
        QVERIFY(f.child(QStringLiteral("wwDBGrid1"))->isVisible());
    }

    // The shares are the server's: the premium base times the parameter row's percentages.
    void sharesFromTheParameterPercentages_data()
    {
        QTest::addColumn<QString>("employer");
        QTest::addColumn<QString>("employee");
        QTest::addColumn<QString>("expected"); // isveren|isci of a base of 1234.50
        QTest::newRow("1 and 0 percent") << "1"
                                         << "0"
                                         << "12.35|0.00";
        QTest::newRow("22.5 and 14 percent") << "22.5"
                                             << "14"
                                             << "277.76|172.83";
    }
    void sharesFromTheParameterPercentages()
    {
        QFETCH(QString, employer);
        QFETCH(QString, employee);
        QFETCH(QString, expected);
        Fixture f;
        const int id = student(f, "100");
        f.sql("UPDATE Parametre SET isveren = @a, isci = @b, au08 = 1234.5",
              {{"@a", employer}, {"@b", employee}});
        addTimesheetRow(f, id, 8, "30");
        f.open();
        f.run(8);
        QCOMPARE(
            f.rows(
                QStringLiteral("SELECT %1 FROM Tahakkuk").arg(twoDecimals(f, {"isveren", "isci"}))),
            QStringList{expected});
    }

    // Without timesheet rows: the message, a hidden grid, and the month's accrual gone.
    void noTimesheet()
    {
        Fixture f;
        const int id = student(f, "100");
        addTimesheetRow(f, id, 3, "30");
        f.open();
        f.run(3);
        QCOMPARE(accrual(f, 3).size(), 1);
        f.sql("DELETE FROM Puantaj");
        f.run(3);
        QCOMPARE(f.messages(),
                 QStringList{"İlgili aya ait kayıt bulunamadı. Öncelikle Öğrenci Bilgileri "
                             "bölümünden staj başlangıç ve bitiş tarihlerini kontrol ediniz. "
                             "Daha sonra ise Puantaj bölümünden ilgili aya ait puantaj "
                             "işlemini yapınız."});
        QCOMPARE(accrual(f, 3), QStringList());
        QVERIFY(!f.child(QStringLiteral("wwDBGrid1"))->isVisible());
    }

    void twoRunsLeaveOneRowPerStudent()
    {
        Fixture f;
        const int a = student(f, "100");
        const int b = student(f, "200");
        addTimesheetRow(f, a, 3, "30");
        addTimesheetRow(f, b, 3, "12");
        f.open();
        f.run(3);
        const QStringList once = accrual(f, 3);
        QCOMPARE(once.size(), 2);
        f.run(3);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(accrual(f, 3), once);
    }

    // An empty or broken wage stops the run before anything changes, naming the column.
    void wageMustBeANumber_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("wage");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << 3 << "au03" << QVariant() << "Mart ayının asgari ücreti (au03)";
        QTest::newRow("text") << 3 << "au03" << QVariant("bin") << "Mart ayının asgari ücreti";
        QTest::newRow("December's January wage")
            << 12 << "au01" << QVariant() << "Ocak ayının asgari ücreti (au01)";
        QTest::newRow("December's own wage")
            << 12 << "au12" << QVariant("") << "Aralık ayının asgari ücreti (au12)";
    }
    void wageMustBeANumber()
    {
        QFETCH(int, month);
        QFETCH(QString, column);
        QFETCH(QVariant, wage);
        QFETCH(QString, error);
        Fixture f;
        if (f.session.connection.backendName() == QLatin1String("postgresql") &&
            wage.typeId() == QMetaType::QString)
            QSKIP("a wage column of the server holds numbers only: a text cannot be stored");
        const int id = student(f, "100");
        addTimesheetRow(f, id, month, "30", "16", "14");
        f.open();
        f.run(month);
        const QStringList before = accrual(f, month);
        QCOMPARE(before.size(), 1);
        setWage(f, column, wage);
        f.window->close(); // the wage is read at activation
        f.open();
        f.run(month);
        QCOMPARE(f.errors().size(), 1);
        QVERIFY2(f.errors().first().startsWith(error), qPrintable(f.errors().first()));
        QCOMPARE(accrual(f, month), before);
    }

    // Days that are empty where they are priced stop the run; nothing changes.
    void emptyDaysStopTheRun_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<QString>("column");
        QTest::newRow("December without old-wage days")
            << 12 << QStringList{"30", "", "14"} << "gun1";
        QTest::newRow("December without new-wage days")
            << 12 << QStringList{"30", "16", ""} << "gun2";
        QTest::newRow("March without days") << 3 << QStringList{"", "", ""} << "gun";
    }
    void emptyDaysStopTheRun()
    {
        QFETCH(int, month);
        QFETCH(QStringList, days);
        QFETCH(QString, column);
        Fixture f;
        const int good = student(f, "100");
        const int empty = student(f, "200");
        addTimesheetRow(f, good, month, "30", "16", "14");
        addTimesheetRow(f, empty, month, days.at(0), days.at(1), days.at(2));
        f.sql("INSERT INTO Tahakkuk (idogrenci, yil, ay, gun, kazanc, matrah, isveren, isci, "
              "birimkodu) VALUES (@s, '2026', @m, 1, 1, 1, 0, 0, '01')",
              {{"@s", good}, {"@m", month}});
        const QStringList before = accrual(f, month);
        f.open();
        f.run(month);
        QCOMPARE(f.errors(),
                 QStringList{QStringLiteral("200 numaralı öğrencinin puantajında '%1' gün sayısı "
                                            "boş ya da tam sayı değil. Puantaj bölümünde "
                                            "düzeltip tahakkuku yeniden çalıştırınız.")
                                 .arg(column)});
        QCOMPARE(accrual(f, month), before);
    }

    // A server error in the middle of a run leaves the month's accrual as it was.
    void errorInTheMiddleRollsBack()
    {
        Fixture f;
        const int a = student(f, "100");
        const int b = student(f, "200");
        const int c = student(f, "300");
        for (int id : {a, b, c})
            addTimesheetRow(f, id, 3, "30");
        f.open();
        f.run(3);
        const QStringList before = accrual(f, 3);
        QCOMPARE(before.size(), 3);
        f.sql("UPDATE Parametre SET au03 = 2000");
        f.session.refuseInserts(QStringLiteral("Tahakkuk"),
                                QStringLiteral("NEW.idogrenci = %1").arg(b),
                                QStringLiteral("satır reddedildi"));
        f.window->close();
        f.open();
        f.run(3);
        QCOMPARE(f.errors(), QStringList{"satır reddedildi."});
        QCOMPARE(accrual(f, 3), before);
        QVERIFY(!f.child(QStringLiteral("wwDBGrid1"))->isVisible());
    }

    void yearMustBeAWholeNumber()
    {
        Fixture f;
        const int id = student(f, "100");
        f.sql("INSERT INTO Puantaj (idogrenci, yil, ay, gun, birimkodu) "
              "VALUES (@s, '20a6', 3, 30, '01')",
              {{"@s", id}});
        f.sql("INSERT INTO Tahakkuk (idogrenci, yil, ay, gun, kazanc, birimkodu) "
              "VALUES (@s, '20a6', 3, 30, 5, '01')",
              {{"@s", id}});
        f.sql("UPDATE Parametre SET aktifyil = '20a6'");
        f.open();
        f.run(3);
        QCOMPARE(f.errors(), QStringList{"'20a6' geçerli bir tam sayı değil."});
        QCOMPARE(f.rows("SELECT yil, kazanc FROM Tahakkuk"), QStringList{"20a6|5"});
    }

    // The GSS edition takes only its students, leaves the others' rows and formats the amounts.
    void gssEdition()
    {
        Fixture f;
        const int plain = student(f, "100");
        const int gss = student(f, "200", true);
        addTimesheetRow(f, plain, 3, "30");
        addTimesheetRow(f, gss, 3, "30");
        f.sql("UPDATE Parametre SET au03 = 33030");
        f.open();
        f.run(3);
        QCOMPARE(f.rows("SELECT idogrenci FROM Tahakkuk"), QStringList{QString::number(plain)});
        auto* standardGrid = f.child<controls::DbGrid>(QStringLiteral("wwDBGrid1"));
        QCOMPARE(standardGrid->model()->index(0, 6).data().toString(), QStringLiteral("33030,00"));
        f.window->close();

        TFrmTahakkukGss window(*f.session.context, &f.session.mainWindow);
        window.show();
        QTest::mouseClick(window.findChild<QRadioButton*>("Month3"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QToolButton*>("SpeedButton5"), Qt::LeftButton);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.rows("SELECT idogrenci FROM Tahakkuk ORDER BY 1"),
                 QStringList({QString::number(plain), QString::number(gss)}));
        auto* grid = window.findChild<controls::DbGrid*>(QStringLiteral("wwDBGrid1"));
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->model()->rowCount(), 1);
        const QAbstractItemModel* model = grid->model();
        QCOMPARE(model->index(0, 6).data().toString(), QStringLiteral("33.030,00 "));
        QCOMPARE(model->index(0, 8).data().toString(), QStringLiteral("330,30 "));
        QCOMPARE(model->index(0, 5).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        window.close();
    }
};

QTEST_MAIN(TstAccrual)
#include "tst_accrual.moc"
