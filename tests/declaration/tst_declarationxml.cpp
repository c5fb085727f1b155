// The declaration XML file: the example month against its expected file, then each line and
// attribute rule on its own, the escaping of markup characters, values outside the code page.
#include "declaration/declarationxml.h"
#include "sampledata.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvo;

using namespace zelvo::declaration;
using namespace Qt::StringLiterals;
using sample::blanks;
using sample::lines;

namespace {

// The workplace line for the values given, everything else as in the tests' usual row.
DeclarationInput oneStudent()
{
    DeclarationInput in;
    in.workplace.birimadi = u"Birim"_s;
    in.workplace.isyerisicil = u"1234567890"_s;
    in.workplace.kontrolno = u"7"_s;
    in.workplace.isyeriaracino = u"000"_s;
    in.workplace.isyeriadres = u"Adres"_s;
    in.workplace.isyerivergino = u"1234567890"_s;
    in.parameters = sample::parameters();
    in.month = 3;
    in.yearText = u"2012"_s;
    ShownRow row = sample::student(u"1001"_s, u"Ali"_s, u"Kaya"_s);
    row[u"ssksicilno"_s] = u"111"_s;
    row[u"tckimlikno"_s] = u"222"_s;
    in.rows = {row};
    return in;
}

const QByteArray personLine =
    "<SIGORTALI SIRA=\"1\" SIGORTALISICIL=\"111\" TCKNO=\"222\" AD=\"Ali\" SOYAD=\"Kaya\"  "
    "PEK=\"886.50\"  GUN=\"30\" />";

QByteArray build(const DeclarationInput& in)
{
    const FileBytes file = buildDeclarationXml(in);
    if (!file.ok()) {
        qWarning("unexpected error: %s", qPrintable(file.error));
    }
    return file.bytes;
}

} // namespace

class TestDeclarationXml : public QObject {
    Q_OBJECT

private slots:
    void exampleMonth_data();
    void exampleMonth();
    void workplaceLine_data();
    void workplaceLine();
    void payrollLine_data();
    void payrollLine();
    void declarationsLine_data();
    void declarationsLine();
    void formerSurname_data();
    void formerSurname();
    void entryAndExitDays_data();
    void entryAndExitDays();
    void lineNumbersFollowTheRows();
    void noRows();
    void markupCharactersAreEscaped_data();
    void markupCharactersAreEscaped();
    void escapedFileIsWellFormed();
    void exampleFileIsWellFormed();
    void valueOutsideCodePage_data();
    void valueOutsideCodePage();
    void valueOutsideCodePageWritesNothing();
    void missingColumn();
    void monthOutOfRange_data();
    void monthOutOfRange();
    void writtenToDisk();
};

void TestDeclarationXml::exampleMonth_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("standard") << int(Edition::Standard) << sample::golden("xml-march.xml");
    QTest::newRow("GSS") << int(Edition::Gss) << sample::golden("xml-march-gss.xml");
}

void TestDeclarationXml::exampleMonth()
{
    QFETCH(int, edition);
    QFETCH(QByteArray, expected);
    const FileBytes file = buildDeclarationXml(sample::marchInput(Edition(edition)));
    QVERIFY2(file.ok(), qPrintable(file.error));
    QCOMPARE(lines(file.bytes).size(), 11);
    QCOMPARE(lines(file.bytes), lines(expected)); // readable difference first
    QCOMPARE(file.bytes, expected);
}

