// The declaration check's rules on plain rows: a clean month passes, each fault is found once
// with its reason, all faults of one month are found together (errors before warnings), and the
// edges of the identity number, the period days and the minimum wage.
#include "declaration/declarationcheck.h"
#include "declaration/declarationxml.h"
#include "sampledata.h"

#include <QTest>

using namespace zelvo;

using namespace zelvo::declaration;
using namespace Qt::StringLiterals;

namespace {

const qint64 wage = 3303000; // 33030.00 a month, in kuruş

// A valid identity number made from nine digits by the published rule, computed here apart
// from the code under test.
QString identity(int n)
{
    QString d = QString::number(100000000 + n * 7919);
    const auto at = [&](int i) { return d.at(i).digitValue(); };
    const int tenth =
        (((at(0) + at(2) + at(4) + at(6) + at(8)) * 7 - (at(1) + at(3) + at(5) + at(7))) % 10 +
         10) %
        10;
    d += QString::number(tenth);
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += at(i);
    return d + QString::number(sum % 10);
}

ShownRow student(int n)
{
    ShownRow row = sample::student(QString::number(2022101000 + n), u"Ayşe"_s, u"Yılmaz"_s);
    row[u"tckimlikno"_s] = identity(n);
    row[u"sil1"_s] = u"33030.00"_s;
    row[u"pek"_s] = u"33030"_s;
    row[u"bitistarihi"_s] = u"2026-06-30"_s;
    return row;
}

QVariantHash workplaceRow()
{
    return {{u"birimadi"_s, u"Kuzey Yıldızı Üniversitesi Mühendislik Fakültesi"_s},
            {u"isyerisicil"_s, u"285420101123456700601"_s},
            {u"kontrolno"_s, u"12"_s},
            {u"isyeriaracino"_s, u"000"_s},
            {u"isyeriadres"_s, u"Cumhuriyet Mah. Çankaya/ANKARA"_s},
            {u"isyerivergino"_s, u"1234567890"_s}};
}

QVariantHash parameterRow()
{
    return {{u"belgemahiyet"_s, u"A"_s},
            {u"belgeturu"_s, u"22"_s},
            {u"belgeturuyab"_s, u"43"_s},
            {u"kanunno"_s, u"00000"_s}};
}

// A March 2026 shaped like the demonstration month: full months, then one who starts and one who
// leaves inside the period 15 March - 14 April, and one with a former surname.
DeclarationInput cleanMonth(int rows = 5)
{
    DeclarationInput in;
    in.workplace = WorkplaceRecord::fromHash(workplaceRow());
    in.parameters = ParameterRecord::fromHash(parameterRow());
    in.month = 3;
    in.yearText = u"2026"_s;
    for (int n = 1; n <= rows; ++n)
        in.rows.append(student(n));
    if (rows >= 5) {
        in.rows[2][u"girisgun"_s] = u"2003"_s;
        in.rows[2][u"gun"_s] = 26;
        in.rows[2][u"sil1"_s] = u"28626.00"_s;
        in.rows[3][u"cikisgun"_s] = u"1404"_s;
        in.rows[3][u"istencikisnedeni"_s] = u"22"_s;
        in.rows[4][u"ilksoyadi"_s] = u"Güneş"_s;
    }
    return in;
}

// A fault: "column=value" changes separated by ";" (a column of the second shown row, or of
// the workplace or parameter row with the prefix "isyeri." or "parametre."), what is found and
// the exact reason.
struct Fault {
    const char* tag;
    QString changes;
    Severity severity;
    QString field;
    QString reason;
};

const QString period = u"15.03.2026 - 14.04.2026"_s;

QList<Fault> faults()
{
    const auto E = Severity::Error;
    const auto W = Severity::Warning;
    const QString twice = u"tckimlikno="_s + identity(1);
    // clang-format off
    return {
        {"identity length", u"tckimlikno=1234"_s, E, u"T.C. Kimlik No"_s, u"T.C. Kimlik No 11 haneli olmalı (\"1234\")"_s},
        {"identity empty", u"tckimlikno="_s, E, u"T.C. Kimlik No"_s, u"T.C. Kimlik No boş"_s},
        {"identity first 0", u"tckimlikno=01234567890"_s, E, u"T.C. Kimlik No"_s, u"T.C. Kimlik No 0 ile başlayamaz (\"01234567890\")"_s},
        {"identity check digit", u"tckimlikno=25881399815"_s, E, u"T.C. Kimlik No"_s, u"T.C. Kimlik No doğrulama haneleri tutmuyor (\"25881399815\")"_s},
        {"identity twice", twice, E, u"T.C. Kimlik No"_s, u"T.C. Kimlik No bu ayda iki kez var (\"%1\", 1. satırda da)"_s.arg(identity(1))},
        {"first name blank", u"adi=  "_s, E, u"Adı"_s, u"Adı boş"_s},
        {"surname empty", u"soyadi="_s, E, u"Soyadı"_s, u"Soyadı boş"_s},
        {"outside 1254", u"adi=Ayśe"_s, E, u"Adı"_s, u"Adı (\"Ayśe\") dosyaya yazılamaz: Türkçe Windows karakter kümesinde (1254) bulunmayan karakter içeriyor: ś (U+015B)."_s},
        {"outside ISO-8859-9", u"soyadi=Kaya€"_s, E, u"Soyadı"_s, u"Soyadı (\"Kaya€\") dosyaya yazılamaz: dosyanın bildirdiği ISO-8859-9 karakter kümesinde bulunmayan karakter içeriyor: € (U+20AC)."_s},
        {"control character", u"soyadi=Kaya\a"_s, E, u"Soyadı"_s, u"Soyadı (\"Kaya\uFFFD\") dosyaya yazılamaz: kontrol karakteri içeriyor: (U+0007)."_s},
        {"tab", u"ilksoyadi=Şahin\t"_s, E, u"İlk Soyadı"_s, u"İlk Soyadı (\"Şahin\uFFFD\") kontrol karakteri içeriyor: (U+0009)."_s},
        {"days 31", u"gun=31"_s, E, u"Gün"_s, u"Gün 0 ile 30 arasında tam sayı olmalı (\"31\")"_s},
        {"days not whole", u"gun=12.5"_s, E, u"Gün"_s, u"Gün 0 ile 30 arasında tam sayı olmalı (\"12.5\")"_s},
        {"base missing", u"sil1=.00"_s, E, u"PEK"_s, u"PEK boş (\".00\")"_s},
        {"base one decimal", u"sil1=33030.5"_s, E, u"PEK"_s, u"PEK iki ondalıklı sayı olmalı (\"33030.5\")"_s},
        {"base negative", u"sil1=-5.00"_s, E, u"PEK"_s, u"PEK eksi olamaz (\"-5.00\")"_s},
        {"base 0 with days", u"sil1=0.00"_s, E, u"PEK"_s, u"Gün 30 iken PEK 0 olamaz (\"0.00\")"_s},
        {"exit without reason", u"cikisgun=0304"_s, E, u"İşten Çıkış Nedeni"_s, u"Çıkış günü (\"0304\") var ama işten çıkış nedeni boş"_s},
        {"entry before period", u"girisgun=1403"_s, E, u"Giriş Günü"_s, u"Giriş Günü (\"1403\") dönemin (%1) bir günü değil"_s.arg(period)},
        {"exit no such day", u"cikisgun=3104;istencikisnedeni=22"_s, E, u"Çıkış Günü"_s, u"Çıkış Günü (\"3104\") dönemin (%1) bir günü değil"_s.arg(period)},
        {"workplace number", u"isyeri.isyerisicil=2854201011234567006"_s, E, u"İşyeri Sicil No"_s, u"İşyeri Sicil No boşluklar atılınca 21 haneli olmalı (\"2854201011234567006\")"_s},
        {"control number", u"isyeri.kontrolno=7"_s, E, u"Kontrol No"_s, u"Kontrol No 2 haneli olmalı (\"7\")"_s},
        {"subcontractor", u"isyeri.isyeriaracino="_s, E, u"Alt İşveren No"_s, u"Alt İşveren No 3 haneli olmalı (\"\")"_s},
        {"tax number", u"isyeri.isyerivergino=123456789"_s, E, u"Vergi No"_s, u"Vergi No 10 ya da 11 haneli olmalı (\"123456789\")"_s},
        {"document type", u"parametre.belgeturu=7"_s, E, u"Belge Türü"_s, u"Belge Türü 2 haneli olmalı (\"7\")"_s},
        {"law number", u"parametre.kanunno=5510"_s, E, u"Kanun No"_s, u"Kanun No 5 haneli olmalı (\"5510\")"_s},
        {"document nature", u"parametre.belgemahiyet=AE"_s, E, u"Belge Mahiyeti"_s, u"Belge Mahiyeti tek harf olmalı (\"AE\")"_s},
        {"base below wage", u"sil1=800.00"_s, W, u"PEK"_s, u"PEK (\"800.00\") asgari ücretin 30 günlük tutarından (33030.00) düşük"_s},
        {"no days", u"gun=0;sil1=0.00"_s, W, u"Gün"_s, u"Gün 0: öğrenci bu ayın listesinde ama hiç günü yok"_s},
        {"ended before period", u"bitistarihi=2026-03-10"_s, W, u"Staj Bitişi"_s, u"Staj dönem başlamadan bitmiş (bitiş 10.03.2026, dönem %1)"_s.arg(period)},
    };
    // clang-format on
}

bool onShownRow(const Fault& fault)
{
    return !fault.changes.startsWith(u"isyeri."_s) && !fault.changes.startsWith(u"parametre."_s);
}

// Applies a fault to shown row `row` (1 = first), or to the workplace or parameter row.
void apply(DeclarationInput& in, const Fault& fault, int row)
{
    QVariantHash workplace = {{u"birimadi"_s, in.workplace.birimadi},
                              {u"isyerisicil"_s, in.workplace.isyerisicil},
                              {u"kontrolno"_s, in.workplace.kontrolno},
                              {u"isyeriaracino"_s, in.workplace.isyeriaracino},
                              {u"isyeriadres"_s, in.workplace.isyeriadres},
                              {u"isyerivergino"_s, in.workplace.isyerivergino}};
    QVariantHash parameters = {{u"belgemahiyet"_s, in.parameters.belgemahiyet},
                               {u"belgeturu"_s, in.parameters.belgeturu},
                               {u"belgeturuyab"_s, in.parameters.belgeturuyab},
                               {u"kanunno"_s, in.parameters.kanunno}};
    for (const QString& change : fault.changes.split(u';')) {
        const QString column = change.section(u'=', 0, 0);
        const QString value = change.section(u'=', 1);
        if (column.startsWith(u"isyeri."_s))
            workplace[column.mid(7)] = value;
        else if (column.startsWith(u"parametre."_s))
            parameters[column.mid(10)] = value;
        else
            in.rows[row - 1][column] = value;
    }
    in.workplace = WorkplaceRecord::fromHash(workplace);
    in.parameters = ParameterRecord::fromHash(parameters);
}

QString describe(const QList<Finding>& findings)
{
    QStringList lines;
    for (const Finding& f : findings)
        lines << u"%1 %2 %3: %4"_s.arg(f.severity == Severity::Error ? u"E"_s : u"W"_s)
                     .arg(f.row)
                     .arg(f.field, f.reason);
    return lines.join(u'\n');
}

} // namespace

