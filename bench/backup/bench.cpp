// What the program's copies of its database cost: a unit of 10,000 students with a year of
// timesheet and accrual rows, copied the way the automatic copies are taken, checked the way a
// restore checks a chosen file, and restored into the live file. Prints the fastest, median and
// slowest of several runs in milliseconds and the file's size; fails when the median copy takes
// a second or more.
//
//   bench_backup             10,000 students, 5 runs of each
//   bench_backup <students> <runs>

#include "backup/backupservice.h"
#include "benchseed.h"
#include "benchtiming.h"
#include "db/connection.h"
#include "ui/dialogservice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace zelvo;

namespace {

// Twelve months of timesheet and accrual rows for every student, as a year of work leaves them.
void fillYear(db::Connection& connection)
{
    db::Transaction transaction(connection);
    for (int month = 1; month <= 12; ++month) {
        const db::Params params{{QStringLiteral("@ay"), month}};
        connection.execute(
            QStringLiteral("INSERT INTO Puantaj (idogrenci, yil, ay, gun, gun1, gun2, birimkodu) "
                           "SELECT idogrenci, '2026', @ay, 30, 30, 0, '01' FROM ogrenci"),
            params);
        connection.execute(
            QStringLiteral("INSERT INTO Tahakkuk (idogrenci, yil, ay, gun, kazanc, matrah, "
                           "isveren, isci, birimkodu) SELECT idogrenci, '2026', @ay, 30, "
                           "33030.15, 33030.15, 660.60, 0, '01' FROM ogrenci"),
            params);
    }
    transaction.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv); // the dialog service's boxes need one; none is shown
    const int students = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;
    const int runs = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 5;

    QTemporaryDir dir;
    db::Connection connection;
    benchseed::openSeeded(connection, dir.path(), students);
    fillYear(connection);
    ui::DialogService dialogs;
    backup::BackupService service(connection, dialogs, QString());

    QString copy;
    int taken = 0;
    const double copyMs = measureRuns("copy (online backup, then renamed)", runs, [&] {
        service.setClock([&taken] { return QDateTime::currentDateTime().addSecs(++taken); });
        copy = service.takeCopy(backup::BackupKind::BeforeRun);
    });
    std::printf("%d students, %d timesheet and %d accrual rows: copy of %.1f MB\n", students,
                students * 12, students * 12, double(QFileInfo(copy).size()) / 1e6);

    std::unique_ptr<backup::StagedCopy> staged;
    measureRuns("check a chosen file (copy aside, integrity)", runs,
                [&] { staged = service.copies().stage(copy); });
    measureRuns("restore into the live file", runs, [&] { service.copies().replaceWith(*staged); });

    const bool fastEnough = copyMs < 1000.0;
    std::printf("copy %s well under a second\n", fastEnough ? "is" : "is NOT");
    return fastEnough ? 0 : 1;
}
