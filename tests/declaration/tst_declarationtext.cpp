// The small texts of the declaration: premium base texts, entry and exit days, value texts,
// the code page and the proposed file names.
#include "core/cp1254.h"
#include "declaration/declarationinput.h"
#include "declaration/declarationtext.h"
#include "declaration/declarationxml.h"
#include "declaration/infocsv.h"

#include <QDateTime>
#include <QTest>

using namespace zelvo;

using namespace zelvo::core;
using namespace zelvo::declaration;
using namespace Qt::StringLiterals;

class TestDeclarationText : public QObject {
    Q_OBJECT

private slots:
    void pekFromAmount_data();
    void pekFromAmount();
    void sil1FromPekText_data();
    void sil1FromPekText();
    void amountToSil1_data();
    void amountToSil1();
    void periodDay_data();
    void periodDay();
    void valueTexts_data();
    void valueTexts();
    void turkishLetters();
    void outsideTheCodePage_data();
    void outsideTheCodePage();
    void fileNames_data();
    void fileNames();
    void recordsFromHashes();
};

void TestDeclarationText::pekFromAmount_data()
{
    QTest::addColumn<QVariant>("amount");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole number") << QVariant(1500) << true << u"1500"_s;
    QTest::newRow("text with two decimals") << QVariant(u"1500.50"_s) << true << u"1500,5"_s;
    QTest::newRow("text with zero decimals") << QVariant(u"1500.00"_s) << true << u"1500"_s;
    QTest::newRow("text with kuruş") << QVariant(u"1500.25"_s) << true << u"1500,25"_s;
    QTest::newRow("text with a comma") << QVariant(u"1500,25"_s) << true << u"1500,25"_s;
    QTest::newRow("text without decimals") << QVariant(u"1500"_s) << true << u"1500"_s;
    QTest::newRow("text with blanks around") << QVariant(u" 886.5 "_s) << true << u"886,5"_s;
    QTest::newRow("text with a point only") << QVariant(u"12."_s) << true << u"12"_s;
    QTest::newRow("text with decimals only") << QVariant(u".5"_s) << true << u"0,5"_s;
    QTest::newRow("double") << QVariant(1500.5) << true << u"1500,5"_s;
    QTest::newRow("double with kuruş") << QVariant(1500.25) << true << u"1500,25"_s;
    QTest::newRow("double sum") << QVariant(0.1 + 0.2) << true << u"0,3"_s;
    QTest::newRow("double large") << QVariant(1234567.89) << true << u"1234567,89"_s;
    QTest::newRow("zero") << QVariant(0) << true << u"0"_s;
    QTest::newRow("zero double") << QVariant(0.0) << true << u"0"_s;
    QTest::newRow("zero text") << QVariant(u"0.00"_s) << true << u"0"_s;
    QTest::newRow("half kuruş up") << QVariant(u"12.345"_s) << true << u"12,35"_s;
    QTest::newRow("below half kuruş") << QVariant(u"12.3449"_s) << true << u"12,34"_s;
    QTest::newRow("negative half kuruş away from zero")
        << QVariant(u"-12.345"_s) << true << u"-12,35"_s;
    QTest::newRow("negative tiny") << QVariant(u"-0.001"_s) << true << u"0"_s;
    QTest::newRow("sixteen digits")
        << QVariant(u"9999999999999999.99"_s) << true << u"9999999999999999,99"_s;
    QTest::newRow("long long") << QVariant(qlonglong(12345678901234)) << true
                               << u"12345678901234"_s;
    QTest::newRow("null") << QVariant() << true << QString();
    QTest::newRow("empty text") << QVariant(u""_s) << true << QString();
    QTest::newRow("letters") << QVariant(u"abc"_s) << false << QString();
    QTest::newRow("two points") << QVariant(u"1.2.3"_s) << false << QString();
    QTest::newRow("exponent") << QVariant(u"1e5"_s) << false << QString();
    QTest::newRow("grouped") << QVariant(u"1.500,50"_s) << false << QString();
    QTest::newRow("seventeen digits") << QVariant(u"12345678901234567"_s) << false << QString();
    QTest::newRow("seventeen-digit whole number")
        << QVariant(qlonglong(12345678901234567)) << false << QString();
    QTest::newRow("double with binary noise")
        << QVariant(33030.15 * 19 / 30) << true << u"20919,1"_s;
    QTest::newRow("infinity") << QVariant(qInf()) << false << QString();
}

