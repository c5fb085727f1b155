// The timesheet, the accrual and declaration step 1 of a unit of 10,000 students on each backend:
// the embedded database file and a database on a private PostgreSQL cluster (Unix socket). Each
// run goes through the program's own computations and database layer, and then the same
// statements run on the raw client library (SQLite's C library, libpq) in the same process, so
// the ratio printed is the layer's cost over that floor. Peak memory is printed per backend.
//
//   bench_backends                          both backends, each in a process of its own
//   bench_backends sqlite|postgresql [N]    one backend, N students (10,000)

#include "benchcluster.h"
#include "benchseed.h"
#include "db/dataset.h"
#include "declaration/declarationedition.h"
#include "declaration/declarationpreparation.h"
#include "floorruns.h"
#include "monthly/accrualcomputation.h"
#include "monthly/accrualedition.h"
#include "monthly/monthchain.h"
#include "monthly/runprogress.h"
#include "monthly/timesheetcomputation.h"
#include "monthsteps.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <stdexcept>

using namespace zelvo;

using namespace zelvo::monthly;
using zelvo::core::Period;

namespace {

const QString Unit = QStringLiteral("01");

double milliseconds(const std::function<int()>& run, int& rows)
{
    QElapsedTimer clock;
    clock.start();
    rows = run();
    return double(clock.nsecsElapsed()) / 1e6;
}

// What recording a step's run for the month's chain costs, on its own: the call each run makes
// in its transaction (the best of three).
double recordingMs(db::Connection& connection, ChainStep step)
{
    const Period period(QStringLiteral("2026"), 3);
    double best = 1e12;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer clock;
        clock.start();
        db::Transaction transaction(connection);
        recordRun(connection, {period.year(), period.month(), Unit, false}, step,
                  QStringLiteral("bench"), 0, step == ChainStep::Timesheet ? &period : nullptr);
        transaction.commit();
        best = qMin(best, double(clock.nsecsElapsed()) / 1e6);
    }
    return best;
}

int layerTimesheet(db::Connection& connection)
{
    return benchseed::runTimesheet(connection, Period(QStringLiteral("2026"), 3), Unit);
}

int layerAccrual(db::Connection& connection)
{
    return benchseed::runAccrual(connection, Period(QStringLiteral("2026"), 3), Unit);
}

int layerDeclaration(db::Connection& connection)
{
    return benchseed::runDeclaration(connection, Period(QStringLiteral("2026"), 3), Unit);
}

struct Step {
    const char* name;
    int (*layer)(db::Connection&);
    int (*floor)(RawFloor&);
    ChainStep chainStep;
};

int runBackend(const QString& backend, int size)
{
    QTemporaryDir directory;
    std::unique_ptr<benchseed::Cluster> cluster;
    db::Connection connection;
    std::unique_ptr<RawFloor> floor;
    if (backend == QLatin1String("postgresql")) {
        cluster = std::make_unique<benchseed::Cluster>();
        cluster->createDatabase(QStringLiteral("bench"));
        db::ServerAddress address;
        address.host = cluster->host();
        address.name = QStringLiteral("bench");
        address.user = QStringLiteral("zelvo");
        connection.openPostgres(address);
        benchseed::addStudents(connection, size);
        floor = postgresFloor(address.host, address.name, address.user);
    } else {
        benchseed::openSeeded(connection, directory.path(), size);
        floor = sqliteFloor(connection.filePath());
    }
    const Step steps[] = {
        {"timesheet", layerTimesheet, floorTimesheet, ChainStep::Timesheet},
        {"accrual", layerAccrual, floorAccrual, ChainStep::Accrual},
        {"declaration step 1", layerDeclaration, floorDeclaration, ChainStep::Declaration}};
    bool complete = true;
    for (const Step& step : steps) {
        // the better of two runs each, the layer first, on the same rows
        double layerMs = 1e12;
        double floorMs = 1e12;
        int layerRows = 0;
        int floorRows = 0;
        for (int round = 0; round < 2; ++round) {
            layerMs =
                qMin(layerMs, milliseconds([&] { return step.layer(connection); }, layerRows));
            if (floor)
                floorMs =
                    qMin(floorMs, milliseconds([&] { return step.floor(*floor); }, floorRows));
        }
        if (floor)
            std::printf("bench_backends %-10s %6d students: %-18s %8.1f ms, raw floor %8.1f ms, "
                        "ratio %.2f\n",
                        qPrintable(backend), size, step.name, layerMs, floorMs, layerMs / floorMs);
        else
            std::printf("bench_backends %-10s %6d students: %-18s %8.1f ms (no libpq: floor not "
                        "measured)\n",
                        qPrintable(backend), size, step.name, layerMs);
        const double recording = recordingMs(connection, step.chainStep);
        std::printf("bench_backends %-10s %6d students: %-18s month state recorded in %.2f ms, "
                    "%.2f %% of the run\n",
                    qPrintable(backend), size, step.name, recording, 100.0 * recording / layerMs);
        complete = complete && layerRows == size && (!floor || floorRows == size);
        if (layerRows != size || (floor && floorRows != size))
            std::fprintf(stderr, "bench_backends: %s stored %d rows, its floor %d, of %d\n",
                         step.name, layerRows, floorRows, size);
    }
    std::printf("bench_backends %-10s %6d students: peak memory %.1f MB\n", qPrintable(backend),
                size, benchseed::peakMemoryMb());
    return complete ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    try {
        if (!args.isEmpty())
            return runBackend(args.at(0), args.value(1, QStringLiteral("10000")).toInt());
        int status = 0;
        for (const QString& backend : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(QCoreApplication::applicationFilePath(), {backend});
            if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit ||
                child.exitCode() != 0)
                status = 1;
        }
        return status;
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "bench_backends: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_backends: %s\n", e.what());
    }
    return 1;
}
