#include "money.h"

#include <QTest>

class TstMoney : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("kurus");
        QTest::newRow("whole") << "1500" << qint64(150000);
        QTest::newRow("comma") << "1500,5" << qint64(150050);
        QTest::newRow("point") << "1234.56" << qint64(123456);
        QTest::newRow("half up") << "1234.565" << qint64(123457);
        QTest::newRow("below half") << "1234.5649999" << qint64(123456);
        QTest::newRow("negative half away") << "-0.005" << qint64(-1);
        QTest::newRow("leading point") << ".25" << qint64(25);
        QTest::newRow("blanks") << "  12.3 " << qint64(1230);
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(qint64, kurus);
        QCOMPARE(money::parseKurus(text), std::optional<qint64>(kurus));
    }

    void rejectsMalformedText()
    {
        QVERIFY(!money::parseKurus(u""));
        QVERIFY(!money::parseKurus(u"1.2.3"));
        QVERIFY(!money::parseKurus(u"12a"));
        QVERIFY(!money::parseKurus(u"1 000"));
    }

    void doublesGoThroughTheirShortestForm()
    {
        // 1.005 is 1.00499999999999989... in binary; its shortest form "1.005" rounds up
        QCOMPARE(money::kurusFromVariant(1.005), std::optional<qint64>(101));
        QCOMPARE(money::kurusFromVariant(33030.0 * 17 / 30), std::optional<qint64>(1871700));
        QCOMPARE(money::kurusFromVariant(QVariant(qint64(42))), std::optional<qint64>(4200));
        QCOMPARE(money::kurusFromVariant(QStringLiteral("0,1")), std::optional<qint64>(10));
        QVERIFY(!money::kurusFromVariant(QVariant()));
    }

    void percentages_data()
    {
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("one percent") << qint64(185000) << "1" << qint64(1850);
        QTest::newRow("half kurus up") << qint64(50) << "1" << qint64(1); // 0.005 -> 0.01
        QTest::newRow("fraction percent") << qint64(100000) << "15.5" << qint64(15500);
        QTest::newRow("zero") << qint64(123456) << "0" << qint64(0);
        QTest::newRow("negative") << qint64(-50) << "1" << qint64(-1);
    }
    void percentages()
    {
        QFETCH(qint64, amount);
        QFETCH(QString, percent);
        QFETCH(qint64, expected);
        QCOMPARE(money::percentOf(amount, percent), std::optional<qint64>(expected));
    }

    void texts()
    {
        QCOMPARE(money::plainText(85000), QStringLiteral("850.00"));
        QCOMPARE(money::plainText(-5), QStringLiteral("-0.05"));
        const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
        QCOMPARE(money::displayText(123456789, turkish), QStringLiteral("1.234.567,89 "));
        QCOMPARE(money::displayText(5, turkish), QStringLiteral("0,05 "));
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(money::displayText(100000, english), QStringLiteral("1,000.00 "));
    }
};

QTEST_GUILESS_MAIN(TstMoney)
#include "tst_money.moc"
