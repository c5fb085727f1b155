#include "report/render.h"
#include "report/templates.h"
#include "reporttestsupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zelvo;

using namespace Qt::StringLiterals;
using report::PreparedItem;
using report::PreparedReport;
using report::ReportData;
using report::Template;

namespace {

// A5 portrait, 10 mm margins: 128 x 190 mm to fill. The first page holds title, page header
// and column header (36 mm); later pages only the headers (16 mm); the footer takes 10 mm.
const QString kTemplate =
    uR"(report name="Deneme" page=A5 margins=10 font="DejaVu Sans" size=8 locale=tr_TR
band title height=20
  text x=0 w=128 h=10 bold "LİSTE BAŞLIĞI [isyeri.birimadi]"
  text x=0 y=10 w=128 h=10 "Sicil: [isyeri.isyerisicil] Yıl: [parametre.aktifyil] Ay: [ayadi]"
band pageheader height=8
  text x=0 w=128 "Üst bilgi [monthname(ay)] [yil]"
band columnheader height=8
  text x=0 w=40 frame "Öğrenci No"
  text x=40 w=50 frame "Adı Soyadı"
  text x=90 w=38 frame align=right "Matrah"
band detail height=10
  text x=0 w=40 "[ogrencino]"
  text x=40 w=50 "[ADI] [soyadi]"
  text x=90 w=38 align=right format="##,##0.00 " "[kazanc]"
band summary height=30
  text x=0 w=90 h=10 "GENEL TOPLAM [count()]"
  text x=90 w=38 h=10 align=right "[sum(kazanc):##,##0.00]"
  text x=0 y=10 w=128 h=10 "Gün toplamı [sum(gun)]"
band pagefooter height=10
  text x=0 w=60 "Sayfa [page] / [pages]"
  text x=60 w=68 align=right "Sayfa toplamı [pagesum(kazanc):##,##0.00]"
)"_s;

// Amounts in the forms a database delivers, with their exact kuruş.
const QList<std::pair<QVariant, qint64>> kAmounts = {{QVariant(u"1234.55"_s), 123455},
                                                     {QVariant(0.1), 10},
                                                     {QVariant(7), 700},
                                                     {QVariant(u"0.05"_s), 5},
                                                     {QVariant(19.99), 1999},
                                                     {QVariant(u"80000"_s), 8000000},
                                                     {QVariant(0.7), 70},
                                                     {QVariant(qint64(12)), 1200}};

QString studentNo(int i)
{
    return u"S%1"_s.arg(i, 5, 10, QLatin1Char('0'));
}

ReportData rows(int count, qint64* totalKurus = nullptr, int* totalDays = nullptr)
{
    QList<QVariantHash> list;
    qint64 kurus = 0;
    int days = 0;
    for (int i = 0; i < count; ++i) {
        const auto& [amount, k] = kAmounts[i % kAmounts.size()];
        // Column names in mixed case: matched without regard to case.
        list.append({{u"OgrenciNo"_s, studentNo(i)},
                     {u"adi"_s, u"Ad%1"_s.arg(i)},
                     {u"soyadi"_s, u"Soyad"_s},
                     {u"kazanc"_s, amount},
                     {u"gun"_s, i % 30 + 1},
                     {u"yil"_s, u"2024"_s},
                     {u"ay"_s, 3}});
        kurus += k;
        days += i % 30 + 1;
    }
    if (totalKurus)
        *totalKurus = kurus;
    if (totalDays)
        *totalDays = days;
    ReportData data = ReportData::fromRows(list);
    data.setRecords(
        {{u"isyeri"_s, {{u"BirimAdi"_s, u"Meslek Yüksekokulu"_s}, {u"isyerisicil"_s, u"2 8599"_s}}},
         {u"parametre"_s, {{u"aktifyil"_s, u"2024"_s}}}});
    data.setVariable(u"AyAdi"_s, u"Mart"_s);
    return data;
}

