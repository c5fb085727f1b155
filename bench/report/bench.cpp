// Lays out a 10,000-row List-1 (over 300 pages) and opens the preview until its first page has
// been painted; then pages through it at the highest zoom, the way a user reading the small
// print would. Prints the times in milliseconds and the peak memory. Not a test: run it by
// hand or through `make bench`, e.g. QT_QPA_PLATFORM=offscreen ./bench_report [rows]
//
// Exits with 1 when the report cannot be made, 2 when the first page takes 2 s or longer and
// 3 when the peak memory passes 300 MB.
#include "demodata.h"
#include "report/report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextStream>

using namespace zelvo;

using namespace Qt::StringLiterals;

namespace {

constexpr double kPeakLimitMb = 300;

// A line of /proc/self/status such as "VmHWM:  123456 kB", in megabytes.
double procStatusMb(const QString& key)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpression re(u"^%1:\\s*(\\d+) kB"_s.arg(key),
                                QRegularExpression::MultilineOption);
    const auto match = re.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : -1;
}

double peakMb()
{
    return procStatusMb(u"VmHWM"_s);
}

double currentMb()
{
    return procStatusMb(u"VmRSS"_s);
}

// Paints the view now, as the window system would after a scroll.
void paintNow(report::PageView* view)
{
    QApplication::processEvents();
    view->viewport()->repaint();
}

struct ZoomWalk {
    int views = 0;
    qint64 ms = 0;
    double peakMb = 0;
    double rssAfterMb = 0;
};

// At the highest zoom: every 10th page from its top to its bottom, across its width, and
// back over the pages already seen.
ZoomWalk walkAtHighestZoom(report::PreviewDialog& dialog)
{
    report::PageView* view = dialog.pageView();
    ZoomWalk walk;
    QElapsedTimer clock;
    clock.start();
    view->setZoom(report::PageView::kMaxZoom);
    paintNow(view);
    QScrollBar* down = view->verticalScrollBar();
    QScrollBar* across = view->horizontalScrollBar();
    const int pages = dialog.report().pageCount();
    const auto visit = [&](int page) {
        view->showPage(page);
        const int pageTop = down->value();
        for (int step = 0; step < 4; ++step) {
            down->setValue(pageTop + step * down->pageStep() * 2);
            for (const int x : {across->minimum(), across->maximum() / 2, across->maximum()}) {
                across->setValue(x);
                paintNow(view);
                ++walk.views;
            }
        }
    };
    for (int page = 0; page < pages; page += 10)
        visit(page);
    for (int page = 0; page < std::min(pages, 60); page += 20)
        visit(page);
    walk.ms = clock.elapsed();
    walk.peakMb = peakMb();
    walk.rssAfterMb = currentMb();
    return walk;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rows = app.arguments().value(1, u"10000"_s).toInt();
    QTextStream out(stdout);
    const double peakAtStart = peakMb();

    QElapsedTimer clock;
    clock.start();
    const report::ReportData data = report::demo::listData(rows);
    const qint64 dataMs = clock.elapsed();

    QElapsedTimer total;
    total.start();
    clock.restart();
    const auto tmpl = report::Template::load(report::bundledTemplates().constFirst());
    if (!tmpl) {
        out << tmpl.error().toString() << '\n';
        return 1;
    }
    const qint64 parseMs = clock.elapsed();
    clock.restart();
    const auto prepared = report::render(*tmpl, data);
    if (!prepared) {
        out << prepared.error().toString() << '\n';
        return 1;
    }
    const qint64 layoutMs = clock.elapsed();

    clock.restart();
    report::PreviewDialog dialog(*prepared);
    dialog.show();
    while (dialog.pageView()->pagesPainted() == 0)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const qint64 previewMs = clock.elapsed();
    const qint64 firstPageMs = total.elapsed();
    const int paintedAtFirstPage = dialog.pageView()->pagesPainted();
    const double peakAtFirstPage = peakMb();

    // Searching the whole report for a text that only the summary holds.
    clock.restart();
    const report::TextHit hit = prepared->find(u"GENEL TOPLAM"_s);
    const qint64 findMs = clock.elapsed();

    const ZoomWalk walk = walkAtHighestZoom(dialog);

    out << "rows:                 " << rows << '\n'
        << "pages:                " << prepared->pageCount() << '\n'
        << "data rows built (ms): " << dataMs << '\n'
        << "template parse (ms):  " << parseMs << '\n'
        << "layout (ms):          " << layoutMs << '\n'
        << "preview shown (ms):   " << previewMs << " (" << paintedAtFirstPage
        << " page(s) painted)\n"
        << "to first page (ms):   " << firstPageMs << '\n'
        << "find to last page (ms): " << findMs << " (page " << hit.page + 1 << ")\n"
        << "peak memory at first page (MB): " << peakAtFirstPage << " (at start " << peakAtStart
        << ")\n"
        << "zoom " << report::PageView::kMaxZoom << ", " << walk.views
        << " views (ms):  " << walk.ms << " (" << double(walk.ms) / std::max(1, walk.views)
        << " a view)\n"
        << "peak memory (MB):     " << walk.peakMb << " (resident after the walk "
        << walk.rssAfterMb << ", limit " << kPeakLimitMb << ")\n";
    if (firstPageMs >= 2000)
        return 2;
    return walk.peakMb < kPeakLimitMb ? 0 : 3;
}
