#include "report/valueformat.h"

#include <QTest>

using namespace zelvo;

using namespace Qt::StringLiterals;
using report::Decimal;
using report::DisplayFormat;

class TestReportFormat : public QObject {
    Q_OBJECT
private slots:
    void kurusFromEveryKindOfValue_data();
    void kurusFromEveryKindOfValue();
    void manySmallAmountsSumExactly();
    void numberPatterns_data();
    void numberPatterns();
    void datePatterns_data();
    void datePatterns();
    void badPatternsAreRejectedAtTheirPosition_data();
    void badPatternsAreRejectedAtTheirPosition();
};

void TestReportFormat::kurusFromEveryKindOfValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("kurus"); // invalid: not a number

    QTest::newRow("text") << QVariant(u"1234.50"_s) << QVariant(qint64(123450));
    QTest::newRow("text comma") << QVariant(u"1234,5"_s) << QVariant(qint64(123450));
    QTest::newRow("text negative") << QVariant(u"-0.07"_s) << QVariant(qint64(-7));
    QTest::newRow("text half up") << QVariant(u"2.675"_s) << QVariant(qint64(268));
    QTest::newRow("text half away from zero") << QVariant(u"-2.675"_s) << QVariant(qint64(-268));
    QTest::newRow("int liras") << QVariant(42) << QVariant(qint64(4200));
    QTest::newRow("long long") << QVariant(qint64(90000000000)) << QVariant(qint64(9000000000000));
    // 2.675 is 2.67499999... in binary; the shortest decimal form is what the user typed.
    QTest::newRow("double") << QVariant(2.675) << QVariant(qint64(268));
    QTest::newRow("double tenth") << QVariant(0.1) << QVariant(qint64(10));
    QTest::newRow("empty") << QVariant(QString()) << QVariant();
    QTest::newRow("null") << QVariant() << QVariant();
    QTest::newRow("letters") << QVariant(u"12a"_s) << QVariant();
    QTest::newRow("grouped") << QVariant(u"1.234,50"_s) << QVariant();
    // the same amount rule as the grid and the declaration: 16 whole digits at most, and a
    // double read by its 15 significant digits (20919.094999999998 is 20919.095)
    QTest::newRow("17 digits text") << QVariant(u"12345678901234567"_s) << QVariant();
    QTest::newRow("17 digits whole number") << QVariant(qint64(12345678901234567)) << QVariant();
    QTest::newRow("double with binary noise")
        << QVariant(33030.15 * 19 / 30) << QVariant(qint64(2091910));
}

void TestReportFormat::kurusFromEveryKindOfValue()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, kurus);
    const std::optional<qint64> got = report::toKurus(value);
    QCOMPARE(got.has_value(), kurus.isValid());
    if (got)
        QCOMPARE(*got, kurus.toLongLong());
}

void TestReportFormat::manySmallAmountsSumExactly()
{
    // Ten thousand times 0.10 as doubles: a binary sum drifts, kuruş do not.
    double binary = 0;
    qint64 kurus = 0;
    for (int i = 0; i < 10000; ++i) {
        binary += 0.1;
        kurus += *report::toKurus(QVariant(0.1));
    }
    QVERIFY(binary != 1000.0);
    QCOMPARE(kurus, qint64(100000));
}

void TestReportFormat::numberPatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    const QString money = u"##,##0.00 "_s;
    QTest::newRow("tr grouped") << money << u"1234567.5"_s << u"tr_TR"_s << u"1.234.567,50 "_s;
    QTest::newRow("en grouped") << money << u"1234567.5"_s << u"en_US"_s << u"1,234,567.50 "_s;
    QTest::newRow("small") << money << u"0.5"_s << u"tr_TR"_s << u"0,50 "_s;
    QTest::newRow("negative") << money << u"-1000"_s << u"tr_TR"_s << u"-1.000,00 "_s;
    QTest::newRow("rounded") << money << u"0.005"_s << u"tr_TR"_s << u"0,01 "_s;
    QTest::newRow("minus zero") << money << u"-0.001"_s << u"tr_TR"_s << u"0,00 "_s;
    QTest::newRow("no decimals") << u"#,##0"_s << u"12345.5"_s << u"tr_TR"_s << u"12.346"_s;
    QTest::newRow("optional decimals") << u"0.0#"_s << u"3.1"_s << u"tr_TR"_s << u"3,1"_s;
    QTest::newRow("prefix suffix")
        << u"Toplam: #,##0.00 TL"_s << u"1500"_s << u"tr_TR"_s << u"Toplam: 1.500,00 TL"_s;
    QTest::newRow("zero padded") << u"000"_s << u"7"_s << u"tr_TR"_s << u"007"_s;
    QTest::newRow("text stays text") << money << u"yok"_s << u"tr_TR"_s << u"yok"_s;
}

void TestReportFormat::numberPatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    const auto f = DisplayFormat::compile(pattern, nullptr, nullptr);
    QVERIFY(f);
    QCOMPARE(f->kind(), DisplayFormat::Kind::Number);
    QCOMPARE(f->apply(report::Value(value), QLocale(locale)), expected);
}

void TestReportFormat::datePatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("iso text") << u"DD-MM-YYYY"_s << QVariant(u"2024-03-05"_s) << u"05-03-2024"_s;
    QTest::newRow("QDate") << u"DD-MM-YYYY"_s << QVariant(QDate(2024, 12, 31)) << u"31-12-2024"_s;
    QTest::newRow("date time text")
        << u"DD.MM.YY HH:NN"_s << QVariant(u"2024-03-05T08:09:00"_s) << u"05.03.24 08:09"_s;
    QTest::newRow("month name") << u"D MMMM YYYY"_s << QVariant(QDate(2024, 8, 1))
                                << u"1 Ağustos 2024"_s;
    QTest::newRow("quoted literal")
        << u"'Tarih: 'DD/MM"_s << QVariant(QDate(2024, 2, 9)) << u"Tarih: 09/02"_s;
    QTest::newRow("not a date") << u"DD-MM-YYYY"_s << QVariant(u"belli değil"_s)
                                << u"belli değil"_s;
}

void TestReportFormat::datePatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    const auto f = DisplayFormat::compile(pattern, nullptr, nullptr);
    QVERIFY(f);
    QCOMPARE(f->kind(), DisplayFormat::Kind::Date);
    QCOMPARE(f->apply(report::valueFromVariant(value), QLocale(QLocale::Turkish)), expected);
}

void TestReportFormat::badPatternsAreRejectedAtTheirPosition_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("offset");

    QTest::newRow("two points") << u"#.0.0"_s << 3;
    QTest::newRow("split number") << u"#0 ve 0"_s << 6;
    QTest::newRow("three D") << u"DDD.MM"_s << 0;
    QTest::newRow("nothing known") << u"abc"_s << 0;
    QTest::newRow("open quote") << u"DD 'gün"_s << 3;
}

void TestReportFormat::badPatternsAreRejectedAtTheirPosition()
{
    QFETCH(QString, pattern);
    QFETCH(int, offset);
    int at = -1;
    QString message;
    QVERIFY(!DisplayFormat::compile(pattern, &at, &message));
    QCOMPARE(at, offset);
    QVERIFY(!message.isEmpty());
}

QTEST_APPLESS_MAIN(TestReportFormat)
#include "tst_reportformat.moc"
