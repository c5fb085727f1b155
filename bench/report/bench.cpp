// Lays out a 10,000-row List-1 and opens the preview until its first page has been painted.
// Prints the times in milliseconds and the peak memory. Not a test: run it by hand,
// e.g. QT_QPA_PLATFORM=offscreen ./bench_report [rows]
#include "demodata.h"
#include "report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // kilobytes on Linux
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rows = app.arguments().value(1, u"10000"_s).toInt();
    QTextStream out(stdout);
    const long rssAtStart = peakRssKb();

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

    // Searching the whole report for a text that only the summary holds.
    clock.restart();
    const report::TextHit hit = prepared->find(u"GENEL TOPLAM"_s);
    const qint64 findMs = clock.elapsed();

    out << "rows:                 " << rows << '\n'
        << "pages:                " << prepared->pageCount() << '\n'
        << "data rows built (ms): " << dataMs << '\n'
        << "template parse (ms):  " << parseMs << '\n'
        << "layout (ms):          " << layoutMs << '\n'
        << "preview shown (ms):   " << previewMs << " (" << dialog.pageView()->pagesPainted()
        << " page(s) painted)\n"
        << "to first page (ms):   " << firstPageMs << '\n'
        << "find to last page (ms): " << findMs << " (page " << hit.page + 1 << ")\n"
        << "peak RSS (MB):        " << peakRssKb() / 1024.0 << " (at start " << rssAtStart / 1024.0
        << ")\n";
    return firstPageMs < 2000 ? 0 : 2;
}