void TestDeclarationXml::workplaceLine_data()
{
    QTest::addColumn<QString>("sicil");
    QTest::addColumn<QString>("kontrol");
    QTest::addColumn<QString>("araci");
    QTest::addColumn<QString>("vergi");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray tail = "\" ISYERIUNVAN=\" Birim\" ISYERIADRES=\" Adres\" ISYERIVERGINO=\" ";
    QTest::newRow("number of 10 characters")
        << u"1234567890"_s << u"7"_s << u"000"_s << u"1234567890"_s
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) +
               "\" KONTROLNO=\"7 \" ISYERIARACINO=\"000" + tail + "1234567890" + blanks(4) + "\"/>";
    QTest::newRow("number of 21 characters")
        << u"123456789012345678901"_s << u"7"_s << u"000"_s << u"1234567890"_s
        << "<ISYERI ISYERISICIL=\"123456789012345678901\" KONTROLNO=\"7 \" ISYERIARACINO=\"000" +
               tail + "1234567890" + blanks(4) + "\"/>";
    QTest::newRow("number of 26 characters")
        << u"12345678901234567890123456"_s << u"7"_s << u"000"_s << u"1234567890"_s
        << "<ISYERI ISYERISICIL=\"12345678901234567890123456\" KONTROLNO=\"7 \" "
           "ISYERIARACINO=\"000" +
               tail + "1234567890" + blanks(4) + "\"/>";
    QTest::newRow("empty control number")
        << u"1234567890"_s << QString() << u"000"_s << u"1234567890"_s
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) + "\" KONTROLNO=\"" + blanks(2) +
               "\" ISYERIARACINO=\"000" + tail + "1234567890" + blanks(4) + "\"/>";
    QTest::newRow("two-character control number")
        << u"1234567890"_s << u"75"_s << u"000"_s << u"1234567890"_s
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) +
               "\" KONTROLNO=\"75\" ISYERIARACINO=\"000" + tail + "1234567890" + blanks(4) + "\"/>";
    QTest::newRow("empty subcontractor number")
        << u"1234567890"_s << u"7"_s << u""_s << u"1234567890"_s
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) +
               "\" KONTROLNO=\"7 \" ISYERIARACINO=\"" + blanks(3) + tail + "1234567890" +
               blanks(4) + "\"/>";
    QTest::newRow("one-character subcontractor number")
        << u"1234567890"_s << u"7"_s << u"5"_s << u"1234567890"_s
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) +
               "\" KONTROLNO=\"7 \" ISYERIARACINO=\"5  " + tail + "1234567890" + blanks(4) + "\"/>";
    QTest::newRow("empty tax number")
        << u"1234567890"_s << u"7"_s << u"000"_s << QString()
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) +
               "\" KONTROLNO=\"7 \" ISYERIARACINO=\"000" + tail + blanks(14) + "\"/>";
    QTest::newRow("tax number of 20 characters")
        << u"1234567890"_s << u"7"_s << u"000"_s << u"12345678901234567890"_s
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) +
               "\" KONTROLNO=\"7 \" ISYERIARACINO=\"000" + tail + "12345678901234567890\"/>";
    QTest::newRow("everything empty")
        << QString() << QString() << QString() << QString()
        << "<ISYERI ISYERISICIL=\"" + blanks(21) + "\" KONTROLNO=\"" + blanks(2) +
               "\" ISYERIARACINO=\"" + blanks(3) + tail + blanks(14) + "\"/>";
}

void TestDeclarationXml::workplaceLine()
{
    QFETCH(QString, sicil);
    QFETCH(QString, kontrol);
    QFETCH(QString, araci);
    QFETCH(QString, vergi);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.workplace.isyerisicil = sicil;
    in.workplace.kontrolno = kontrol;
    in.workplace.isyeriaracino = araci;
    in.workplace.isyerivergino = vergi;
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 10);
    QCOMPARE(l.at(2), expected);
}

