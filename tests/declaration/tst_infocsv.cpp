// The information CSV file: the example months in both editions against their expected
// files, then the field rules, the quoting of separators, values outside the code page.
#include "declaration/infocsv.h"
#include "sampledata.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvo;

using namespace zelvo::declaration;
using namespace Qt::StringLiterals;

namespace {

DeclarationInput oneStudent(Edition edition = Edition::Standard)
{
    DeclarationInput in;
    in.parameters = sample::parameters();
    in.month = 3;
    in.yearText = u"2012"_s;
    in.edition = edition;
    ShownRow row = sample::student(u"1001"_s, u"Ali"_s, u"Kaya"_s);
    row[u"ssksicilno"_s] = u"111"_s;
    row[u"tckimlikno"_s] = u"222"_s;
    row[u"stajyeri"_s] = u"Hastane"_s;
    in.rows = {row};
    return in;
}

// Everything after the title line.
QByteArray dataLines(const DeclarationInput& in)
{
    const FileBytes file = buildInfoCsv(in);
    if (!file.ok()) {
        qWarning("unexpected error: %s", qPrintable(file.error));
        return {};
    }
    const qsizetype end = file.bytes.indexOf("\r\n");
    return end < 0 ? QByteArray() : file.bytes.mid(end + 2);
}

const QByteArray plainLine = "1;2012;3;1001;Ali;Kaya;111;222;01.02.2012;30.06.2012;30;;;Adana;"
                             "Hastane;;\r\n";

} // namespace

class TestInfoCsv : public QObject {
    Q_OBJECT

private slots:
    void exampleMonths_data();
    void exampleMonths();
    void titleLines_data();
    void titleLines();
    void dates_data();
    void dates();
    void entryAndExitDates_data();
    void entryAndExitDates();
    void decemberYearBoxNotANumber();
    void fieldsAreNotTrimmed();
    void fieldsWithSeparatorsAreQuoted_data();
    void fieldsWithSeparatorsAreQuoted();
    void gssEditionSkipsThePlace();
    void valueOutsideCodePage_data();
    void valueOutsideCodePage();
    void yearBoxOutsideCodePage();
    void missingColumn();
    void errorWritesNothing();
    void writtenToDisk();
};

void TestInfoCsv::exampleMonths_data()
{
    QTest::addColumn<bool>("december");
    QTest::addColumn<int>("edition");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("March") << false << int(Edition::Standard) << sample::golden("csv-march.csv");
    QTest::newRow("March GSS") << false << int(Edition::Gss) << sample::golden("csv-march-gss.csv");
    // December's January exit day is written with 2013, the year it falls in.
    QTest::newRow("December") << true << int(Edition::Standard)
                              << sample::golden("csv-december.csv");
    QTest::newRow("December GSS") << true << int(Edition::Gss)
                                  << sample::golden("csv-december-gss.csv");
}

void TestInfoCsv::exampleMonths()
{
    QFETCH(bool, december);
    QFETCH(int, edition);
    QFETCH(QByteArray, expected);
    const DeclarationInput in =
        december ? sample::decemberInput(Edition(edition)) : sample::marchInput(Edition(edition));
    const FileBytes file = buildInfoCsv(in);
    QVERIFY2(file.ok(), qPrintable(file.error));
    QCOMPARE(sample::lines(file.bytes), sample::lines(expected)); // readable difference first
    QCOMPARE(file.bytes, expected);
}

void TestInfoCsv::titleLines_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<int>("separators");
    QTest::addColumn<QByteArray>("lastTitle");
    // Windows-1254: Ç C7, I 49, Ş DE, Ü DC; "Staj " then İ DD.
    QTest::newRow("standard") << int(Edition::Standard) << 15 << QByteArray("Staj Yeri;");
    QTest::newRow("GSS") << int(Edition::Gss) << 13 << QByteArray("Varsa \xc7IKI\xde G\xdcN\xdc;");
}

