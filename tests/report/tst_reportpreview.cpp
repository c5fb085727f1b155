#include "report/report.h"
#include "reporttestsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace zelvo;

using namespace Qt::StringLiterals;
using report::PageView;
using report::PreparedReport;
using report::PreviewDialog;

namespace {

const QString kTemplate = uR"(report name="Önizleme" page=A4 margins=10 locale=tr_TR
band columnheader height=8
  text x=0 w=80 frame bold "Adı Soyadı"
band detail height=8
  text x=0 w=80 frame "[adi]"
band pagefooter height=6
  text x=0 w=190 align=right "Sayfa [page] / [pages]"
)"_s;

// Names of rows; "Gülşen Işık" stands only on row 100, "Ortak" on rows 3 and 90.
PreparedReport sample(int rows = 120)
{
    QList<QVariantList> values;
    for (int i = 1; i <= rows; ++i) {
        QString name = u"Öğrenci %1"_s.arg(i);
        if (i == 100)
            name = u"Gülşen Işık"_s;
        if (i == 3 || i == 90)
            name = u"Ortak Ad %1"_s.arg(i);
        values.append({name});
    }
    const auto tmpl = report::Template::parse(kTemplate);
    return *report::render(*tmpl, report::ReportData::fromTable({u"adi"_s}, values));
}

int pageHolding(const PreparedReport& r, const QString& text)
{
    for (int p = 0; p < r.pageCount(); ++p) {
        if (r.pageTexts(p).contains(text))
            return p;
    }
    return -1;
}

template <typename T> T* child(QWidget& parent, const QString& name)
{
    T* w = parent.findChild<T*>(name);
    if (!w)
        qFatal("no control named %s", qPrintable(name));
    return w;
}

void click(QWidget& dialog, const QString& button)
{
    QTest::mouseClick(child<QToolButton>(dialog, button), Qt::LeftButton);
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void hasTheButtonsAndNoHelp();
    void findReachesAHitOnALaterPage();
    void findNextMovesOnAndWrapsAround();
    void navigationButtonsAndPageBox();
    void zoomButtons();
    void zoomReadoutFollowsButtonsWheelAndKeys();
    void ctrlFGoesToTheFindBox();
    void proposedFileNameComesFromTheTitle();
    void onlyVisiblePagesArePainted();
    void highestZoomPaintsTilesWithinTheBudget();
    void saveAsPreparedReportOrPdfAndOpenAgain();
    void printUsesTheSettingsChosen();

private:
    PreparedReport m_report;
    std::unique_ptr<PreviewDialog> m_dialog;
    QTemporaryDir m_dir;
};