void TestDeclarationXml::payrollLine_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QVariant>("firstYear");
    QTest::addColumn<QVariant>("secondYear");
    QTest::addColumn<QString>("nature");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("March") << 3 << QVariant(u"2012"_s) << QVariant(u"2012"_s) << u"A"_s
                           << QByteArray("<BORDRO DONEMAY=\"03\" DONEMYIL=\"2012\" "
                                         "BELGEMAHIYET=\"A\"/>");
    QTest::newRow("December, year as a number")
        << 12 << QVariant(2012) << QVariant(2012) << u"A"_s
        << QByteArray("<BORDRO DONEMAY=\"12\" DONEMYIL=\"2012\" BELGEMAHIYET=\"A\"/>");
    QTest::newRow("January") << 1 << QVariant(u"2013"_s) << QVariant(u"2013"_s) << u"A"_s
                             << QByteArray("<BORDRO DONEMAY=\"01\" DONEMYIL=\"2013\" "
                                           "BELGEMAHIYET=\"A\"/>");
    QTest::newRow("year of the first row")
        << 10 << QVariant(u"2011"_s) << QVariant(u"2012"_s) << u"A"_s
        << QByteArray("<BORDRO DONEMAY=\"10\" "
                      "DONEMYIL=\"2011\" BELGEMAHIYET=\"A\"/>");
    QTest::newRow("empty document nature")
        << 3 << QVariant(u"2012"_s) << QVariant(u"2012"_s) << QString()
        << "<BORDRO DONEMAY=\"03\" DONEMYIL=\"2012\" BELGEMAHIYET=\"" + blanks(1) + "\"/>";
    QTest::newRow("long document nature kept whole")
        << 3 << QVariant(u"2012"_s) << QVariant(u"2012"_s) << u"AB"_s
        << QByteArray("<BORDRO DONEMAY=\"03\" DONEMYIL=\"2012\" BELGEMAHIYET=\"AB\"/>");
    QTest::newRow("short year filled")
        << 3 << QVariant(u"12"_s) << QVariant(u"12"_s) << u"A"_s
        << "<BORDRO DONEMAY=\"03\" DONEMYIL=\"12" + blanks(2) + "\" BELGEMAHIYET=\"A\"/>";
    QTest::newRow("null year") << 3 << QVariant() << QVariant() << u"A"_s
                               << "<BORDRO DONEMAY=\"03\" DONEMYIL=\"" + blanks(4) +
                                      "\" BELGEMAHIYET=\"A\"/>";
}

void TestDeclarationXml::payrollLine()
{
    QFETCH(int, month);
    QFETCH(QVariant, firstYear);
    QFETCH(QVariant, secondYear);
    QFETCH(QString, nature);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.month = month;
    in.parameters.belgemahiyet = nature;
    in.rows[0][u"yil"_s] = firstYear;
    in.rows.append(in.rows[0]);
    in.rows[1][u"yil"_s] = secondYear;
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 11);
    QCOMPARE(l.at(3), expected);
}

void TestDeclarationXml::declarationsLine_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("gssType");
    QTest::addColumn<QString>("law");
    QTest::addColumn<QByteArray>("expected");

    const int standard = int(Edition::Standard);
    const int gss = int(Edition::Gss);
    QTest::newRow("one-character type") << standard << u"7"_s << u"25"_s << u"05510"_s
                                        << QByteArray("<BILDIRGELER BELGETURU=\"7 \" "
                                                      "KANUN=\"05510\"> ");
    QTest::newRow("two-character type, five-character law")
        << standard << u"07"_s << u"25"_s << u"05510"_s
        << QByteArray("<BILDIRGELER BELGETURU=\"07\" KANUN=\"05510\"> ");
    QTest::newRow("GSS type") << gss << u"7"_s << u"25"_s << u"05510"_s
                              << QByteArray("<BILDIRGELER BELGETURU=\"25\" KANUN=\"05510\"> ");
    QTest::newRow("GSS type empty, no fallback")
        << gss << u"7"_s << QString() << u"05510"_s
        << "<BILDIRGELER BELGETURU=\"" + blanks(2) + "\" KANUN=\"05510\"> ";
    QTest::newRow("four-character law") << standard << u"07"_s << u"25"_s << u"5510"_s
                                        << QByteArray("<BILDIRGELER BELGETURU=\"07\" "
                                                      "KANUN=\"5510 \"> ");
    QTest::newRow("empty type and law")
        << standard << QString() << u"25"_s << QString()
        << "<BILDIRGELER BELGETURU=\"" + blanks(2) + "\" KANUN=\"" + blanks(5) + "\"> ";
    QTest::newRow("six-character law kept whole")
        << standard << u"07"_s << u"25"_s << u"055100"_s
        << QByteArray("<BILDIRGELER BELGETURU=\"07\" KANUN=\"055100\"> ");
}