void TestInfoCsv::titleLines()
{
    QFETCH(int, edition);
    QFETCH(int, separators);
    QFETCH(QByteArray, lastTitle);
    const FileBytes file = buildInfoCsv(oneStudent(Edition(edition)));
    QVERIFY2(file.ok(), qPrintable(file.error));
    const QList<QByteArray> l = sample::lines(file.bytes);
    QCOMPARE(l.size(), 2);
    QVERIFY(l.at(0).startsWith("S\xfdra No;Y\xfdl;Ay;"));
    QVERIFY(l.at(0).endsWith(lastTitle));
    QCOMPARE(l.at(0).count(';'), separators);
    QCOMPARE(l.at(1).count(';'), separators + 1);
    QVERIFY(l.at(1).endsWith(";;"));
}

void TestInfoCsv::dates_data()
{
    QTest::addColumn<QVariant>("start");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ISO text") << QVariant(u"2012-03-05"_s) << QByteArray("05.03.2012");
    QTest::newRow("date") << QVariant(QDate(2012, 3, 5)) << QByteArray("05.03.2012");
    QTest::newRow("ISO text at midnight")
        << QVariant(u"2012-03-05 00:00:00"_s) << QByteArray("05.03.2012");
    QTest::newRow("date and time at midnight")
        << QVariant(QDateTime(QDate(2012, 3, 5), QTime(0, 0))) << QByteArray("05.03.2012");
    QTest::newRow("ISO text with a time")
        << QVariant(u"2012-03-05T14:30:00"_s) << QByteArray("05.03.2012 14:30:00");
    QTest::newRow("null") << QVariant() << QByteArray();
    QTest::newRow("empty text") << QVariant(u""_s) << QByteArray();
    QTest::newRow("null date") << QVariant(QDate()) << QByteArray();
    QTest::newRow("already day first") << QVariant(u"05.03.2012"_s) << QByteArray("05.03.2012");
    QTest::newRow("not a date") << QVariant(u"2012-13-45"_s) << QByteArray("2012-13-45");
}

void TestInfoCsv::dates()
{
    QFETCH(QVariant, start);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.rows[0][u"baslangictarihi"_s] = start;
    QCOMPARE(dataLines(in),
             "1;2012;3;1001;Ali;Kaya;111;222;" + expected + ";30.06.2012;30;;;Adana;Hastane;;\r\n");
}

void TestInfoCsv::entryAndExitDates_data()
{
    QTest::addColumn<QVariant>("girisgun");
    QTest::addColumn<QVariant>("cikisgun");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("neither: three semicolons after the days")
        << QVariant(u""_s) << QVariant(u""_s) << 3 << u"2012"_s << QByteArray("30;;;Adana");
    QTest::newRow("neither, null")
        << QVariant() << QVariant() << 3 << u"2012"_s << QByteArray("30;;;Adana");
    QTest::newRow("entry") << QVariant(u"2003"_s) << QVariant() << 3 << u"2012"_s
                           << QByteArray("30;20-03-2012;;Adana");
    QTest::newRow("exit") << QVariant() << QVariant(u"0304"_s) << 3 << u"2012"_s
                          << QByteArray("30;;03-04-2012;Adana");
    QTest::newRow("both") << QVariant(u"2003"_s) << QVariant(u"0304"_s) << 3 << u"2012"_s
                          << QByteArray("30;20-03-2012;03-04-2012;Adana");
    // The December period runs into January of the next year; a date must say so.
    QTest::newRow("December: a January exit falls in the next year")
        << QVariant(u"1712"_s) << QVariant(u"1001"_s) << 12 << u"2012"_s
        << QByteArray("30;17-12-2012;10-01-2013;Adana");
    QTest::newRow("December: a January entry too")
        << QVariant(u"0201"_s) << QVariant() << 12 << u"2030"_s
        << QByteArray("30;02-01-2031;;Adana");
    QTest::newRow("January period: its January days keep the year")
        << QVariant(u"2001"_s) << QVariant() << 1 << u"2013"_s
        << QByteArray("30;20-01-2013;;Adana");
    QTest::newRow("another year box") << QVariant(u"2003"_s) << QVariant() << 3 << u"2031"_s
                                      << QByteArray("30;20-03-2031;;Adana");
    QTest::newRow("empty year box")
        << QVariant(u"2003"_s) << QVariant() << 3 << QString() << QByteArray("30;20-03-;;Adana");
}