PreparedReport renderOrFail(const QString& templateText, const ReportData& data)
{
    const auto tmpl = Template::parse(templateText, u"deneme.frf"_s);
    if (!tmpl)
        qFatal("%s", qPrintable(tmpl.error().toString()));
    const auto prepared = report::render(*tmpl, data);
    if (!prepared)
        qFatal("%s", qPrintable(prepared.error().toString()));
    return *prepared;
}

// The page where a text starting with `prefix` stands, -1 when none.
int pageOf(const PreparedReport& r, const QString& prefix)
{
    for (int p = 0; p < r.pageCount(); ++p) {
        for (const QString& t : r.pageTexts(p)) {
            if (t.startsWith(prefix))
                return p;
        }
    }
    return -1;
}

QString textStarting(const PreparedReport& r, int page, const QString& prefix)
{
    for (const QString& t : r.pageTexts(page)) {
        if (t.startsWith(prefix))
            return t;
    }
    return {};
}

} // namespace

class TestReportLayout : public QObject {
    Q_OBJECT
private slots:
    void rowsFlowOverPagesWithHeadersOnEveryPage();
    void nothingOverlapsThePageFooter();
    void summaryStaysOrMovesToANewPage_data();
    void summaryStaysOrMovesToANewPage();
    void summaryTakesItsLastRowsAlong();
    void totalsAreExactSums();
    void pdfShowsHeaderOnEveryPageAndTheRightTotal();
    void recordsAndVariablesArePrinted();
    void emptyDataGivesOnePage();
    void unknownNamesAreReportedWithTheirPosition_data();
    void unknownNamesAreReportedWithTheirPosition();
    void bundledListsPrintTheListRows();
};

void TestReportLayout::rowsFlowOverPagesWithHeadersOnEveryPage()
{
    const int count = 40;
    const PreparedReport r = renderOrFail(kTemplate, rows(count));
    QVERIFY(r.pageCount() >= 3); // 10 mm rows: at most 14 + 16 fit on two pages
    QCOMPARE(r.pageSizeMm().toSize(), QSize(148, 210));
    int next = 0;
    for (int p = 0; p < r.pageCount(); ++p) {
        const QStringList texts = r.pageTexts(p);
        QCOMPARE(texts.count(u"Öğrenci No"_s), 1);
        QVERIFY(texts.contains(u"Üst bilgi Mart 2024"_s));
        QCOMPARE(texts.contains(u"LİSTE BAŞLIĞI Meslek Yüksekokulu"_s), p == 0);
        QVERIFY(texts.contains(u"Sayfa %1 / %2"_s.arg(p + 1).arg(r.pageCount())));
        // Rows in order, each once, continuing where the previous page stopped.
        for (const QString& t : texts) {
            if (t.startsWith(u'S') && t.size() == 6) {
                QCOMPARE(t, studentNo(next));
                ++next;
            }
        }
    }
    QCOMPARE(next, count);
}

void TestReportLayout::nothingOverlapsThePageFooter()
{
    const PreparedReport r = renderOrFail(kTemplate, rows(75));
    const QRectF page(QPointF(0, 0), r.pageSizeMm());
    for (int p = 0; p < r.pageCount(); ++p) {
        const QList<PreparedItem>& items = r.pages()[p].items;
        double footerTop = 1e9;
        for (const PreparedItem& it : items) {
            if (it.text.startsWith(u"Sayfa "_s))
                footerTop = it.rect.top();
        }
        QVERIFY(footerTop < 1e9);
        QCOMPARE(footerTop, 190.0); // bottom margin 10, footer 10
        for (const PreparedItem& it : items) {
            QVERIFY(page.contains(it.rect));
            if (it.rect.top() < footerTop - 0.001)
                QVERIFY2(it.rect.bottom() <= footerTop + 0.001, qPrintable(it.text));
        }
    }
}

void TestReportLayout::summaryStaysOrMovesToANewPage_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("moves");
    QTest::newRow("room left") << 25 << false;
    QTest::newRow("last page full") << 30 << true; // 14 + 16 rows fill two pages exactly
}