void TestDeclarationXml::declarationsLine()
{
    QFETCH(int, edition);
    QFETCH(QString, type);
    QFETCH(QString, gssType);
    QFETCH(QString, law);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.edition = Edition(edition);
    in.parameters.belgeturu = type;
    in.parameters.belgeturuyab = gssType;
    in.parameters.kanunno = law;
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 10);
    QCOMPARE(l.at(4), expected);
}

void TestDeclarationXml::formerSurname_data()
{
    QTest::addColumn<QVariant>("ilksoyadi");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("null") << QVariant() << personLine;
    QTest::newRow("empty") << QVariant(u""_s) << personLine;
    QTest::newRow("blanks only") << QVariant(u"   "_s) << personLine;
    QTest::newRow("blanks and control characters") << QVariant(u" \t\r\n "_s) << personLine;
    const QByteArray head =
        "<SIGORTALI SIRA=\"1\" SIGORTALISICIL=\"111\" TCKNO=\"222\" AD=\"Ali\" SOYAD=\"Kaya\"  ";
    const QByteArray rest = "  PEK=\"886.50\"  GUN=\"30\" />";
    QTest::newRow("given") << QVariant(u"Demir"_s) << head + "ILKSOYAD=\"Demir\"" + rest;
    QTest::newRow("leading blank kept")
        << QVariant(u" Demir"_s) << head + "ILKSOYAD=\" Demir\"" + rest;
    QTest::newRow("trailing blanks kept")
        << QVariant(u"Demir  "_s) << head + "ILKSOYAD=\"Demir  \"" + rest;
}

void TestDeclarationXml::formerSurname()
{
    QFETCH(QVariant, ilksoyadi);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.rows[0][u"ilksoyadi"_s] = ilksoyadi;
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 10);
    QCOMPARE(l.at(6), expected);
}

void TestDeclarationXml::entryAndExitDays_data()
{
    QTest::addColumn<QVariant>("girisgun");
    QTest::addColumn<QVariant>("cikisgun");
    QTest::addColumn<QVariant>("neden");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray head = "<SIGORTALI SIRA=\"1\" SIGORTALISICIL=\"111\" TCKNO=\"222\" AD=\"Ali\" "
                            "SOYAD=\"Kaya\"  PEK=\"886.50\"  GUN=\"30\" ";
    QTest::newRow("neither") << QVariant(u""_s) << QVariant(u""_s) << QVariant(u""_s) << personLine;
    QTest::newRow("neither, null") << QVariant() << QVariant() << QVariant() << personLine;
    QTest::newRow("reason without exit day is not written")
        << QVariant(u""_s) << QVariant(u""_s) << QVariant(u"04"_s) << personLine;
    QTest::newRow("entry only") << QVariant(u"2003"_s) << QVariant(u""_s) << QVariant(u""_s)
                                << head + " GIRISGUN=\"2003\" />";
    QTest::newRow("exit only") << QVariant(u""_s) << QVariant(u"0304"_s) << QVariant(u"04"_s)
                               << head + " CIKISGUN=\"0304\"  ISTENCIKISNEDENI=\"04\" />";
    QTest::newRow("exit with empty reason")
        << QVariant() << QVariant(u"0304"_s) << QVariant(u""_s)
        << head + " CIKISGUN=\"0304\"  ISTENCIKISNEDENI=\"\" />";
    QTest::newRow("exit with null reason") << QVariant() << QVariant(u"0304"_s) << QVariant()
                                           << head + " CIKISGUN=\"0304\"  ISTENCIKISNEDENI=\"\" />";
    QTest::newRow("both") << QVariant(u"2003"_s) << QVariant(u"0304"_s) << QVariant(u"04"_s)
                          << head + " GIRISGUN=\"2003\"  CIKISGUN=\"0304\"  "
                                    "ISTENCIKISNEDENI=\"04\" />";
    QTest::newRow("blank entry day is written")
        << QVariant(u" "_s) << QVariant() << QVariant() << head + " GIRISGUN=\" \" />";
}

