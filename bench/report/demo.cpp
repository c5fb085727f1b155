// Renders the bundled templates with made-up rows to PDF, so their look can be checked, and
// grabs the preview window to a picture:  zelvo_report_demo <output folder> [rows]
#include "demodata.h"
#include "report/report.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextStream>

using namespace zelvo;

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString out = args.value(1, u"."_s);
    const int rows = args.value(2, u"25"_s).toInt();
    QDir().mkpath(out);
    QTextStream err(stderr);

    const report::ReportData data = report::demo::listData(rows);
    report::RenderOptions options;
    options.printTime = QDateTime(QDate(2024, 4, 2), QTime(10, 30));
    int status = 0;
    report::PreparedReport first;
    for (const QString& path : report::bundledTemplates()) {
        const QString name = QFileInfo(path).baseName();
        const auto loaded = report::Template::load(path);
        if (!loaded) {
            err << loaded.error().toString() << '\n';
            status = 1;
            continue;
        }
        const auto prepared = report::render(*loaded, data, options);
        if (!prepared) {
            err << prepared.error().toString() << '\n';
            status = 1;
            continue;
        }
        if (name == u"liste1"_s)
            first = *prepared;
        QString error;
        if (!prepared->exportPdf(out + u"/%1-demo.pdf"_s.arg(name), &error)) {
            err << error << '\n';
            status = 1;
        }
    }
    report::PreparedReport::errorReport(u"/yok/liste9.frf"_s,
                                        u"satır 3, sütun 14: bilinmeyen komut 'txt'"_s)
        .exportPdf(out + u"/error-demo.pdf"_s);

    report::PreviewDialog dialog(first);
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(out + u"/preview.png"_s);

    // The same window after a search that lands on the second page.
    if (auto* find = dialog.findChild<QLineEdit*>(u"findEdit"_s)) {
        find->setText(u"GENEL TOPLAM"_s);
        dialog.findFirst();
        QApplication::processEvents();
        dialog.grab().save(out + u"/preview-find.png"_s);
    }

    // The highest zoom, where a page is painted in tiles: the view is put where four tiles of
    // the first page meet, so a seam between them would show.
    report::PageView* view = dialog.pageView();
    view->setZoom(report::PageView::kMaxZoom);
    view->showPage(0);
    const double tile = report::PageView::kTileSide / view->devicePixelRatioF();
    view->horizontalScrollBar()->setValue(int(tile) - view->viewport()->width() / 2);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() + int(tile) -
                                        view->viewport()->height() / 2);
    QApplication::processEvents();
    dialog.grab().save(out + u"/preview-zoom.png"_s);
    return status;
}
