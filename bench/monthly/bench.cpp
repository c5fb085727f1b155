// The timesheet and accrual runs of a whole unit through the windows' own handlers: a database
// file with 1,000 or 10,000 students, the windows shown offscreen and "Puantajı Hesapla" and
// "Tahakkuk Ettir" clicked for March. Prints the milliseconds of every run and the peak memory.
//
//   bench_monthly            1,000 and 10,000 students, each in its own process
//   bench_monthly <count>    one size

#include "benchseed.h"
#include "db/dataset.h"
#include "monthly/tfrmpuantaj.h"
#include "monthly/tfrmtahakkuk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>

using namespace zelvo;

using namespace zelvo::monthly;

namespace {

// Boxes are not shown: a message or an error means the run did not do its work.
class CountingDialogs : public ui::DialogService {
public:
    void message(QWidget*, const QString& text) override { report(text); }
    void error(QWidget*, const QString& text) override { report(text); }
    int shown = 0;

private:
    void report(const QString& text)
    {
        ++shown;
        std::fprintf(stderr, "bench_monthly: %s\n", qPrintable(text));
    }
};

struct Run {
    double wallMs;
    double cpuMs;
};

// Clicks March and then the window's action button; returns how long the click took.
Run clickRun(QDialog& window)
{
    QTest::mouseClick(window.findChild<QRadioButton*>(QStringLiteral("Month3")), Qt::LeftButton);
    auto* button = window.findChild<QToolButton*>(QStringLiteral("SpeedButton5"));
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = benchseed::cpuSeconds();
    QTest::mouseClick(button, Qt::LeftButton);
    return {double(clock.nsecsElapsed()) / 1e6, (benchseed::cpuSeconds() - cpuBefore) * 1e3};
}

int runOne(int size)
{
    QTemporaryDir directory;
    db::Connection connection;
    benchseed::openSeeded(connection, directory.path(), size);
    db::Dataset login(connection);
    login.setProcedure(QStringLiteral("BireyGetirLogin"));
    login.addParam(QStringLiteral("@Key1"), QStringLiteral("admin"));
    login.open();
    CountingDialogs dialogs;
    QWidget mainWindow;
    ui::AppContext context{connection, login, dialogs, &mainWindow};
    auto count = [&connection](const char* table) {
        return connection.query(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)))
            .rows.value(0)
            .value(0)
            .toInt();
    };

    TFrmPuantaj timesheet(context, &mainWindow);
    timesheet.show();
    const Run first = clickRun(timesheet);
    const Run again = clickRun(timesheet);
    const int timesheetRows = count("Puantaj");
    timesheet.close();

    TFrmTahakkuk accrual(context, &mainWindow);
    accrual.show();
    const Run accrued = clickRun(accrual);
    const int accrualRows = count("Tahakkuk");
    accrual.close();

    std::printf("bench_monthly %6d students: timesheet %7.1f ms (cpu %7.1f), again %7.1f ms "
                "(cpu %7.1f), accrual %7.1f ms (cpu %7.1f), peak memory %.1f MB\n",
                size, first.wallMs, first.cpuMs, again.wallMs, again.cpuMs, accrued.wallMs,
                accrued.cpuMs, benchseed::peakMemoryMb());
    const bool complete = timesheetRows == size && accrualRows == size && dialogs.shown == 0;
    if (!complete)
        std::fprintf(stderr, "bench_monthly: %d timesheet and %d accrual rows for %d students\n",
                     timesheetRows, accrualRows, size);
    return complete ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    try {
        if (argc > 1)
            return runOne(QString::fromLocal8Bit(argv[1]).toInt());
        return benchseed::runEachSizeApart(QCoreApplication::applicationFilePath(), {1000, 10000});
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "bench_monthly: %s\n", e.what());
        return 1;
    }
}