void TestDeclarationXml::entryAndExitDays()
{
    QFETCH(QVariant, girisgun);
    QFETCH(QVariant, cikisgun);
    QFETCH(QVariant, neden);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    in.rows[0][u"girisgun"_s] = girisgun;
    in.rows[0][u"cikisgun"_s] = cikisgun;
    in.rows[0][u"istencikisnedeni"_s] = neden;
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 10);
    QCOMPARE(l.at(6), expected);
}

void TestDeclarationXml::lineNumbersFollowTheRows()
{
    DeclarationInput in = oneStudent();
    const ShownRow row = in.rows.first();
    in.rows.clear();
    for (int i = 0; i < 12; ++i) {
        ShownRow r = row;
        r[u"ogrencino"_s] = QString::number(5000 - i); // the order is the rows', not numbers'
        r[u"adi"_s] = u"Ad%1"_s.arg(i);
        in.rows.append(r);
    }
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 9 + 12);
    for (int i = 0; i < 12; ++i) {
        const QByteArray expected = "<SIGORTALI SIRA=\"" + QByteArray::number(i + 1) +
                                    "\" SIGORTALISICIL=\"111\" TCKNO=\"222\" AD=\"Ad" +
                                    QByteArray::number(i) + "\" SOYAD=";
        QVERIFY2(l.at(6 + i).startsWith(expected), l.at(6 + i).constData());
    }
    QCOMPARE(l.at(18), QByteArray("</SIGORTALILAR>"));
}

void TestDeclarationXml::noRows()
{
    DeclarationInput in = oneStudent();
    in.rows.clear();
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 9);
    QCOMPARE(l.at(3), "<BORDRO DONEMAY=\"03\" DONEMYIL=\"" + blanks(4) + "\" BELGEMAHIYET=\"A\"/>");
    QCOMPARE(l.at(5), "<SIGORTALILAR>" + blanks(36));
    QCOMPARE(l.at(6), QByteArray("</SIGORTALILAR>"));
}

void TestDeclarationXml::markupCharactersAreEscaped_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("first name")
        << u"adi"_s << u"Ali & \"Veli\" <Can>"_s << 6
        << QByteArray("<SIGORTALI SIRA=\"1\" SIGORTALISICIL=\"111\" TCKNO=\"222\" "
                      "AD=\"Ali &amp; &quot;Veli&quot; &lt;Can&gt;\" SOYAD=\"Kaya\"  "
                      "PEK=\"886.50\"  GUN=\"30\" />");
    QTest::newRow("former surname of a quote")
        << u"ilksoyadi"_s << u"\""_s << 6
        << QByteArray("<SIGORTALI SIRA=\"1\" SIGORTALISICIL=\"111\" TCKNO=\"222\" AD=\"Ali\" "
                      "SOYAD=\"Kaya\"  ILKSOYAD=\"&quot;\"  PEK=\"886.50\"  GUN=\"30\" />");
    QTest::newRow("workplace name and address")
        << u"birimadi"_s << u"R&D <Lab>"_s << 2
        << "<ISYERI ISYERISICIL=\"1234567890" + blanks(11) +
               "\" KONTROLNO=\"7 \" ISYERIARACINO=\"000\" ISYERIUNVAN=\" R&amp;D &lt;Lab&gt;\" "
               "ISYERIADRES=\" Adres\" ISYERIVERGINO=\" 1234567890" +
               blanks(4) + "\"/>";
    // Filled first: the reader gets back the value and 17 blanks, 21 characters.
    QTest::newRow("filled workplace number")
        << u"isyerisicil"_s << u"12&4"_s << 2
        << "<ISYERI ISYERISICIL=\"12&amp;4" + blanks(17) +
               "\" KONTROLNO=\"7 \" ISYERIARACINO=\"000\" ISYERIUNVAN=\" Birim\" "
               "ISYERIADRES=\" Adres\" ISYERIVERGINO=\" 1234567890" +
               blanks(4) + "\"/>";
    QTest::newRow("law number") << u"kanunno"_s << u"<5>"_s << 4
                                << QByteArray("<BILDIRGELER BELGETURU=\"7 \" "
                                              "KANUN=\"&lt;5&gt;  \"> ");
    QTest::newRow("tab, carriage return and line feed as references")
        << u"adi"_s << u"Ali\tVeli\r\nCan"_s << 6
        << QByteArray(
               "<SIGORTALI SIRA=\"1\" SIGORTALISICIL=\"111\" TCKNO=\"222\" "
               "AD=\"Ali&#9;Veli&#13;&#10;Can\" SOYAD=\"Kaya\"  PEK=\"886.50\"  GUN=\"30\" />");
    QTest::newRow("apostrophe is left alone")
        << u"soyadi"_s << u"O'Neil"_s << 6
        << QByteArray("<SIGORTALI SIRA=\"1\" SIGORTALISICIL=\"111\" TCKNO=\"222\" AD=\"Ali\" "
                      "SOYAD=\"O'Neil\"  PEK=\"886.50\"  GUN=\"30\" />");
}