void TestReportLayout::summaryStaysOrMovesToANewPage()
{
    QFETCH(int, count);
    QFETCH(bool, moves);
    const PreparedReport r = renderOrFail(kTemplate, rows(count));
    const int summaryPage = pageOf(r, u"GENEL TOPLAM"_s);
    const int lastRowPage = pageOf(r, studentNo(count - 1));
    QCOMPARE(summaryPage, r.pageCount() - 1);
    QCOMPARE(summaryPage, moves ? lastRowPage + 1 : lastRowPage);
    // A page of its own still has the headers, and no rows.
    const QStringList texts = r.pageTexts(summaryPage);
    QVERIFY(texts.contains(u"Öğrenci No"_s));
    const bool hasRows = std::any_of(texts.begin(), texts.end(), [](const QString& t) {
        return t.startsWith(u'S') && t.size() == 6;
    });
    QCOMPARE(hasRows, !moves);
}

void TestReportLayout::summaryTakesItsLastRowsAlong()
{
    QString text = kTemplate;
    text.replace(u"band summary height=30"_s, u"band summary height=30 keep=2"_s);
    const int count = 30; // without "keep" the summary would stand alone on the last page
    const PreparedReport r = renderOrFail(text, rows(count));
    const int summaryPage = pageOf(r, u"GENEL TOPLAM"_s);
    QCOMPARE(summaryPage, r.pageCount() - 1);
    QCOMPARE(pageOf(r, studentNo(count - 1)), summaryPage);
    QCOMPARE(pageOf(r, studentNo(count - 2)), summaryPage);
    QCOMPARE(pageOf(r, studentNo(count - 3)), summaryPage - 1);
    // With room to spare nothing moves.
    const PreparedReport roomy = renderOrFail(text, rows(5));
    QCOMPARE(roomy.pageCount(), 1);
}

void TestReportLayout::totalsAreExactSums()
{
    qint64 expected = 0;
    int days = 0;
    const int count = 1000;
    const PreparedReport r = renderOrFail(kTemplate, rows(count, &expected, &days));
    const int last = r.pageCount() - 1;
    QCOMPARE(textStarting(r, last, u"GENEL TOPLAM"_s), u"GENEL TOPLAM %1"_s.arg(count));
    QVERIFY(r.pageTexts(last).contains(reporttest::turkishMoney(expected)));
    QVERIFY(r.pageTexts(last).contains(u"Gün toplamı %1"_s.arg(days)));

    // Each page's own total is the exact sum of the rows printed on it.
    int row = 0;
    qint64 pagesTogether = 0;
    for (int p = 0; p < r.pageCount(); ++p) {
        qint64 pageKurus = 0;
        for (const QString& t : r.pageTexts(p)) {
            if (t == studentNo(row)) {
                pageKurus += kAmounts[row % kAmounts.size()].second;
                ++row;
            }
        }
        QCOMPARE(textStarting(r, p, u"Sayfa toplamı"_s),
                 u"Sayfa toplamı "_s + reporttest::turkishMoney(pageKurus));
        pagesTogether += pageKurus;
    }
    QCOMPARE(pagesTogether, expected);
}

void TestReportLayout::pdfShowsHeaderOnEveryPageAndTheRightTotal()
{
    qint64 expected = 0;
    const PreparedReport r = renderOrFail(kTemplate, rows(60, &expected));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"liste.pdf"_s);
    QString error;
    QVERIFY2(r.exportPdf(pdf, &error), qPrintable(error));
    QCOMPARE(reporttest::pdfPageCount(pdf), r.pageCount());
    QCOMPARE(reporttest::pdfPageSize(pdf).toSize(), QSize(420, 595)); // A5 in points
    for (int p = 1; p <= r.pageCount(); ++p) {
        const QString text = reporttest::pdfPageText(pdf, p);
        QVERIFY2(text.contains(u"Öğrenci No"_s), qPrintable(u"page %1: %2"_s.arg(p).arg(text)));
        QVERIFY(text.contains(u"Matrah"_s));
        QVERIFY(text.contains(u"Sayfa %1 / %2"_s.arg(p).arg(r.pageCount())));
    }
    const QString last = reporttest::pdfPageText(pdf, r.pageCount());
    QVERIFY(last.contains(u"GENEL TOPLAM 60"_s));
    QVERIFY2(last.contains(reporttest::turkishMoney(expected)), qPrintable(last));
}