void TestInfoCsv::entryAndExitDates()
{
    QFETCH(QVariant, girisgun);
    QFETCH(QVariant, cikisgun);
    QFETCH(int, month);
    QFETCH(QString, year);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.month = month;
    in.yearText = year;
    in.rows[0][u"girisgun"_s] = girisgun;
    in.rows[0][u"cikisgun"_s] = cikisgun;
    QCOMPARE(dataLines(in),
             "1;2012;3;1001;Ali;Kaya;111;222;01.02.2012;30.06.2012;" + expected + ";Hastane;;\r\n");
}

void TestInfoCsv::decemberYearBoxNotANumber()
{
    DeclarationInput in = oneStudent();
    in.month = 12;
    in.yearText = u"20x2"_s;
    in.rows[0][u"girisgun"_s] = u"1712"_s;
    QVERIFY(buildInfoCsv(in).ok()); // a December day needs only the text
    in.rows[0][u"cikisgun"_s] = u"1001"_s;
    const FileBytes file = buildInfoCsv(in);
    QVERIFY(file.bytes.isEmpty());
    QVERIFY2(file.error.contains(u"\"20x2\" bir yıl değil"_s), qPrintable(file.error));
}

void TestInfoCsv::fieldsAreNotTrimmed()
{
    DeclarationInput in = oneStudent();
    in.rows[0][u"ogrencino"_s] = u" 1001 "_s;
    in.rows[0][u"adi"_s] = u"Ali  "_s;
    QCOMPARE(dataLines(in),
             QByteArray("1;2012;3; 1001 ;Ali  ;Kaya;111;222;01.02.2012;30.06.2012;30;;;Adana;"
                        "Hastane;;\r\n"));
}

void TestInfoCsv::fieldsWithSeparatorsAreQuoted_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("nothing to quote") << u"stajyeri"_s << u"Hastane"_s << plainLine;
    QTest::newRow("apostrophe and comma") << u"stajyeri"_s << u"Ali's, B"_s
                                          << QByteArray("1;2012;3;1001;Ali;Kaya;111;222;"
                                                        "01.02.2012;30.06.2012;30;;;Adana;"
                                                        "Ali's, B;;\r\n");
    QTest::newRow("semicolon") << u"stajyeri"_s << u"Hastane; B Blok"_s
                               << QByteArray("1;2012;3;1001;Ali;Kaya;111;222;01.02.2012;"
                                             "30.06.2012;30;;;Adana;\"Hastane; B Blok\";;\r\n");
    QTest::newRow("double quotes") << u"adi"_s << u"Ali \"Can\""_s
                                   << QByteArray("1;2012;3;1001;\"Ali \"\"Can\"\"\";Kaya;111;222;"
                                                 "01.02.2012;30.06.2012;30;;;Adana;Hastane;;\r\n");
    QTest::newRow("a lone quote") << u"soyadi"_s << u"\""_s
                                  << QByteArray("1;2012;3;1001;Ali;\"\"\"\";111;222;01.02.2012;"
                                                "30.06.2012;30;;;Adana;Hastane;;\r\n");
    QTest::newRow("CRLF") << u"stajyeri"_s << u"Hastane\r\nAcil"_s
                          << QByteArray("1;2012;3;1001;Ali;Kaya;111;222;01.02.2012;30.06.2012;"
                                        "30;;;Adana;\"Hastane\r\nAcil\";;\r\n");
    QTest::newRow("line feed") << u"stajili"_s << u"Adana\n"_s
                               << QByteArray("1;2012;3;1001;Ali;Kaya;111;222;01.02.2012;"
                                             "30.06.2012;30;;;\"Adana\n\";Hastane;;\r\n");
    QTest::newRow("carriage return") << u"ogrencino"_s << u"10\r01"_s
                                     << QByteArray("1;2012;3;\"10\r01\";Ali;Kaya;111;222;"
                                                   "01.02.2012;30.06.2012;30;;;Adana;Hastane;;"
                                                   "\r\n");
}

void TestInfoCsv::fieldsWithSeparatorsAreQuoted()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.rows[0][column] = value;
    QCOMPARE(dataLines(in), expected);
}

void TestInfoCsv::gssEditionSkipsThePlace()
{
    DeclarationInput in = oneStudent(Edition::Gss);
    in.rows[0].remove(u"stajili"_s);
    in.rows[0][u"stajyeri"_s] = u"Łódź"_s; // not written, so no error either
    QCOMPARE(dataLines(in),
             QByteArray("1;2012;3;1001;Ali;Kaya;111;222;01.02.2012;30.06.2012;30;;;;\r\n"));
}