void TestDeclarationXml::markupCharactersAreEscaped()
{
    QFETCH(QString, where);
    QFETCH(QString, value);
    QFETCH(int, line);
    QFETCH(QByteArray, expected);
    DeclarationInput in = oneStudent();
    if (where == u"birimadi") {
        in.workplace.birimadi = value;
    } else if (where == u"isyerisicil") {
        in.workplace.isyerisicil = value;
    } else if (where == u"kanunno") {
        in.parameters.kanunno = value;
    } else {
        in.rows[0][where] = value;
    }
    const QList<QByteArray> l = lines(build(in));
    QCOMPARE(l.size(), 10);
    QCOMPARE(l.at(line), expected);
}

namespace {

struct LintResult {
    int exitCode = -1;
    QByteArray out;
};

LintResult xmllint(const QStringList& arguments)
{
    QProcess p;
    p.start(u"xmllint"_s, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    QByteArray out = p.readAllStandardOutput();
    if (out.endsWith('\n')) {
        out.chop(1); // xmllint ends what it prints with a line feed
    }
    return {p.exitCode(), out};
}

QString saved(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", name);
    }
    return path;
}

} // namespace

void TestDeclarationXml::escapedFileIsWellFormed()
{
    if (QStandardPaths::findExecutable(u"xmllint"_s).isEmpty()) {
        QSKIP("xmllint is not installed");
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    // The checker does catch what escaping prevents: a bare ampersand in a value.
    QByteArray broken = sample::golden("xml-march.xml");
    broken.replace("AD=\"Ay\xfe"
                   "e\"",
                   "AD=\"Ali & Veli\"");
    QVERIFY(broken.contains("Ali & Veli"));
    QVERIFY(xmllint({u"--noout"_s, saved(dir, "broken.xml", broken)}).exitCode > 0);

    DeclarationInput in = sample::marchInput();
    in.workplace.birimadi = u"Ar-Ge & Eğitim <Merkez>"_s;
    in.workplace.isyerisicil = u"12&4"_s;
    in.rows[0][u"adi"_s] = u"Ali & \"Veli\""_s;
    in.rows[1][u"ilksoyadi"_s] = u"<Şahin>"_s;
    in.rows[1][u"soyadi"_s] = u"Öz\ttürk\r\n"_s;
    const FileBytes file = buildDeclarationXml(in);
    QVERIFY2(file.ok(), qPrintable(file.error));
    const QString path = saved(dir, "escaped.xml", file.bytes);
    QCOMPARE(xmllint({u"--noout"_s, path}).exitCode, 0);

    // The reader gets the values back as they were (xmllint prints them in UTF-8).
    const LintResult name = xmllint({u"--xpath"_s, u"string(//SIGORTALI[1]/@AD)"_s, path});
    QCOMPARE(name.exitCode, 0);
    QCOMPARE(QString::fromUtf8(name.out), u"Ali & \"Veli\""_s);
    const LintResult former = xmllint({u"--xpath"_s, u"string(//SIGORTALI[2]/@ILKSOYAD)"_s, path});
    QCOMPARE(QString::fromUtf8(former.out), u"<Şahin>"_s);
    const LintResult surname = xmllint({u"--xpath"_s, u"string(//SIGORTALI[2]/@SOYAD)"_s, path});
    QCOMPARE(QString::fromUtf8(surname.out), u"Öz\ttürk\r\n"_s);
    const LintResult title = xmllint({u"--xpath"_s, u"string(//ISYERI/@ISYERIUNVAN)"_s, path});
    QCOMPARE(QString::fromUtf8(title.out), u" Ar-Ge & Eğitim <Merkez>"_s);
    const LintResult number = xmllint({u"--xpath"_s, u"string(//ISYERI/@ISYERISICIL)"_s, path});
    QCOMPARE(QString::fromUtf8(number.out), u"12&4"_s + QString(17, u' '));
}

void TestDeclarationXml::exampleFileIsWellFormed()
{
    if (QStandardPaths::findExecutable(u"xmllint"_s).isEmpty()) {
        QSKIP("xmllint is not installed");
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const FileBytes file = buildDeclarationXml(sample::marchInput());
    QVERIFY2(file.ok(), qPrintable(file.error));
    const QString path = saved(dir, "example.xml", file.bytes);
    QCOMPARE(xmllint({u"--noout"_s, path}).exitCode, 0);
    // The declared encoding is honoured: the Turkish letters come back.
    const LintResult title = xmllint({u"--xpath"_s, u"string(//SIGORTALI[2]/@AD)"_s, path});
    QCOMPARE(QString::fromUtf8(title.out), u"Çağrı"_s);
}

void TestDeclarationXml::valueOutsideCodePage_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("mentioned");

    QTest::newRow("first name") << u"adi"_s << u"Łukasz"_s
                                << QStringList{u"2. satır"_s, u"20081002 Łukasz Öztürk"_s,
                                               u"\"adi\""_s, u"Ł (U+0141)"_s};
    QTest::newRow("surname with an emoji")
        << u"soyadi"_s << u"Öztürk 😀"_s
        << QStringList{u"20081002 Çağrı Öztürk 😀"_s, u"\"soyadi\""_s, u"(U+1F600)"_s};
    QTest::newRow("former surname") << u"ilksoyadi"_s << u"Ślęzak"_s
                                    << QStringList{u"\"ilksoyadi\""_s, u"Ś (U+015A), ę (U+0119)"_s};
    QTest::newRow("premium base with a lone surrogate")
        << u"sil1"_s << u"443.25"_s + QChar(0xD800) << QStringList{u"\"sil1\""_s, u"(U+D800)"_s};
    QTest::newRow("workplace name") << u"birimadi"_s << u"Ośrodek"_s
                                    << QStringList{u"İşyeri"_s, u"\"birimadi\""_s, u"ś (U+015B)"_s};
    QTest::newRow("law number") << u"kanunno"_s << u"0551５"_s
                                << QStringList{u"Parametre"_s, u"\"kanunno\""_s, u"(U+FF15)"_s};
    // Control characters other than tab, CR and LF; a C1 control too.
    QTest::newRow("bell in a first name")
        << u"adi"_s << u"Ça\u0007ğrı"_s
        << QStringList{u"2. satır"_s, u"\"adi\""_s, u"kontrol karakteri"_s, u"(U+0007)"_s};
    QTest::newRow("C1 control in an address")
        << u"isyeriadres"_s << u"Adres\u0085"_s
        << QStringList{u"İşyeri"_s, u"\"isyeriadres\""_s, u"kontrol karakteri"_s, u"(U+0085)"_s};
    // Windows-1254 keeps these at 0x80-0x9F, where the declared ISO-8859-9 has controls.
    QTest::newRow("typographic apostrophe")
        << u"soyadi"_s << u"O’Neil"_s
        << QStringList{u"\"soyadi\""_s, u"ISO-8859-9"_s, u"’ (U+2019)"_s};
    QTest::newRow("euro sign in the workplace name")
        << u"birimadi"_s << u"Birim €"_s << QStringList{u"\"birimadi\""_s, u"€ (U+20AC)"_s};
}

void TestDeclarationXml::valueOutsideCodePage()
{
    QFETCH(QString, where);
    QFETCH(QString, value);
    QFETCH(QStringList, mentioned);
    DeclarationInput in = sample::marchInput();
    if (where == u"birimadi") {
        in.workplace.birimadi = value;
    } else if (where == u"isyeriadres") {
        in.workplace.isyeriadres = value;
    } else if (where == u"kanunno") {
        in.parameters.kanunno = value;
    } else {
        in.rows[1][where] = value;
    }
    const FileBytes file = buildDeclarationXml(in);
    QVERIFY(!file.ok());
    QVERIFY(file.bytes.isEmpty());
    QVERIFY2(file.error.startsWith(u"Dosya yazılmadı."_s), qPrintable(file.error));
    for (const QString& part : mentioned) {
        QVERIFY2(file.error.contains(part), qPrintable(file.error + u" / "_s + part));
    }
}

void TestDeclarationXml::valueOutsideCodePageWritesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DeclarationInput in = sample::marchInput();
    in.rows[1][u"adi"_s] = u"Łukasz"_s;

    // No file where there was none.
    const QString fresh = dir.filePath(u"12-xml-03.xml"_s);
    QVERIFY(!writeDeclarationXml(fresh, in).isEmpty());
    QVERIFY(!QFile::exists(fresh));

    // An earlier file stays as it was.
    const QString earlier = dir.filePath(u"earlier.xml"_s);
    {
        QFile f(earlier);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier file\r\n");
    }
    QVERIFY(!writeDeclarationXml(earlier, in).isEmpty());
    QFile f(earlier);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier file\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"earlier.xml"_s});
}