class TestDeclarationCheck : public QObject {
    Q_OBJECT

private slots:
    void cleanMonthPasses_data()
    {
        QTest::addColumn<int>("edition");
        QTest::newRow("standard") << int(Edition::Standard);
        QTest::newRow("GSS") << int(Edition::Gss);
    }
    void cleanMonthPasses()
    {
        QFETCH(int, edition);
        DeclarationInput in = cleanMonth();
        in.edition = Edition(edition);
        // the edition's own document type is the one written and checked
        (in.edition == Edition::Gss ? in.parameters.belgeturu : in.parameters.belgeturuyab) =
            u"7"_s;
        // a workplace number written with blanks is 21 digits without them
        in.workplace.isyerisicil = u"2 8542 01 01 1234567 006 01"_s;
        const CheckResult result = checkDeclaration(in, {wage, {}});
        QVERIFY2(result.passed(), qPrintable(describe(result.findings)));
        QCOMPARE(result.rowsChecked, 5);
        QCOMPARE(result.summary(), u"0 hata, 0 uyarı"_s);
        QVERIFY(buildDeclarationXml(in).ok());
    }

    void eachFaultOnce_data()
    {
        QTest::addColumn<int>("index");
        const QList<Fault> all = faults();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all.at(i).tag) << i;
    }
    void eachFaultOnce()
    {
        QFETCH(int, index);
        const Fault fault = faults().at(index);
        DeclarationInput in = cleanMonth();
        apply(in, fault, 2);
        const CheckResult result = checkDeclaration(in, {wage, {}});
        const int row = onShownRow(fault) ? 2 : 0;
        QCOMPARE(describe(result.findings),
                 describe({{fault.severity, row, {}, {}, fault.field, {}, fault.reason}}));
        const Finding& found = result.findings.first();
        QCOMPARE(found.studentNumber, row > 0 ? u"2022101002"_s : QString());
        for (QChar c : found.value + found.name) // nothing invisible reaches the printed line
            QVERIFY(c.unicode() >= 0x20);
        QCOMPARE(result.errorCount(), fault.severity == Severity::Error ? 1 : 0);
        // what the reason calls unwritable, the writer refuses as well
        QCOMPARE(buildDeclarationXml(in).ok(), !fault.reason.contains(u"yazılamaz"_s));
    }

    // One month holding every fault on its own row: each found exactly once, errors first.
    void allFaultsOfOneMonth()
    {
        const QList<Fault> all = faults();
        DeclarationInput in = cleanMonth(int(all.size()) + 1);
        QStringList expected;
        for (int i = 0; i < all.size(); ++i) {
            const int row = i + 2; // row 1 stays clean: its identity number is reused
            apply(in, all.at(i), row);
            const int shownRow = onShownRow(all.at(i)) ? row : 0;
            expected << describe(
                {{all.at(i).severity, shownRow, {}, {}, all.at(i).field, {}, all.at(i).reason}});
        }
        const CheckResult result = checkDeclaration(in, {wage, {}});
        QStringList found = describe(result.findings).split(u'\n');
        QCOMPARE(found.size(), all.size());
        // errors first, each group in row order
        for (int i = 1; i < result.findings.size(); ++i) {
            const Finding& a = result.findings.at(i - 1);
            const Finding& b = result.findings.at(i);
            QVERIFY(a.severity < b.severity || (a.severity == b.severity && a.row <= b.row));
        }
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        QCOMPARE(result.summary(), u"%1 hata, 3 uyarı"_s.arg(all.size() - 3));
    }

    // Entry days against the period of the month and year, December reaching into January.
    void periodDays_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("day");
        QTest::addColumn<bool>("inside");
        QTest::newRow("first day") << 3 << "2026"
                                   << "1503" << true;
        QTest::newRow("last day") << 3 << "2026"
                                  << "1404" << true;
        QTest::newRow("day after") << 3 << "2026"
                                   << "1504" << false;
        QTest::newRow("December, January") << 12 << "2026"
                                           << "1001" << true;
        QTest::newRow("December, after") << 12 << "2026"
                                         << "1501" << false;
        QTest::newRow("leap day") << 2 << "2024"
                                  << "2902" << true;
        QTest::newRow("no leap day") << 2 << "2026"
                                     << "2902" << false;
        QTest::newRow("three digits") << 3 << "2026"
                                      << "203" << false;
    }
    void periodDays()
    {
        QFETCH(int, month);
        QFETCH(QString, year);
        QFETCH(QString, day);
        QFETCH(bool, inside);
        DeclarationInput in = cleanMonth(1);
        in.month = month;
        in.yearText = year;
        in.rows[0][u"girisgun"_s] = day;
        in.rows[0][u"bitistarihi"_s] = QVariant(); // no end yet
        const CheckResult result = checkDeclaration(in, {wage, wage});
        QCOMPARE(result.passed(), inside);
        if (!inside)
            QCOMPARE(result.findings.first().field, u"Giriş Günü"_s);
    }

    // Within a kuruş of the wage's share is no warning; December compares with the lower wage.
    void minimumWage_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<qint64>("monthWage");
        QTest::addColumn<qint64>("januaryWage");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("warning"); // the findings, empty: none
        const QString below =
            u"W 1 PEK: PEK (\"%1\") asgari ücretin %2 günlük tutarından (%3) düşük"_s;
        QTest::newRow("exact") << 3 << wage << qint64(0) << 19 << "20919.00"
                               << "";
        QTest::newRow("a kuruş below") << 3 << wage << qint64(0) << 19 << "20918.99"
                                       << "";
        QTest::newRow("two kuruş below") << 3 << wage << qint64(0) << 19 << "20918.98"
                                         << below.arg(u"20918.98"_s, u"19"_s, u"20919.00"_s);
        // 33030.15 x 19 / 30 = 20919.095, stored as 20919.10
        QTest::newRow("half kuruş") << 3 << qint64(3303015) << qint64(0) << 19 << "20919.09"
                                    << "";
        // a January wage below December's is also said once, for the whole file
        const QString lowJanuary =
            u"W 0 Asgari Ücret: Ocak asgari ücreti (au01 = 30,000.00) Aralık asgari ücretinden "
            "(au12 = 33,030.00) düşük; yeni yılın Ocak ücreti henüz girilmemiş olabilir."_s;
        QTest::newRow("December, January's lower wage")
            << 12 << wage << qint64(3000000) << 30 << "30000.00" << lowJanuary;
        QTest::newRow("December, below both")
            << 12 << wage << qint64(3000000) << 30 << "29000.00"
            << lowJanuary + u'\n' + below.arg(u"29000.00"_s, u"30"_s, u"30000.00"_s);
    }
    void minimumWage()
    {
        QFETCH(int, month);
        QFETCH(qint64, monthWage);
        QFETCH(qint64, januaryWage);
        QFETCH(int, days);
        QFETCH(QString, base);
        QFETCH(QString, warning);
        DeclarationInput in = cleanMonth(1);
        in.month = month;
        in.rows[0][u"gun"_s] = days;
        in.rows[0][u"sil1"_s] = base;
        in.rows[0][u"bitistarihi"_s] = QVariant();
        const MinimumWage w{monthWage, month == 12 ? std::optional(januaryWage) : std::nullopt};
        const CheckResult result = checkDeclaration(in, w);
        QCOMPARE(describe(result.findings), warning);
    }

    void missingWageAndColumn()
    {
        DeclarationInput in = cleanMonth(2);
        in.rows[1].remove(u"sil1"_s);
        const CheckResult result = checkDeclaration(in, {{}, {}});
        QCOMPARE(describe(result.findings),
                 u"E 2 sil1: \"sil1\" sütunu yok; dosya yazılamaz\n"
                 "W 0 Asgari Ücret: Ayın asgari ücreti (au03) temel parametrelerde yok; PEK "
                 "karşılaştırılmadı"_s);
        QVERIFY(!buildDeclarationXml(in).ok());
    }
};

QTEST_APPLESS_MAIN(TestDeclarationCheck)
#include "tst_declarationcheck.moc"
