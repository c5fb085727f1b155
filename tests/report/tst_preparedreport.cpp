#include "report/report.h"
#include "reporttestsupport.h"

#include <QDataStream>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvo;

using namespace Qt::StringLiterals;
using report::PreparedReport;
using report::ReportData;

namespace {

const QString kTemplate =
    uR"(report name="Kayıt" page=A4 orientation=landscape margins=10 locale=tr_TR
band columnheader height=8
  text x=0 w=60 frame fill=#dde4ec bold "Öğrenci"
  text x=60 w=40 frame fill=#dde4ec bold align=right "Tutar"
band detail height=7 alternate=#f0f0f0
  text x=0 w=60 frame "[adi]"
  text x=60 w=40 frame align=right format="##,##0.00 " "[tutar]"
  line x1=0 y1=7 x2=100 pen=0.1 color=#808080
band summary height=10
  rect x=0 y=1 w=100 h=8 pen=0.4
  text x=0 y=1 w=60 h=8 bold "Toplam"
  text x=60 y=1 w=40 h=8 bold align=right "[sum(tutar):##,##0.00]"
band pagefooter height=6
  text x=0 w=277 align=center "Sayfa [page] / [pages]"
)"_s;

PreparedReport sample(int rows)
{
    QStringList columns = {u"adi"_s, u"tutar"_s};
    QList<QVariantList> values;
    for (int i = 0; i < rows; ++i)
        values.append({u"Öğrenci %1"_s.arg(i + 1), u"%1.25"_s.arg(i * 10)});
    const auto tmpl = report::Template::parse(kTemplate, u"kayit.frf"_s);
    return *report::render(*tmpl, ReportData::fromTable(columns, values));
}

QImage paint(const PreparedReport& r, int page)
{
    QImage image(QSize(297, 210) * 5, QImage::Format_RGB32); // 5 px per mm (127 dpi)
    image.setDotsPerMeterX(5000);
    image.setDotsPerMeterY(5000);
    image.fill(Qt::white);
    QPainter painter(&image);
    r.paintPage(page, painter);
    return image;
}

bool isBlank(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
        }
    }
    return true;
}

} // namespace

class TestPreparedReport : public QObject {
    Q_OBJECT
private slots:
    void saveThenLoadGivesTheSamePages();
    void loadRejectsOtherFiles();
    void loadRefusesCountsTheFileCannotHold_data();
    void loadRefusesCountsTheFileCannotHold();
    void paintPageDrawsInsideTheMargins();
    void errorReportNamesFileAndError();
    void prepareReportFallsBackToTheErrorPage();
    void reportKeepsTheTemplateLoadedBefore();
    void printUsesThePrintersPaperAndRange();
};

void TestPreparedReport::saveThenLoadGivesTheSamePages()
{
    const PreparedReport original = sample(70);
    QVERIFY(original.pageCount() >= 3);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"liste.zrp"_s);
    QString error;
    QVERIFY2(original.save(file, &error), qPrintable(error));
    const auto loaded = PreparedReport::load(file);
    QVERIFY2(loaded, qPrintable(loaded ? QString() : loaded.error().toString()));
    QCOMPARE(loaded->pageCount(), original.pageCount());
    QCOMPARE(loaded->title(), u"Kayıt"_s);
    QCOMPARE(loaded->pageSizeMm(), original.pageSizeMm());
    QVERIFY(*loaded == original);
    for (int p = 0; p < original.pageCount(); ++p)
        QCOMPARE(loaded->pageTexts(p), original.pageTexts(p));
    const int last = original.pageCount() - 1;
    QCOMPARE(paint(*loaded, last), paint(original, last));
}