void TestReportLayout::recordsAndVariablesArePrinted()
{
    const PreparedReport r = renderOrFail(kTemplate, rows(3));
    const QStringList first = r.pageTexts(0);
    QVERIFY(first.contains(u"LİSTE BAŞLIĞI Meslek Yüksekokulu"_s));
    QVERIFY(first.contains(u"Sicil: 2 8599 Yıl: 2024 Ay: Mart"_s));
    QVERIFY(first.contains(u"Ad1 Soyad"_s));
    QVERIFY(first.contains(u"1.234,55 "_s));
}

void TestReportLayout::emptyDataGivesOnePage()
{
    ReportData data;
    data.setRecords({{u"isyeri"_s, {{u"birimadi"_s, u"Birim"_s}, {u"isyerisicil"_s, u"1"_s}}},
                     {u"parametre"_s, {{u"aktifyil"_s, u"2024"_s}}}});
    data.setVariable(u"ayadi"_s, u"Mart"_s);
    const PreparedReport r = renderOrFail(kTemplate, data);
    QCOMPARE(r.pageCount(), 1);
    const QStringList texts = r.pageTexts(0);
    QVERIFY(texts.contains(u"GENEL TOPLAM 0"_s));
    QVERIFY(texts.contains(u"0,00"_s));
    QVERIFY(texts.contains(u"Sayfa 1 / 1"_s));
}

void TestReportLayout::unknownNamesAreReportedWithTheirPosition_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("messagePart");
    QTest::newRow("field") << u"  text x=0 w=50 \"No: [ogrenci_no]\""_s << 23 << u"ogrenci_no"_s;
    QTest::newRow("record") << u"  text x=0 w=50 \"[firma.adi]\""_s << 19 << u"firma"_s;
    QTest::newRow("record field") << u"  text x=0 w=50 \"[isyeri.unvan]\""_s << 19 << u"unvan"_s;
    QTest::newRow("summed column")
        << u"  text x=0 w=50 \"[sum(kazanc, tutar)]\""_s << 31 << u"tutar"_s;
    QTest::newRow("text summed") << u"  text x=0 w=50 \"[sum(adi)]\""_s << 19 << u"sayı değil"_s;
}

void TestReportLayout::unknownNamesAreReportedWithTheirPosition()
{
    QFETCH(QString, item);
    QFETCH(int, column);
    QFETCH(QString, messagePart);
    const QString text = u"report page=A4\nband detail height=6\n"_s + item;
    const auto tmpl = Template::parse(text, u"alan.frf"_s);
    QVERIFY(tmpl);
    const auto result = report::render(*tmpl, rows(5));
    QVERIFY(!result);
    QCOMPARE(result.error().line, 3);
    QCOMPARE(result.error().column, column);
    QVERIFY2(result.error().message.contains(messagePart), qPrintable(result.error().message));
}