void TestDeclarationText::pekFromAmount()
{
    QFETCH(QVariant, amount);
    QFETCH(bool, readable);
    QFETCH(QString, expected);
    const std::optional<QString> text = pekText(amount);
    QCOMPARE(text.has_value(), readable);
    if (readable) {
        QCOMPARE(*text, expected);
    }
}

void TestDeclarationText::sil1FromPekText_data()
{
    QTest::addColumn<QString>("pek");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1234") << u"1234"_s << u"1234.00"_s;
    QTest::newRow("1234,5") << u"1234,5"_s << u"1234.50"_s;
    QTest::newRow("1234,56") << u"1234,56"_s << u"1234.56"_s;
    QTest::newRow("0") << u"0"_s << u"0.00"_s;
    QTest::newRow("empty") << QString() << u".00"_s;
    QTest::newRow("1500") << u"1500"_s << u"1500.00"_s;
    QTest::newRow("1500,5") << u"1500,5"_s << u"1500.50"_s;
    QTest::newRow("1500,25") << u"1500,25"_s << u"1500.25"_s;
    QTest::newRow("point already") << u"12.5"_s << u"12.50"_s;
    QTest::newRow("only commas are replaced") << u"1.234,5"_s << u"1.234.50"_s;
    QTest::newRow("other characters stay") << u"abc"_s << u"abc.00"_s;
    QTest::newRow("three decimals stay") << u"1,234"_s << u"1.234"_s;
}

void TestDeclarationText::sil1FromPekText()
{
    QFETCH(QString, pek);
    QFETCH(QString, expected);
    QCOMPARE(sil1FromPek(pek), expected);
}

void TestDeclarationText::amountToSil1_data()
{
    QTest::addColumn<QVariant>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1500") << QVariant(1500) << u"1500.00"_s;
    QTest::newRow("1500.50") << QVariant(u"1500.50"_s) << u"1500.50"_s;
    QTest::newRow("1500.25") << QVariant(1500.25) << u"1500.25"_s;
    QTest::newRow("0") << QVariant(0) << u"0.00"_s;
    QTest::newRow("null") << QVariant() << u".00"_s;
}

void TestDeclarationText::amountToSil1()
{
    QFETCH(QVariant, amount);
    QFETCH(QString, expected);
    const std::optional<QString> pek = pekText(amount);
    QVERIFY(pek.has_value());
    QCOMPARE(sil1FromPek(*pek), expected);
}

void TestDeclarationText::periodDay_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QString>("expected");
    const QDate marchFirst(2012, 3, 15), marchLast(2012, 4, 14);
    QTest::newRow("first day") << QDate(2012, 3, 15) << marchFirst << marchLast << u"1503"_s;
    QTest::newRow("day before") << QDate(2012, 3, 14) << marchFirst << marchLast << QString();
    QTest::newRow("last day") << QDate(2012, 4, 14) << marchFirst << marchLast << u"1404"_s;
    QTest::newRow("day after") << QDate(2012, 4, 15) << marchFirst << marchLast << QString();
    QTest::newRow("inside") << QDate(2012, 4, 5) << marchFirst << marchLast << u"0504"_s;
    QTest::newRow("another year") << QDate(2011, 3, 20) << marchFirst << marchLast << QString();
    QTest::newRow("null") << QDate() << marchFirst << marchLast << QString();
    QTest::newRow("December into January")
        << QDate(2013, 1, 10) << QDate(2012, 12, 15) << QDate(2013, 1, 14) << u"1001"_s;
}

