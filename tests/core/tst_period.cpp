#include "core/error.h"
#include "core/period.h"
#include "core/wholenumber.h"

#include <QTest>

using namespace zelvo;

using zelvo::core::Period;

using core::Period;

class TstPeriod : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QStringList>("expected"); // startDmy, endDmy, startYmd, endYmd
        QTest::newRow("January") << "2012" << 1
                                 << QStringList{"15-01-2012", "14-02-2012", "2012-01-15",
                                                "2012-02-14"};
        QTest::newRow("February") << "2012" << 2
                                  << QStringList{"15-02-2012", "14-03-2012", "2012-02-15",
                                                 "2012-03-14"};
        QTest::newRow("June") << "2026" << 6
                              << QStringList{"15-06-2026", "14-07-2026", "2026-06-15",
                                             "2026-07-14"};
        QTest::newRow("November") << "2012" << 11
                                  << QStringList{"15-11-2012", "14-12-2012", "2012-11-15",
                                                 "2012-12-14"};
        QTest::newRow("December") << "2012" << 12
                                  << QStringList{"15-12-2012", "14-01-2013", "2012-12-15",
                                                 "2013-01-14"};
        QTest::newRow("empty year")
            << "" << 3 << QStringList{"15-03-", "14-04-", "-03-15", "-04-14"};
        QTest::newRow("year kept as typed")
            << "0999" << 5 << QStringList{"15-05-0999", "14-06-0999", "0999-05-15", "0999-06-14"};
        QTest::newRow("December without leading zeros")
            << "0999" << 12 << QStringList{"15-12-0999", "14-01-1000", "0999-12-15", "1000-01-14"};
    }
    void texts()
    {
        QFETCH(QString, year);
        QFETCH(int, month);
        QFETCH(QStringList, expected);
        const Period p(year, month);
        QCOMPARE(QStringList({p.startDmy(), p.endDmy(), p.startYmd(), p.endYmd()}), expected);
    }

    void decemberNeedsAWholeYear_data()
    {
        QTest::addColumn<QString>("year");
        QTest::newRow("empty") << "";
        QTest::newRow("letters") << "20a2";
        QTest::newRow("blank") << " 2012";
    }
    void decemberNeedsAWholeYear()
    {
        QFETCH(QString, year);
        const Period december(year, 12);
        try {
            december.endDmy();
            QFAIL("December needs a whole year");
        } catch (const core::Error& e) {
            QCOMPARE(e.text(), QStringLiteral("'%1' geçerli bir tam sayı değil").arg(year));
        }
        QVERIFY_THROWS_EXCEPTION(core::Error, Period(year, 4).requireWholeYear());
        QCOMPARE(Period(year, 4).startDmy(), QStringLiteral("15-04-") + year); // no throw
    }

    void yearOfMonth_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("dayMonth");
        QTest::addColumn<QString>("expected");
        QTest::newRow("December's December day") << 12 << 12 << "2012";
        QTest::newRow("December's January day") << 12 << 1 << "2013";
        QTest::newRow("January's January day") << 1 << 1 << "2012";
        QTest::newRow("March's April day") << 3 << 4 << "2012";
    }
    void yearOfMonth()
    {
        QFETCH(int, month);
        QFETCH(int, dayMonth);
        QFETCH(QString, expected);
        QCOMPARE(Period(QStringLiteral("2012"), month).yearOfMonth(dayMonth), expected);
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("digits") << "2012" << true << 2012LL;
        QTest::newRow("minus") << "-16" << true << -16LL;
        QTest::newRow("plus") << "+3" << true << 3LL;
        QTest::newRow("largest") << "9223372036854775807" << true << 9223372036854775807LL;
        QTest::newRow("past 64 bits") << "9223372036854775808" << false << 0LL;
        QTest::newRow("empty") << "" << false << 0LL;
        QTest::newRow("sign alone") << "-" << false << 0LL;
        QTest::newRow("blank around") << " 12" << false << 0LL;
        QTest::newRow("decimal") << "12.0" << false << 0LL;
        QTest::newRow("Arabic-Indic digits") << "٢٠" << false << 0LL;
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qlonglong, value);
        QCOMPARE(core::wholeNumber(text), valid ? std::optional<qlonglong>(value) : std::nullopt);
        if (!valid)
            QVERIFY_THROWS_EXCEPTION(core::Error, core::requireWholeNumber(text));
    }

    void periodTest_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("inside");
        QTest::newRow("first day") << 1 << QDate(2012, 1, 15) << true;
        QTest::newRow("last day") << 1 << QDate(2012, 2, 14) << true;
        QTest::newRow("14th of M") << 1 << QDate(2012, 1, 14) << false;
        QTest::newRow("15th of N") << 1 << QDate(2012, 2, 15) << false;
        QTest::newRow("February long") << 2 << QDate(2012, 3, 14) << true;
        QTest::newRow("December into January") << 12 << QDate(2013, 1, 10) << true;
        QTest::newRow("December, next year's 15th") << 12 << QDate(2013, 1, 15) << false;
        QTest::newRow("empty date") << 1 << QDate() << false;
    }
    void periodTest()
    {
        QFETCH(int, month);
        QFETCH(QDate, date);
        QFETCH(bool, inside);
        QCOMPARE(Period(QStringLiteral("2012"), month).contains(date), inside);
    }

    void titles()
    {
        QCOMPARE(Period::timesheetTitle(1),
                 QStringLiteral("Puantaj Hesaplama ve Kontrol Ekranı (15 Ocak - 14 Şubat)"));
        QCOMPARE(Period::timesheetTitle(8),
                 QStringLiteral("Puantaj Hesaplama ve Kontrol Ekranı (15 Ağustos - 14 Eylül)"));
        QCOMPARE(Period::timesheetTitle(12),
                 QStringLiteral("Puantaj Hesaplama ve Kontrol Ekranı (15 Aralık - 14 Ocak)"));
        QStringList names;
        for (int m = 1; m <= 12; ++m)
            names << Period::monthName(m);
        QCOMPARE(names, QStringList({"Ocak", "Şubat", "Mart", "Nisan", "Mayıs", "Haziran", "Temmuz",
                                     "Ağustos", "Eylül", "Ekim", "Kasım", "Aralık"}));
    }
};

QTEST_GUILESS_MAIN(TstPeriod)
#include "tst_period.moc"