void TestInfoCsv::valueOutsideCodePage_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("mentioned");
    QTest::newRow("internship place")
        << int(Edition::Standard) << u"stajyeri"_s << u"Łódź Szpital"_s
        << QStringList{u"3. satır"_s, u"20081003 İsmail Işık"_s, u"\"stajyeri\""_s,
                       u"Ł (U+0141), ź (U+017A)"_s};
    QTest::newRow("first name, GSS") << int(Edition::Gss) << u"adi"_s << u"Zoë 😀"_s
                                     << QStringList{u"3. satır"_s, u"\"adi\""_s, u"(U+1F600)"_s};
    QTest::newRow("number") << int(Edition::Standard) << u"ogrencino"_s << u"２００８"_s
                            << QStringList{u"\"ogrencino\""_s, u"２ (U+FF12)"_s};
    QTest::newRow("escape character in a surname")
        << int(Edition::Standard) << u"soyadi"_s << u"Işık\u001b"_s
        << QStringList{u"\"soyadi\""_s, u"kontrol karakteri"_s, u"(U+001B)"_s};
}

void TestInfoCsv::valueOutsideCodePage()
{
    QFETCH(int, edition);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QStringList, mentioned);
    DeclarationInput in = sample::decemberInput(Edition(edition));
    in.rows[2][column] = value;
    const FileBytes file = buildInfoCsv(in);
    QVERIFY(!file.ok());
    QVERIFY(file.bytes.isEmpty());
    QVERIFY2(file.error.startsWith(u"Dosya yazılmadı."_s), qPrintable(file.error));
    for (const QString& part : mentioned) {
        QVERIFY2(file.error.contains(part), qPrintable(file.error + u" / "_s + part));
    }
}

void TestInfoCsv::yearBoxOutsideCodePage()
{
    DeclarationInput in = oneStudent();
    in.yearText = u"２０１２"_s;
    // Written nowhere while no row has an entry or exit day.
    QVERIFY(buildInfoCsv(in).ok());
    in.rows[0][u"cikisgun"_s] = u"0304"_s;
    const FileBytes file = buildInfoCsv(in);
    QVERIFY(!file.ok());
    QVERIFY(file.bytes.isEmpty());
    QVERIFY2(file.error.contains(u"Yıl kutusu"_s), qPrintable(file.error));
}

void TestInfoCsv::missingColumn()
{
    DeclarationInput in = sample::marchInput();
    in.rows[1].remove(u"bitistarihi"_s);
    const FileBytes file = buildInfoCsv(in);
    QVERIFY(!file.ok());
    QVERIFY(file.bytes.isEmpty());
    QVERIFY2(file.error.contains(u"2. satır"_s), qPrintable(file.error));
    QVERIFY2(file.error.contains(u"\"bitistarihi\""_s), qPrintable(file.error));

    // The CSV does not need the premium base or the former surname.
    in = sample::marchInput();
    in.rows[1].remove(u"sil1"_s);
    in.rows[1].remove(u"ilksoyadi"_s);
    QVERIFY(buildInfoCsv(in).ok());
}

void TestInfoCsv::errorWritesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DeclarationInput in = sample::marchInput();
    in.rows[0][u"stajyeri"_s] = u"Łódź"_s;

    const QString fresh = dir.filePath(u"bilgiamacliDOSYA-03.csv"_s);
    QVERIFY(!writeInfoCsv(fresh, in).isEmpty());
    QVERIFY(!QFile::exists(fresh));

    const QString earlier = dir.filePath(u"earlier.csv"_s);
    {
        QFile f(earlier);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier;file;\r\n");
    }
    QVERIFY(!writeInfoCsv(earlier, in).isEmpty());
    QFile f(earlier);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier;file;\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"earlier.csv"_s});
}

void TestInfoCsv::writtenToDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"GSS-bilgiamacliDOSYA-12.csv"_s);
    QCOMPARE(writeInfoCsv(path, sample::decemberInput(Edition::Gss)), QString());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), sample::golden("csv-december-gss.csv"));
}

QTEST_GUILESS_MAIN(TestInfoCsv)
#include "tst_infocsv.moc"
