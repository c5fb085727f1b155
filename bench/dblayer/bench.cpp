// The database layer alone under a timesheet run's load: per student the day count
// (GunHesapla), the student's row (PuantajOzel) and an appended or edited row posted, all in one
// transaction on a database file. Prints microseconds per student and the peak memory.
//
//   bench_dblayer            1,000 and 10,000 students, each in its own process
//   bench_dblayer <count>    one size

#include "benchseed.h"
#include "db/dataset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace zelvo;

namespace {

void call(db::Dataset& dataset, const QString& procedure,
          std::initializer_list<std::pair<const char*, QVariant>> params)
{
    dataset.close();
    dataset.clearParams();
    dataset.setProcedure(procedure);
    for (const auto& [name, value] : params)
        dataset.addParam(QString::fromLatin1(name), value);
    dataset.open();
}

struct Timing {
    double wallUs;
    double cpuUs;
};

// One pass over the period's students, storing each count less `shift` (so that a second pass
// changes every row); returns the microseconds per student.
Timing pass(db::Connection& connection, int shift, int& appended, int& edited)
{
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = benchseed::cpuSeconds();
    db::Transaction transaction(connection);
    db::Dataset students(connection);
    db::Dataset dayCount(connection);
    db::Dataset single(connection);
    call(students, QStringLiteral("PuantajGetir"),
         {{"@key1", QStringLiteral("15-03-2026")},
          {"@key2", QStringLiteral("14-04-2026")},
          {"@key3", QStringLiteral("01")}});
    const int count = students.recordCount();
    for (int row = 0; row < count; ++row) {
        const QVariant id = students.valueAt(row, 0);
        call(dayCount, QStringLiteral("GunHesapla"),
             {{"@key1", QStringLiteral("2026-03-15")},
              {"@key2", QStringLiteral("2026-04-14")},
              {"@key3", id},
              {"@key4", 3},
              {"@key5", QStringLiteral("2026")}});
        const int days = qMin(dayCount.value(QStringLiteral("gun")).toInt(), 30);
        call(single, QStringLiteral("PuantajOzel"),
             {{"@key1", QStringLiteral("2026")}, {"@key2", 3}, {"@key3", id.toString()}});
        if (single.isEmpty()) {
            single.append();
            single.setValue(QStringLiteral("idogrenci"), id);
            single.setValue(QStringLiteral("yil"), QStringLiteral("2026"));
            single.setValue(QStringLiteral("ay"), 3);
            single.setValue(QStringLiteral("birimkodu"), QStringLiteral("01"));
            ++appended;
        } else {
            single.edit();
            ++edited;
        }
        single.setValue(QStringLiteral("gun"), days - shift);
        single.post();
        single.close();
    }
    transaction.commit();
    if (count == 0)
        return {0, 0};
    return {double(clock.nsecsElapsed()) / 1000.0 / count,
            (benchseed::cpuSeconds() - cpuBefore) * 1e6 / count};
}

int runOne(int size)
{
    QTemporaryDir directory;
    db::Connection connection;
    benchseed::openSeeded(connection, directory.path(), size);
    int appended = 0;
    int edited = 0;
    const Timing appending = pass(connection, 0, appended, edited);
    const Timing editing = pass(connection, 1, appended, edited);
    std::printf("bench_dblayer %6d students: append+post %6.1f us/student (%7.1f ms, cpu %6.1f "
                "us), edit+post %6.1f us/student (%7.1f ms, cpu %6.1f us), peak memory %.1f MB\n",
                size, appending.wallUs, appending.wallUs * size / 1000.0, appending.cpuUs,
                editing.wallUs, editing.wallUs * size / 1000.0, editing.cpuUs,
                benchseed::peakMemoryMb());
    return appended == size && edited == size ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    try {
        if (argc > 1)
            return runOne(QString::fromLocal8Bit(argv[1]).toInt());
        return benchseed::runEachSizeApart(QCoreApplication::applicationFilePath(), {1000, 10000});
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "bench_dblayer: %s\n", e.what());
        return 1;
    }
}