void TestDeclarationXml::missingColumn()
{
    DeclarationInput in = sample::marchInput();
    in.rows[1].remove(u"sil1"_s);
    const FileBytes file = buildDeclarationXml(in);
    QVERIFY(!file.ok());
    QVERIFY(file.bytes.isEmpty());
    QVERIFY2(file.error.contains(u"2. satır"_s), qPrintable(file.error));
    QVERIFY2(file.error.contains(u"\"sil1\""_s), qPrintable(file.error));

    // The file does not need the internship place.
    in = sample::marchInput();
    in.rows[1].remove(u"stajyeri"_s);
    QVERIFY(buildDeclarationXml(in).ok());
}

void TestDeclarationXml::monthOutOfRange_data()
{
    QTest::addColumn<int>("month");
    QTest::newRow("0") << 0;
    QTest::newRow("13") << 13;
    QTest::newRow("-3") << -3;
}

void TestDeclarationXml::monthOutOfRange()
{
    QFETCH(int, month);
    DeclarationInput in = sample::marchInput();
    in.month = month;
    const FileBytes file = buildDeclarationXml(in);
    QVERIFY(!file.ok());
    QVERIFY(file.bytes.isEmpty());
    QVERIFY2(file.error.contains(QString::number(month)), qPrintable(file.error));
}

void TestDeclarationXml::writtenToDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"12-xml-03.xml"_s);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("an older and much longer file that must be replaced entirely\r\n");
    }
    QCOMPARE(writeDeclarationXml(path, sample::marchInput()), QString());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), sample::golden("xml-march.xml"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"12-xml-03.xml"_s});
}

QTEST_GUILESS_MAIN(TestDeclarationXml)
#include "tst_declarationxml.moc"
