// Time from "Göster" to the first page of the preview on screen, for a List-1 and a List-2 of
// 10,000 students, through the window as the user drives it:  bench_lists [rows] [runs]
//
// Measured on the shared two-core build machine (RelWithDebInfo, Qt 6.4), 10,000 rows:
//   List-1, 334 pages: first page shown after 195-295 ms offscreen, 227-374 ms under Xvfb;
//   List-2, one page: 80-146 ms. One page painted each time; peak memory 73-82 MiB.
#include "lists/tfrmliste.h"
#include "report/pageview.h"
#include "report/report.h"
#include "testsession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

using namespace zelvo;

using namespace zelvo::lists;

namespace {

// The process's resident memory and its peak so far, in MiB, from /proc.
double memoryMiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// `rows` students of unit 01 with a March 2026 accrual row each, stored by the server.
void seed(TestSession& session, int rows)
{
    static const char* names[] = {"Ahmet", "Ayşe", "Çağrı", "Gülşah", "İbrahim", "Şule", "Ömer"};
    static const char* surnames[] = {"Yılmaz", "Öztürk", "Çelik", "Işık", "Doğan", "Şahin"};
    db::Transaction tx(session.connection);
    for (int i = 0; i < rows; ++i) {
        const QString number = QStringLiteral("20261%1").arg(i, 5, 10, QLatin1Char('0'));
        const QVariant id = session.connection.insertRow(
            QStringLiteral("ogrenci"),
            {{QStringLiteral("ogrencino"), number},
             {QStringLiteral("adi"), QString::fromUtf8(names[i % 7])},
             {QStringLiteral("soyadi"), QString::fromUtf8(surnames[i % 6])},
             {QStringLiteral("tckimlikno"), QStringLiteral("1%1").arg(i, 10, 10, QLatin1Char('0'))},
             {QStringLiteral("ssksicilno"), QStringLiteral("3%1").arg(i, 10, 10, QLatin1Char('0'))},
             {QStringLiteral("baslangictarihi"), QDate(2026, 3, 1)},
             {QStringLiteral("bitistarihi"), QDate(2026, 5, 31)},
             {QStringLiteral("gss"), 0},
             {QStringLiteral("statu"), QStringLiteral("1")},
             {QStringLiteral("birimkodu"), QStringLiteral("01")}});
        const QString earnings = QStringLiteral("%1.%2").arg(500 + i % 1500).arg(i % 100);
        session.connection.callProcedure(QStringLiteral("Tahakkukekle"),
                                         {{QStringLiteral("@idogrenci"), id.toString()},
                                          {QStringLiteral("@yil"), QStringLiteral("2026")},
                                          {QStringLiteral("@ay"), 3},
                                          {QStringLiteral("@gun"), 1 + i % 30},
                                          {QStringLiteral("@birimkodu"), QStringLiteral("01")},
                                          {QStringLiteral("@kazanc"), earnings},
                                          {QStringLiteral("@matrah"), earnings}});
    }
    tx.commit();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const int rows = app.arguments().value(1, QStringLiteral("10000")).toInt();
    const int runs = app.arguments().value(2, QStringLiteral("3")).toInt();
    QTextStream out(stdout);

    TestSession session;
    QElapsedTimer clock;
    clock.start();
    seed(session, rows);
    out << "seeded " << rows << " students with accrual rows in " << clock.elapsed() << " ms\n";

    QTemporaryDir templates;
    QElapsedTimer click;
    qint64 toPreview = 0, toFirstPage = 0;
    int pages = 0, painted = 0;
    session.dialogs.onModal = [&](QDialog& dialog) {
        toPreview = click.elapsed();
        auto* preview = qobject_cast<report::PreviewDialog*>(&dialog);
        if (!preview)
            return;
        preview->show();
        while (preview->pageView()->pagesPainted() == 0 && click.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        toFirstPage = click.elapsed();
        pages = preview->report().pageCount();
        painted = preview->pageView()->pagesPainted();
        preview->close();
    };

    for (const ListVariant* variant : {&ListVariant::liste1(), &ListVariant::liste2()}) {
        TFrmListe window(*session.context, &session.mainWindow, *variant);
        window.setTemplateFolder(templates.path());
        window.show();
        window.findChild<QRadioButton*>(QStringLiteral("Month3"))->click();
        auto* show = window.findChild<QToolButton*>(QStringLiteral("SpeedButton5"));
        for (int run = 1; run <= runs; ++run) {
            const double rssBefore = memoryMiB("VmRSS");
            click.start();
            show->click();
            out << variant->title << " run " << run << ": " << rows << " rows, " << pages
                << " pages; preview ready " << toPreview << " ms, first page shown " << toFirstPage
                << " ms; pages painted " << painted << "; RSS before " << qRound(rssBefore)
                << " MiB, after " << qRound(memoryMiB("VmRSS")) << " MiB, peak "
                << qRound(memoryMiB("VmHWM")) << " MiB\n";
            out.flush();
        }
        window.close();
    }
    return 0;
}
