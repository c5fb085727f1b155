#include "core/money.h"

#include <QTest>

#include <limits>

using namespace zelvo;

namespace money = core::money;

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
        QCOMPARE(core::money::parseKurus(text), std::optional<qint64>(kurus));
    }

    void rejectsMalformedText()
    {
        QVERIFY(!core::money::parseKurus(u""));
        QVERIFY(!core::money::parseKurus(u"1.2.3"));
        QVERIFY(!core::money::parseKurus(u"12a"));
        QVERIFY(!core::money::parseKurus(u"1 000"));
    }

    void doublesAreReadAsTheirFifteenDigits()
    {
        // 1.005 is 1.00499999999999989... in binary, 33030.15 * 19 / 30 is 20919.094999999998
        QCOMPARE(core::money::kurusFromVariant(1.005), std::optional<qint64>(101));
        QCOMPARE(core::money::kurusFromVariant(33030.15 * 19 / 30), std::optional<qint64>(2091910));
        QCOMPARE(core::money::kurusFromVariant(1000.35 * 9 / 30), std::optional<qint64>(30011));
        QCOMPARE(core::money::kurusFromVariant(-0.005), std::optional<qint64>(-1));
        QCOMPARE(core::money::kurusFromVariant(33030.0 * 17 / 30), std::optional<qint64>(1871700));
        QCOMPARE(core::money::kurusFromVariant(QVariant(qint64(42))), std::optional<qint64>(4200));
        QCOMPARE(core::money::kurusFromVariant(QStringLiteral("0,1")), std::optional<qint64>(10));
        QVERIFY(!core::money::kurusFromVariant(QVariant()));
        QVERIFY(!core::money::kurusFromDouble(std::numeric_limits<double>::quiet_NaN()));
        QVERIFY(!core::money::kurusFromDouble(1e17));
        QCOMPARE(core::money::decimalText(33030.15 * 19 / 30), QStringLiteral("20919.095"));
        QCOMPARE(core::money::decimalText(1e-7), QStringLiteral("0.0000001"));
        QCOMPARE(core::money::decimalText(-2.5), QStringLiteral("-2.5"));
        QCOMPARE(core::money::decimalText(1200.0), QStringLiteral("1200"));
    }

    // The stored amount must be the exact decimal quotient wage * days / 30 rounded half away
    // from zero, for every wage with two decimals in the range of monthly wages and every day
    // count: both from the kuruş the accrual computes in and from a double that a caller may
    // still send, so the amounts stored before and after agree.
    void accrualQuotientsAreExact()
    {
        auto exact = [](qint64 wageKurus, qint64 days) { return (2 * wageKurus * days + 30) / 60; };
        qint64 checked = 0;
        for (qint64 wage = 1000000; wage <= 6000000; ++wage) { // 10,000.00 .. 60,000.00
            const double w = double(wage) / 100.0;
            for (int days = 0; days <= 30; ++days) {
                const auto kurus = core::money::kurusFromDouble(w * days / 30);
                if (kurus != std::optional<qint64>(exact(wage, days)) ||
                    core::money::earningsKurus({{wage, days}}) != kurus)
                    QFAIL(qPrintable(QStringLiteral("%1 x %2 / 30 gave %3")
                                         .arg(core::money::plainText(wage))
                                         .arg(days)
                                         .arg(kurus ? core::money::plainText(*kurus) : QString())));
                ++checked;
            }
        }
        // small wages and December's two-part sum on a coarser grid
        for (qint64 wage = 1; wage <= 200000; wage += 7) {
            for (int first = 0; first <= 30; ++first) {
                const double w = double(wage) / 100.0;
                const double january = double(wage + 12345) / 100.0;
                const int second = 30 - first;
                const auto kurus =
                    core::money::kurusFromDouble(w * first / 30 + january * second / 30);
                const qint64 sixtieths = 2 * (wage * first + (wage + 12345) * second);
                QCOMPARE(kurus, std::optional<qint64>((sixtieths + 30) / 60));
                QCOMPARE(core::money::earningsKurus({{wage, first}, {wage + 12345, second}}),
                         kurus);
                ++checked;
            }
        }
        QVERIFY(checked > 150000000);
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
        QCOMPARE(core::money::percentOf(amount, percent), std::optional<qint64>(expected));
    }

    void earnings_data()
    {
        QTest::addColumn<qint64>("wage");
        QTest::addColumn<qint64>("days");
        QTest::addColumn<qint64>("januaryWage");
        QTest::addColumn<qint64>("januaryDays");
        QTest::addColumn<QVariant>("expected");    // kuruş; invalid: beyond an amount
        QTest::newRow("half kurus away from zero") // 20919.095
            << qint64(3303015) << qint64(19) << qint64(0) << qint64(0) << QVariant(2091910LL);
        QTest::newRow("negative half")
            << qint64(-1) << qint64(15) << qint64(0) << qint64(0) << QVariant(-1LL);
        QTest::newRow("December rounds the sum once") // 0.5 + 0.5 kuruş, not 1 + 1
            << qint64(1) << qint64(15) << qint64(1) << qint64(15) << QVariant(1LL);
        QTest::newRow("beyond an amount")
            << core::money::kMaxKurus << qint64(31) << qint64(0) << qint64(0) << QVariant();
    }
    void earnings()
    {
        QFETCH(qint64, wage);
        QFETCH(qint64, days);
        QFETCH(qint64, januaryWage);
        QFETCH(qint64, januaryDays);
        QFETCH(QVariant, expected);
        QCOMPARE(core::money::earningsKurus({{wage, days}, {januaryWage, januaryDays}}),
                 expected.isValid() ? std::optional<qint64>(expected.toLongLong()) : std::nullopt);
    }

    // One amount rule for every way an amount arrives: at most 16 whole digits, as the
    // database's decimal(18, 2) holds; the 17th is refused as text, whole number and double.
    void sixteenWholeDigitsAtMost_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("kurus"); // invalid: not an amount
        QTest::newRow("16 digits text") << QVariant(QStringLiteral("9999999999999999.99"))
                                        << QVariant(qint64(999999999999999999));
        QTest::newRow("16 digits negative") << QVariant(QStringLiteral("-1234567890123456"))
                                            << QVariant(qint64(-123456789012345600));
        QTest::newRow("17 digits text")
            << QVariant(QStringLiteral("12345678901234567")) << QVariant();
        QTest::newRow("rounds past 16 digits")
            << QVariant(QStringLiteral("9999999999999999.995")) << QVariant();
        QTest::newRow("16 digits whole number")
            << QVariant(qint64(9999999999999999)) << QVariant(qint64(999999999999999900));
        QTest::newRow("17 digits whole number")
            << QVariant(qint64(12345678901234567)) << QVariant();
        QTest::newRow("17 digits unsigned") << QVariant(quint64(12345678901234567)) << QVariant();
        QTest::newRow("largest unsigned")
            << QVariant(std::numeric_limits<quint64>::max()) << QVariant();
        QTest::newRow("17 digits double") << QVariant(1e16) << QVariant();
        QTest::newRow("double below 10^16")
            << QVariant(9e15) << QVariant(qint64(900000000000000000));
    }
    void sixteenWholeDigitsAtMost()
    {
        QFETCH(QVariant, value);
        QFETCH(QVariant, kurus);
        const std::optional<qint64> got = core::money::kurusFromVariant(value);
        QCOMPARE(got.has_value(), kurus.isValid());
        if (got)
            QCOMPARE(*got, kurus.toLongLong());
    }

    void commaTexts_data()
    {
        QTest::addColumn<qint64>("kurus");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << qint64(150000) << "1500";
        QTest::newRow("tenths") << qint64(150050) << "1500,5";
        QTest::newRow("kurus") << qint64(150025) << "1500,25";
        QTest::newRow("one kurus") << qint64(1) << "0,01";
        QTest::newRow("negative") << qint64(-7) << "-0,07";
        QTest::newRow("zero") << qint64(0) << "0";
    }
    void commaTexts()
    {
        QFETCH(qint64, kurus);
        QFETCH(QString, text);
        QCOMPARE(core::money::commaText(kurus), text);
        QCOMPARE(core::money::parseKurus(text), std::optional<qint64>(kurus)); // and back
    }

    void texts()
    {
        QCOMPARE(core::money::plainText(85000), QStringLiteral("850.00"));
        QCOMPARE(core::money::plainText(-5), QStringLiteral("-0.05"));
        const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
        QCOMPARE(core::money::displayText(123456789, turkish), QStringLiteral("1.234.567,89 "));
        QCOMPARE(core::money::displayText(5, turkish), QStringLiteral("0,05 "));
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(core::money::displayText(100000, english), QStringLiteral("1,000.00 "));
    }
};

QTEST_GUILESS_MAIN(TstMoney)
#include "tst_money.moc"