void TestDeclarationText::periodDay()
{
    QFETCH(QDate, date);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    QFETCH(QString, expected);
    QCOMPARE(periodDayText(date, first, last), expected);
}

void TestDeclarationText::valueTexts_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("asValue");
    QTest::addColumn<QString>("asDate");
    QTest::newRow("text") << QVariant(u"Ayşe"_s) << u"Ayşe"_s << u"Ayşe"_s;
    QTest::newRow("whole number") << QVariant(30) << u"30"_s << u"30"_s;
    QTest::newRow("long long") << QVariant(qlonglong(2012)) << u"2012"_s << u"2012"_s;
    QTest::newRow("double") << QVariant(1500.5) << u"1500,5"_s << u"1500,5"_s;
    QTest::newRow("double whole") << QVariant(30.0) << u"30"_s << u"30"_s;
    QTest::newRow("null") << QVariant() << QString() << QString();
    QTest::newRow("null text") << QVariant(QMetaType(QMetaType::QString)) << QString() << QString();
    QTest::newRow("date") << QVariant(QDate(2012, 3, 5)) << u"05.03.2012"_s << u"05.03.2012"_s;
    QTest::newRow("date and time") << QVariant(QDateTime(QDate(2012, 3, 5), QTime(8, 5, 9)))
                                   << u"05.03.2012 08:05:09"_s << u"05.03.2012 08:05:09"_s;
    QTest::newRow("ISO text") << QVariant(u"2012-03-05"_s) << u"2012-03-05"_s << u"05.03.2012"_s;
    QTest::newRow("ISO text with fractions") << QVariant(u"2012-03-05T00:00:00.000"_s)
                                             << u"2012-03-05T00:00:00.000"_s << u"05.03.2012"_s;
    QTest::newRow("ISO-like text with a word")
        << QVariant(u"2012-03-05 yarın"_s) << u"2012-03-05 yarın"_s << u"2012-03-05 yarın"_s;
}

void TestDeclarationText::valueTexts()
{
    QFETCH(QVariant, value);
    QFETCH(QString, asValue);
    QFETCH(QString, asDate);
    QCOMPARE(shownValueText(value), asValue);
    QCOMPARE(shownDateText(value), asDate);
}

void TestDeclarationText::turkishLetters()
{
    // Windows-1254, from the code page's table.
    const std::optional<QByteArray> bytes = toCp1254(u"ÇĞİÖŞÜçğıöşü€ âî"_s);
    QVERIFY(bytes.has_value());
    QCOMPARE(*bytes, QByteArray("\xc7\xd0\xdd\xd6\xde\xdc\xe7\xf0\xfd\xf6\xfe\xfc\x80 \xe2\xee"));
    QCOMPARE(toCp1254(u"A;b\r\n"_s).value(), QByteArray("A;b\r\n"));
    QCOMPARE(toCp1254(QString()).value(), QByteArray());
    QVERIFY(charactersOutsideCp1254(u"Çağrı Öztürk"_s).isEmpty());
    // reading: every byte gives the character that is written back as that byte
    QByteArray every(256, '\0');
    for (int b = 0; b < 256; ++b)
        every[b] = char(b);
    QCOMPARE(toCp1254(zelvo::core::fromCp1254(every)).value(), every);
    QCOMPARE(zelvo::core::fromCp1254("\x80\x8a\x91\x9f\xd0\xdd\xfd\x81"), u"€Š‘ŸĞİı\u0081"_s);
}

void TestDeclarationText::outsideTheCodePage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("listed");
    QTest::newRow("Polish letters") << u"Łódź Łazienki"_s << u"Ł (U+0141), ź (U+017A)"_s;
    QTest::newRow("emoji") << u"a😀b"_s << u"😀 (U+1F600)"_s;
    QTest::newRow("lone surrogate at the end") << u"ab"_s + QChar(0xD800) << u"(U+D800)"_s;
    QTest::newRow("lone surrogate inside") << u"a"_s + QChar(0xDC00) + u"b"_s << u"(U+DC00)"_s;
    QTest::newRow("Cyrillic") << u"Иван"_s << u"И (U+0418), в (U+0432), а (U+0430), н (U+043D)"_s;
}