void TestPreparedReport::loadRejectsOtherFiles()
{
    QTemporaryDir dir;
    const QString text = dir.filePath(u"metin.zrp"_s);
    {
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("bu bir rapor degil\n");
    }
    const auto notReport = PreparedReport::load(text);
    QVERIFY(!notReport);
    QVERIFY(notReport.error().message.contains(u"değil"_s));

    const QString whole = dir.filePath(u"tam.zrp"_s);
    QVERIFY(sample(10).save(whole));
    QFile full(whole);
    QVERIFY(full.open(QIODevice::ReadOnly));
    const QByteArray bytes = full.readAll();
    const QString cut = dir.filePath(u"kesik.zrp"_s);
    {
        QFile f(cut);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes.left(bytes.size() / 2));
    }
    const auto truncated = PreparedReport::load(cut);
    QVERIFY(!truncated);
    QVERIFY(truncated.error().message.contains(u"bozuk"_s));
    QVERIFY(!PreparedReport::load(dir.filePath(u"yok.zrp"_s)));
}

void TestPreparedReport::loadRefusesCountsTheFileCannotHold_data()
{
    QTest::addColumn<qint32>("fonts");
    QTest::addColumn<qint32>("pages");
    QTest::addColumn<qint32>("items"); // on the first page
    QTest::addColumn<QString>("reason");
    QTest::newRow("a billion pages")
        << 1 << 1'000'000'000 << 0 << u"1000000000 sayfa bildiriyor, en çok 100000"_s;
    QTest::newRow("more pages than the file holds")
        << 1 << 5000 << 0 << u"5000 sayfa bildiriyor, dosyada bu kadarına yer yok"_s;
    QTest::newRow("a billion items")
        << 1 << 1 << 1'000'000'000 << u"1000000000 öğe (sayfa 1) bildiriyor, en çok"_s;
    QTest::newRow("more items than the file holds")
        << 1 << 1 << 50'000 << u"50000 öğe (sayfa 1) bildiriyor, dosyada"_s;
    QTest::newRow("negative pages") << 1 << -1 << 0 << u"sayfa sayısı eksi"_s;
    QTest::newRow("a million fonts") << 1'000'000 << 1 << 0 << u"yazı tipi bildiriyor"_s;
}

void TestPreparedReport::loadRefusesCountsTheFileCannotHold()
{
    QFETCH(qint32, fonts);
    QFETCH(qint32, pages);
    QFETCH(qint32, items);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"yalan.zrp"_s);
    {
        // A well-formed start with counts it cannot back up, then a kilobyte of padding.
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QDataStream out(&f);
        out.setVersion(QDataStream::Qt_6_4);
        out << quint32(0x5A525031) << quint16(1) << u"Rapor"_s << QSizeF(210, 297) << fonts;
        if (fonts == 1)
            out << u"DejaVu Sans"_s << 9.0 << false << false;
        out << pages << items;
        out.writeRawData(QByteArray(1024, '\0').constData(), 1024);
    }
    const auto loaded = PreparedReport::load(path);
    QVERIFY(!loaded);
    QVERIFY2(loaded.error().message.contains(reason), qPrintable(loaded.error().message));
}

void TestPreparedReport::paintPageDrawsInsideTheMargins()
{
    const PreparedReport r = sample(5);
    const QImage image = paint(r, 0);
    // 10 mm margins at 5 px per mm: the border strips stay white, the header does not.
    QVERIFY(isBlank(image, QRect(0, 0, image.width(), 49)));
    QVERIFY(isBlank(image, QRect(0, 0, 49, image.height())));
    QVERIFY(isBlank(image, QRect(image.width() - 49, 0, 49, image.height())));
    QVERIFY(isBlank(image, QRect(0, image.height() - 49, image.width(), 49)));
    QVERIFY(!isBlank(image, QRect(50, 50, 500, 40)));
    QCOMPARE(image.pixel(53, 53), QColor(u"#dde4ec"_s).rgb()); // header fill
}