void TestReportLayout::bundledListsPrintTheListRows()
{
    const QList<QVariantHash> list = {{{u"yil"_s, u"2024"_s},
                                       {u"ay"_s, 2},
                                       {u"ogrencino"_s, u"210100003"_s},
                                       {u"adi"_s, u"Ayşe"_s},
                                       {u"soyadi"_s, u"Yılmaz"_s},
                                       {u"ssksicilno"_s, u"14107618"_s},
                                       {u"tckimlikno"_s, u"42660792025"_s},
                                       {u"baslangictarihi"_s, u"2024-02-05"_s},
                                       {u"bitistarihi"_s, QDate(2024, 3, 12)},
                                       {u"gun"_s, 10},
                                       {u"kazanc"_s, u"6667.50"_s},
                                       {u"matrah"_s, u"6667.50"_s},
                                       {u"isveren"_s, u"333.38"_s},
                                       {u"isci"_s, 66.68},
                                       {u"idogrenci"_s, 1}},
                                      {{u"yil"_s, u"2024"_s},
                                       {u"ay"_s, 2},
                                       {u"ogrencino"_s, u"210100010"_s},
                                       {u"adi"_s, u"İbrahim"_s},
                                       {u"soyadi"_s, u"Öztürk"_s},
                                       {u"ssksicilno"_s, u"15398326"_s},
                                       {u"tckimlikno"_s, u"64178286370"_s},
                                       {u"baslangictarihi"_s, u"2024-01-20"_s},
                                       {u"bitistarihi"_s, u"2024-02-29"_s},
                                       {u"gun"_s, 30},
                                       {u"kazanc"_s, 20002.5},
                                       {u"matrah"_s, 20002.5},
                                       {u"isveren"_s, u"1000.13"_s},
                                       {u"isci"_s, u"200.03"_s},
                                       {u"idogrenci"_s, 2}}};
    ReportData data = ReportData::fromRows(list);
    data.setRecord(u"isyeri"_s, {{u"birimadi"_s, u"Sağlık Hizmetleri MYO"_s},
                                 {u"isyerisicil"_s, u"2 8599 01"_s},
                                 {u"isyeriadres"_s, u"Merkez Kampüs, Elazığ"_s},
                                 {u"isyerivergino"_s, u"9870012345"_s}});
    data.setRecord(u"parametre"_s, {{u"aktifyil"_s, u"2024"_s}});
    // the list windows name the insurance of a GSS list; this is one
    data.setVariable(u"sigorta"_s, u" - GENEL SAĞLIK SİGORTASI"_s);
    report::RenderOptions options;
    options.locale = QLocale(QLocale::Turkish, QLocale::Turkey);
    options.printTime = QDateTime(QDate(2024, 3, 20), QTime(9, 5));
    report::bundledTemplates();

    const auto list1 = report::render(*Template::load(u":/reports/liste1.frf"_s), data, options);
    QVERIFY2(list1, qPrintable(list1 ? QString() : list1.error().toString()));
    QCOMPARE(list1->pageSizeMm().toSize(), QSize(297, 210));
    const QStringList p1 = list1->pageTexts(0);
    for (const QString& expected : {u": Sağlık Hizmetleri MYO"_s,
                                    u"Zorunlu staj yapan öğrencilerin sosyal güvenlik primleri - "
                                    u"GENEL SAĞLIK SİGORTASI"_s,
                                    u": 2 8599 01"_s,
                                    u": ŞUBAT"_s,
                                    u"Ayşe Yılmaz"_s,
                                    u"İbrahim Öztürk"_s,
                                    u"05-02-2024"_s,
                                    u"12-03-2024"_s,
                                    u"14107618"_s,
                                    u"42660792025"_s,
                                    u"6.667,50 "_s,
                                    u"66,68 "_s,
                                    u"20.002,50 "_s,
                                    u"GENEL TOPLAM (2 öğrenci)  "_s,
                                    u"26.670,00 "_s,
                                    u"1.333,51 "_s,
                                    u"266,71 "_s,
                                    u"40"_s,
                                    u"Hazırlayan"_s,
                                    u"Onaylayan"_s,
                                    u"Sayfa 1 / 1"_s,
                                    u"Yazdırılma tarihi: 20.03.2024 09:05"_s})
        QVERIFY2(p1.contains(expected), qPrintable(expected));

    const auto list2 = report::render(*Template::load(u":/reports/liste2.frf"_s), data, options);
    QVERIFY2(list2, qPrintable(list2 ? QString() : list2.error().toString()));
    QCOMPARE(list2->pageCount(), 1);
    QCOMPARE(list2->pageSizeMm().toSize(), QSize(210, 297));
    const QStringList s = list2->pageTexts(0);
    // 1333.51 + 266.71: the premium to pay is both shares together.
    for (const QString& expected :
         {u"Sağlık Hizmetleri MYO"_s, u"Merkez Kampüs, Elazığ"_s, u"9870012345"_s,
          u"ŞUBAT 2024 DÖNEMİ - GENEL SAĞLIK SİGORTASI"_s, u"2 - Şubat"_s, u"40 "_s,
          u"26.670,00 "_s, u"1.333,51 "_s, u"266,71 "_s, u"1.600,22 "_s})
        QVERIFY2(s.contains(expected), qPrintable(expected));
}

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