void TestDeclarationText::outsideTheCodePage()
{
    QFETCH(QString, text);
    QFETCH(QString, listed);
    QVERIFY(!toCp1254(text).has_value());
    QCOMPARE(charactersOutsideCp1254(text), listed);
    Cp1254Buffer buffer;
    buffer.appendAscii("x");
    QVERIFY(!buffer.appendText(text));
    QCOMPARE(buffer.bytes(), QByteArray("x")); // nothing of the value went in
}

void TestDeclarationText::fileNames_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("month");
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("csv");
    const int standard = int(Edition::Standard);
    const int gss = int(Edition::Gss);
    QTest::newRow("March") << u"12"_s << u"3"_s << standard << u"12-xml-03.xml"_s
                           << u"bilgiamacliDOSYA-03.csv"_s;
    QTest::newRow("March GSS") << u"12"_s << u"3"_s << gss << u"GSS-12-xml-03.xml"_s
                               << u"GSS-bilgiamacliDOSYA-03.csv"_s;
    QTest::newRow("November") << u"07"_s << u"11"_s << standard << u"07-xml-11.xml"_s
                              << u"bilgiamacliDOSYA-11.csv"_s;
    QTest::newRow("two characters taken as they are")
        << u"07"_s << u"03"_s << standard << u"07-xml-03.xml"_s << u"bilgiamacliDOSYA-03.csv"_s;
    QTest::newRow("empty: no proposal")
        << u"12"_s << QString() << standard << QString() << QString();
    QTest::newRow("three characters: no proposal")
        << u"12"_s << u"123"_s << gss << QString() << QString();
}

void TestDeclarationText::fileNames()
{
    QFETCH(QString, unit);
    QFETCH(QString, month);
    QFETCH(int, edition);
    QFETCH(QString, xml);
    QFETCH(QString, csv);
    QCOMPARE(proposedXmlFileName(unit, month, Edition(edition)), xml);
    QCOMPARE(proposedCsvFileName(month, Edition(edition)), csv);
}

void TestDeclarationText::recordsFromHashes()
{
    const WorkplaceRecord w = WorkplaceRecord::fromHash({
        {u"BIRIMADI"_s, u"Mühendislik"_s},
        {u"IsyeriSicil"_s, 1234567890},
        {u"kontrolno"_s, QVariant()},
        {u"isyeriadres"_s, u"Adana"_s},
        {u"isyerivergino"_s, u"42"_s},
    });
    QCOMPARE(w.birimadi, u"Mühendislik"_s);
    QCOMPARE(w.isyerisicil, u"1234567890"_s);
    QCOMPARE(w.kontrolno, QString());
    QCOMPARE(w.isyeriaracino, QString()); // missing
    QCOMPARE(w.isyeriadres, u"Adana"_s);
    QCOMPARE(w.isyerivergino, u"42"_s);

    const ParameterRecord p = ParameterRecord::fromHash({
        {u"BelgeMahiyet"_s, u"A"_s},
        {u"belgeturu"_s, u"7"_s},
        {u"BELGETURUYAB"_s, u"25"_s},
        {u"kanunno"_s, u"05510"_s},
        {u"aktifyil"_s, 2012},
    });
    QCOMPARE(p.belgemahiyet, u"A"_s);
    QCOMPARE(p.belgeturu, u"7"_s);
    QCOMPARE(p.belgeturuyab, u"25"_s);
    QCOMPARE(p.kanunno, u"05510"_s);
    QCOMPARE(p.aktifyil, u"2012"_s);
}

QTEST_GUILESS_MAIN(TestDeclarationText)
#include "tst_declarationtext.moc"