void TestPreparedReport::errorReportNamesFileAndError()
{
    const PreparedReport r =
        PreparedReport::errorReport(u"/sablonlar/liste1.frf"_s, u"satır 4, sütun 2: hata"_s);
    QCOMPARE(r.pageCount(), 1);
    const QStringList texts = r.pageTexts(0);
    QVERIFY(texts.contains(u"/sablonlar/liste1.frf"_s));
    QVERIFY(texts.contains(u"satır 4, sütun 2: hata"_s));
    QVERIFY(texts.contains(u"Rapor hazırlanamadı"_s));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"hata.pdf"_s);
    QVERIFY(r.exportPdf(pdf));
    QCOMPARE(reporttest::pdfPageCount(pdf), 1);
    QCOMPARE(reporttest::pdfPageSize(pdf).toSize(), QSize(595, 842));
    QVERIFY(reporttest::pdfPageText(pdf, 1).contains(u"/sablonlar/liste1.frf"_s));
}

void TestPreparedReport::prepareReportFallsBackToTheErrorPage()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"liste1.frf"_s);
    PreparedReport r = report::prepareReport(missing, ReportData());
    QCOMPARE(r.pageCount(), 1);
    QVERIFY(r.pageTexts(0).contains(missing));
    QVERIFY(r.pageTexts(0).join(u'\n').contains(u"bulunamadı"_s));

    const QString broken = dir.filePath(u"liste2.frf"_s);
    {
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("report page=A4\nband detail height=5\n  text x=0 w=10 \"[adi\"\n");
    }
    r = report::prepareReport(broken, ReportData());
    QVERIFY(r.pageTexts(0).join(u'\n').contains(u"satır 3, sütun 18"_s));

    const QString good = dir.filePath(u"iyi.frf"_s);
    {
        QFile f(good);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kTemplate.toUtf8());
    }
    r = report::prepareReport(good, ReportData::fromTable({u"adi"_s, u"tutar"_s}, {{u"A"_s, 1}}));
    QVERIFY(r.pageTexts(0).contains(u"1,00 "_s));
}

void TestPreparedReport::reportKeepsTheTemplateLoadedBefore()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"liste1.frf"_s);
    const ReportData data = ReportData::fromTable({u"adi"_s, u"tutar"_s}, {{u"Ali"_s, u"2.5"_s}});
    report::Report report;
    QVERIFY(!report.loadTemplate(path));
    QVERIFY(!report.hasTemplate());
    PreparedReport r = report.prepare(data);
    QCOMPARE(r.pageCount(), 1);
    QVERIFY(r.pageTexts(0).contains(path));

    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kTemplate.toUtf8());
    }
    QVERIFY(report.loadTemplate(path));
    QVERIFY(report.prepare(data).pageTexts(0).contains(u"2,50 "_s));

    // The file is gone: the template read before still serves.
    QVERIFY(QFile::remove(path));
    QVERIFY(!report.loadTemplate(path));
    QVERIFY(report.lastError().message.contains(u"bulunamadı"_s));
    QVERIFY(report.prepare(data).pageTexts(0).contains(u"2,50 "_s));

    // A name the data lacks gives the error page, naming the template and the field.
    const ReportData other = ReportData::fromTable({u"ad"_s}, {{u"Ali"_s}});
    r = report.prepare(other);
    QCOMPARE(r.pageCount(), 1);
    QVERIFY(r.pageTexts(0).join(u'\n').contains(u"bilinmeyen alan 'adi'"_s));
}

void TestPreparedReport::printUsesThePrintersPaperAndRange()
{
    const PreparedReport r = sample(70);
    QVERIFY(r.pageCount() >= 3);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"yazici.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    // The user picked A5 portrait and pages 2 to 3 in the print dialog.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, {}));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    QVERIFY(r.print(printer));
    QCOMPARE(reporttest::pdfPageCount(pdf), 2);
    QCOMPARE(reporttest::pdfPageSize(pdf).toSize(), QSize(420, 595));
    QVERIFY(reporttest::pdfPageText(pdf, 1).contains(u"Sayfa 2 / %1"_s.arg(r.pageCount())));
    QVERIFY(reporttest::pdfPageText(pdf, 2).contains(u"Sayfa 3 / %1"_s.arg(r.pageCount())));
}

QTEST_MAIN(TestPreparedReport)
#include "tst_preparedreport.moc"