void TestReportPreview::init()
{
    m_report = sample();
    m_dialog = std::make_unique<PreviewDialog>(m_report);
    m_dialog->showError = [](QWidget*, const QString& message) {
        QFAIL(qPrintable(u"unexpected error box: "_s + message));
    };
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TestReportPreview::cleanup()
{
    m_dialog.reset();
}

void TestReportPreview::hasTheButtonsAndNoHelp()
{
    QVERIFY(!(m_dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(m_dialog->isModal());
    const QList<std::pair<QString, QString>> buttons = {{u"zoomInButton"_s, u"Yakınlaştır"_s},
                                                        {u"zoomOutButton"_s, u"Uzaklaştır"_s},
                                                        {u"fitWidthButton"_s, u"Sayfa genişliği"_s},
                                                        {u"fitPageButton"_s, u"Tam sayfa"_s},
                                                        {u"openButton"_s, u"Aç"_s},
                                                        {u"saveButton"_s, u"Kaydet"_s},
                                                        {u"printButton"_s, u"Yazdır"_s},
                                                        {u"findButton"_s, u"Bul"_s},
                                                        {u"findNextButton"_s, u"Sonrakini bul"_s},
                                                        {u"closeButton"_s, u"Kapat"_s}};
    for (const auto& [name, text] : buttons)
        QCOMPARE(child<QToolButton>(*m_dialog, name)->text(), text);
    for (const QString& name :
         {u"firstPageButton"_s, u"previousPageButton"_s, u"nextPageButton"_s, u"lastPageButton"_s})
        QVERIFY(child<QToolButton>(*m_dialog, name)->isVisible());
    QCOMPARE(child<QLabel>(*m_dialog, u"pageCountLabel"_s)->text(),
             u"/ %1"_s.arg(m_report.pageCount()));
    click(*m_dialog, u"closeButton"_s);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
}

void TestReportPreview::findReachesAHitOnALaterPage()
{
    const int expectedPage = pageHolding(m_report, u"Gülşen Işık"_s);
    QVERIFY(expectedPage >= 3);
    QCOMPARE(m_dialog->currentPage(), 0);
    // Turkish letter case: "IŞIK" and "ışık" are the same word.
    child<QLineEdit>(*m_dialog, u"findEdit"_s)->setText(u"gülşen IŞIK"_s);
    click(*m_dialog, u"findButton"_s);
    QCOMPARE(m_dialog->currentHit().page, expectedPage);
    QCOMPARE(m_dialog->currentPage(), expectedPage);
    QCOMPARE(child<QSpinBox>(*m_dialog, u"pageSpinBox"_s)->value(), expectedPage + 1);
    QCOMPARE(m_dialog->pageView()->highlightPage(), expectedPage);
    const QRect marked = m_dialog->pageView()->highlightOnScreen();
    QVERIFY(!marked.isEmpty());
    QVERIFY(m_dialog->pageView()->viewport()->rect().contains(marked));
    QVERIFY(child<QLabel>(*m_dialog, u"statusLabel"_s)
                ->text()
                .contains(u"sayfa %1"_s.arg(expectedPage + 1)));

    child<QLineEdit>(*m_dialog, u"findEdit"_s)->setText(u"Bulunmayan metin"_s);
    click(*m_dialog, u"findButton"_s);
    QVERIFY(!m_dialog->currentHit().isValid());
    QCOMPARE(m_dialog->pageView()->highlightPage(), -1);
    QVERIFY(child<QLabel>(*m_dialog, u"statusLabel"_s)->text().contains(u"bulunamadı"_s));
}

void TestReportPreview::findNextMovesOnAndWrapsAround()
{
    const int firstPage = pageHolding(m_report, u"Ortak Ad 3"_s);
    const int secondPage = pageHolding(m_report, u"Ortak Ad 90"_s);
    QVERIFY(secondPage > firstPage);
    child<QLineEdit>(*m_dialog, u"findEdit"_s)->setText(u"ortak"_s);
    click(*m_dialog, u"findNextButton"_s); // with no earlier hit it starts at the top
    QCOMPARE(m_dialog->currentPage(), firstPage);
    click(*m_dialog, u"findNextButton"_s);
    QCOMPARE(m_dialog->currentPage(), secondPage);
    QCOMPARE(m_report.pages()[secondPage].items[m_dialog->currentHit().item].text,
             u"Ortak Ad 90"_s);
    click(*m_dialog, u"findNextButton"_s);
    QCOMPARE(m_dialog->currentPage(), firstPage);
    QVERIFY(child<QLabel>(*m_dialog, u"statusLabel"_s)->text().contains(u"baştan"_s));
}

void TestReportPreview::navigationButtonsAndPageBox()
{
    const int last = m_report.pageCount() - 1;
    QVERIFY(!child<QToolButton>(*m_dialog, u"previousPageButton"_s)->isEnabled());
    click(*m_dialog, u"nextPageButton"_s);
    QCOMPARE(m_dialog->currentPage(), 1);
    click(*m_dialog, u"lastPageButton"_s);
    QCOMPARE(m_dialog->currentPage(), last);
    QCOMPARE(child<QSpinBox>(*m_dialog, u"pageSpinBox"_s)->value(), last + 1);
    QVERIFY(!child<QToolButton>(*m_dialog, u"nextPageButton"_s)->isEnabled());
    click(*m_dialog, u"previousPageButton"_s);
    QCOMPARE(m_dialog->currentPage(), last - 1);
    click(*m_dialog, u"firstPageButton"_s);
    QCOMPARE(m_dialog->currentPage(), 0);
    QCOMPARE(child<QLabel>(*m_dialog, u"pagePositionLabel"_s)->text(),
             u"Sayfa 1 / %1"_s.arg(last + 1));
    child<QSpinBox>(*m_dialog, u"pageSpinBox"_s)->setValue(3);
    QCOMPARE(m_dialog->currentPage(), 2);
    QCOMPARE(child<QLabel>(*m_dialog, u"pagePositionLabel"_s)->text(),
             u"Sayfa 3 / %1"_s.arg(last + 1));
}

void TestReportPreview::zoomButtons()
{
    PageView* view = m_dialog->pageView();
    QCOMPARE(view->fitMode(), PageView::FitMode::Width);
    const double pageWidthPx = m_report.pageSizeMm().width() / 25.4 * view->logicalDpiX();
    // Fitted to the width: the page and its gaps fill the view's width.
    QVERIFY(qAbs(pageWidthPx * view->zoom() + 32 - view->viewport()->width()) < 1.5);
    const double fitted = view->zoom();
    click(*m_dialog, u"zoomInButton"_s);
    QCOMPARE(view->zoom(), fitted * 1.25);
    QCOMPARE(view->fitMode(), PageView::FitMode::None);
    click(*m_dialog, u"zoomOutButton"_s);
    click(*m_dialog, u"zoomOutButton"_s);
    QVERIFY(qAbs(view->zoom() - fitted / 1.25) < 1e-9);
    click(*m_dialog, u"fitPageButton"_s);
    const double pageHeightPx = m_report.pageSizeMm().height() / 25.4 * view->logicalDpiY();
    QVERIFY(pageHeightPx * view->zoom() <= view->viewport()->height());
    click(*m_dialog, u"fitWidthButton"_s);
    QCOMPARE(view->zoom(), fitted);
}

void TestReportPreview::zoomReadoutFollowsButtonsWheelAndKeys()
{
    PageView* view = m_dialog->pageView();
    QLabel* readout = child<QLabel>(*m_dialog, u"zoomLabel"_s);
    const auto percent = [](double zoom) { return u"%1 %"_s.arg(qRound(zoom * 100)); };
    QVERIFY(view->zoom() != 1.0); // fitted to the width
    QCOMPARE(readout->text(), percent(view->zoom()));

    click(*m_dialog, u"actualSizeButton"_s);
    QCOMPARE(view->zoom(), 1.0);
    QCOMPARE(readout->text(), u"100 %"_s);

    const auto wheel = [view](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(view->viewport()->rect().center());
        QWheelEvent event(at, view->viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &event);
    };
    wheel(120, Qt::ControlModifier);
    QCOMPARE(view->zoom(), 1.25);
    QCOMPARE(readout->text(), u"125 %"_s);
    wheel(-240, Qt::ControlModifier);
    QVERIFY(qAbs(view->zoom() - 0.8) < 1e-9);
    QCOMPARE(readout->text(), u"80 %"_s);
    wheel(-120, Qt::NoModifier); // without Ctrl the wheel scrolls
    QVERIFY(qAbs(view->zoom() - 0.8) < 1e-9);

    QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(view->zoom(), 1.0);
    click(*m_dialog, u"fitPageButton"_s);
    QCOMPARE(readout->text(), percent(view->zoom()));
}

void TestReportPreview::ctrlFGoesToTheFindBox()
{
    auto* find = child<QLineEdit>(*m_dialog, u"findEdit"_s);
    m_dialog->activateWindow();
    m_dialog->pageView()->setFocus();
    QVERIFY(m_dialog->focusWidget() != find);
    QTest::keyClick(m_dialog->pageView(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(m_dialog->focusWidget(), find);
    QTest::keyClicks(find, u"Ad 90"_s);
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(m_dialog->currentPage(), pageHolding(m_report, u"Ortak Ad 90"_s));
}

void TestReportPreview::proposedFileNameComesFromTheTitle()
{
    QCOMPARE(m_dialog->proposedFileName(), u"Önizleme"_s);
    report::ReportBuilder titled(u" Liste-1/GSS: Ocak "_s, QSizeF(210, 297));
    titled.newPage();
    PreviewDialog other(titled.take());
    QCOMPARE(other.proposedFileName(), u"Liste-1-GSS- Ocak"_s);
}

void TestReportPreview::onlyVisiblePagesArePainted()
{
    QVERIFY(m_report.pageCount() >= 4);
    QTRY_VERIFY(m_dialog->pageView()->pagesPainted() >= 1);
    QVERIFY(m_dialog->pageView()->pagesPainted() <= 2);
    click(*m_dialog, u"lastPageButton"_s);
    QApplication::processEvents();
    m_dialog->pageView()->viewport()->repaint();
    QVERIFY(m_dialog->pageView()->pagesPainted() <= 4);
}

// At the highest zoom a whole page would take some 230 MB (A4 at 96 dpi times 8, squared):
// the view paints only the tiles in sight and keeps what it caches within its budget.
void TestReportPreview::highestZoomPaintsTilesWithinTheBudget()
{
    PageView* view = m_dialog->pageView();
    for (int clicks = 0; clicks < 30 && view->zoom() < PageView::kMaxZoom; ++clicks)
        click(*m_dialog, u"zoomInButton"_s);
    QCOMPARE(view->zoom(), PageView::kMaxZoom);
    const QSizeF pagePx = m_report.pageSizeMm() / 25.4 * view->logicalDpiX() * view->zoom();
    QVERIFY(pagePx.width() * pagePx.height() * 4 > PageView::kCacheBudgetBytes);

    for (int press = 0; press < 40; ++press) {
        QTest::keyClick(view, press % 10 == 9 ? Qt::Key_End : Qt::Key_PageDown);
        const int before = view->pagesPainted();
        view->viewport()->repaint();
        const int tilesInSight = int(std::ceil(view->viewport()->width() / 1024.0) + 1) *
                                 int(std::ceil(view->viewport()->height() / 1024.0) + 1);
        QVERIFY(view->pagesPainted() - before <= tilesInSight);
        QVERIFY2(view->cacheBytes() <= PageView::kCacheBudgetBytes,
                 qPrintable(QString::number(view->cacheBytes())));
    }
    QVERIFY(view->cacheBytes() > 0);

    // Where four tiles meet, the view shows exactly what the page painted in one piece shows.
    click(*m_dialog, u"firstPageButton"_s);
    const double side = PageView::kTileSide / view->devicePixelRatioF();
    view->horizontalScrollBar()->setValue(int(side) - view->viewport()->width() / 2);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + int(side) -
                                        view->viewport()->height() / 2);
    const QImage shown = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPointF corner = view->pageCornerOnScreen(0);
    QVERIFY(corner.x() < 0 && corner.y() < 0); // the view lies inside the page
    QImage whole(shown.size(), QImage::Format_RGB32);
    whole.setDotsPerMeterX(qRound(view->logicalDpiX() / 0.0254));
    whole.setDotsPerMeterY(qRound(view->logicalDpiY() / 0.0254));
    whole.fill(Qt::white);
    {
        QPainter painter(&whole);
        painter.translate(corner);
        painter.scale(view->zoom(), view->zoom());
        m_report.paintPage(0, painter);
    }
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            differing += shown.pixel(x, y) != whole.pixel(x, y);
    }
    QCOMPARE(differing, 0);
}

void TestReportPreview::saveAsPreparedReportOrPdfAndOpenAgain()
{
    const QString zrp = m_dir.filePath(u"kayit"_s); // the suffix comes from the filter
    m_dialog->chooseSaveFile = [&](QWidget*, QString* filter) {
        *filter = PreviewDialog::kReportFilter;
        return zrp;
    };
    click(*m_dialog, u"saveButton"_s);
    const auto saved = PreparedReport::load(zrp + u".zrp"_s);
    QVERIFY(saved);
    QVERIFY(*saved == m_report);

    const QString pdf = m_dir.filePath(u"kayit.pdf"_s);
    m_dialog->chooseSaveFile = [&](QWidget*, QString* filter) {
        *filter = PreviewDialog::kPdfFilter;
        return pdf;
    };
    click(*m_dialog, u"saveButton"_s);
    QCOMPARE(reporttest::pdfPageCount(pdf), m_report.pageCount());
    QVERIFY(reporttest::pdfPageText(pdf, 4).contains(u"Adı Soyadı"_s));

    // Opening a different prepared report shows it from its first page.
    const PreparedReport other = sample(10);
    const QString otherFile = m_dir.filePath(u"diger.zrp"_s);
    QVERIFY(other.save(otherFile));
    click(*m_dialog, u"lastPageButton"_s);
    m_dialog->chooseOpenFile = [&](QWidget*) { return otherFile; };
    click(*m_dialog, u"openButton"_s);
    QVERIFY(m_dialog->report() == other);
    QCOMPARE(m_dialog->currentPage(), 0);
    QCOMPARE(child<QLabel>(*m_dialog, u"pageCountLabel"_s)->text(), u"/ 1"_s);

    QString shown;
    m_dialog->showError = [&](QWidget*, const QString& message) { shown = message; };
    m_dialog->chooseOpenFile = [&](QWidget*) { return pdf; };
    click(*m_dialog, u"openButton"_s);
    QVERIFY(shown.contains(u"hazır rapor dosyası değil"_s));
    QVERIFY(m_dialog->report() == other);
}

void TestReportPreview::printUsesTheSettingsChosen()
{
    const QString pdf = m_dir.filePath(u"baski.pdf"_s);
    bool asked = false;
    m_dialog->setupPrinter = [&](QWidget*, QPrinter& printer) {
        asked = true;
        // What the dialog offers first: the report's own paper and all pages.
        if (printer.pageLayout().pageSize().id() != QPageSize::A4 ||
            printer.printRange() != QPrinter::AllPages)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, {}));
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(4, 4);
        return true;
    };
    click(*m_dialog, u"printButton"_s);
    QVERIFY(asked);
    QCOMPARE(reporttest::pdfPageCount(pdf), 1);
    QCOMPARE(reporttest::pdfPageSize(pdf).toSize(), QSize(595, 420));
    QVERIFY(reporttest::pdfPageText(pdf, 1).contains(u"Sayfa 4 / %1"_s.arg(m_report.pageCount())));
}

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
