// Workstations at once on one private PostgreSQL server, each a process of its own with its own
// connection, spread over four units; workstations 0 and 4 (and 8, 12) share unit 01 and its
// month. For a fixed time each repeats: edit a student (half of the time the one its unit's
// other workstations edit as well), run March's timesheet, accrual and declaration step 1, read
// List-1. At the end it checks that no monthly row is doubled, that every unit's month equals a
// fresh run over the same register, and that every edit was either stored or refused: each
// student's row version rose by exactly the stores its workstations were told succeeded. Then
// it prints each monthly step's server round trips at 100 and 10,000 students, and its time
// through a proxy that delays every packet by 10 ms each way.
//
//   bench_workstations [SECONDS] [N ...]          8 and 16 workstations, 20 s each
//   bench_workstations worker HOST DATABASE INDEX SECONDS   one workstation (started by the above)

#include "benchcluster.h"
#include "benchseed.h"
#include "db/dataset.h"
#include "db/serveraccount.h"
#include "declaration/declarationedition.h"
#include "declaration/declarationpreparation.h"
#include "delayproxy.h"
#include "monthly/accrualcomputation.h"
#include "monthly/accrualedition.h"
#include "monthly/runprogress.h"
#include "monthly/timesheetcomputation.h"
#include "monthsteps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <cstdio>

using namespace zelvo;
using namespace zelvo::monthly;
using zelvo::core::Period;

namespace {

const QStringList Units = {QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"),
                           QStringLiteral("04")};
constexpr int StudentsPerUnit = 300;
const Period March(QStringLiteral("2026"), 3);

db::ServerAddress addressOf(const QString& host, const QString& database)
{
    db::ServerAddress address;
    address.host = host;
    address.name = database;
    address.user = QStringLiteral("zelvo");
    return address;
}

// A workstation signs in as a staff user of its unit, as the program does on a shared server, so
// that the row policies are part of what is measured. The installer makes the users.
const QString UserPassword = QStringLiteral("bench.26");
QString unitUser(const QString& database, const QString& unit)
{
    QString digits = database;
    digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
    return QStringLiteral("u%1%2%3").arg(unit, database.left(1), digits);
}
void addUnitUser(db::Connection& installer, const QString& database, const QString& unit)
{
    db::addServerUser(installer, {unitUser(database, unit), unit, false, {}}, UserPassword);
}
db::ServerAddress unitAddress(const QString& host, const QString& database, const QString& unit)
{
    db::ServerAddress address = addressOf(host, database);
    address.user = unitUser(database, unit);
    address.password = UserPassword;
    return address;
}

void runTimesheet(db::Connection& c, const QString& unit)
{
    benchseed::runTimesheet(c, March, unit);
}

void runAccrual(db::Connection& c, const QString& unit)
{
    benchseed::runAccrual(c, March, unit);
}

void runDeclaration(db::Connection& c, const QString& unit)
{
    benchseed::runDeclaration(c, March, unit);
}

void readList(db::Connection& c, const QString& unit)
{
    db::Dataset list(c);
    list.prepareCall(QStringLiteral("Liste1"), {{QStringLiteral("@key1"), March.year()},
                                                {QStringLiteral("@key2"), March.month()},
                                                {QStringLiteral("@key3"), unit}});
    list.open();
}

QString studentNumber(const QString& unit, int i)
{
    return QStringLiteral("%1").arg(20260000 + (unit.toLongLong() - 1) * 1000000 + i, 10, 10,
                                    QLatin1Char('0'));
}

// One workstation: prints its counts as "key value" lines and "stored <idogrenci> <n>".
int worker(const QString& host, const QString& database, int index, int seconds)
{
    const QString unit = Units.at(index % Units.size());
    db::Connection c;
    c.openPostgres(unitAddress(host, database, unit));
    QHash<QString, int> counts;
    QHash<qint64, int> stored;
    qint64 waitedMs = 0;
    QElapsedTimer waitClock;
    c.setStepWaitNotice([&](const QString&) { waitClock.start(); });
    QRandomGenerator random(quint32(index + 1));
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; clock.elapsed() < seconds * 1000; ++round) {
        const int action = round % 5;
        try {
            if (action == 0) {
                // the unit's first student, whom its other workstations edit too, half of the time
                const int i = random.bounded(2) ? 0 : 1 + random.bounded(StudentsPerUnit - 1);
                db::Dataset student(c);
                student.prepareCall(QStringLiteral("OgrenciGetirOgrenciNo"),
                                    {{QStringLiteral("@key1"), unit},
                                     {QStringLiteral("@key2"), studentNumber(unit, i)}});
                student.open();
                // what the user reads before typing: another workstation may store meanwhile
                QThread::msleep(50 + random.bounded(200));
                student.setValue(QStringLiteral("ilksoyadi"),
                                 QStringLiteral("w%1-%2").arg(index).arg(round));
                try {
                    student.post();
                    ++stored[student.value(QStringLiteral("idogrenci")).toLongLong()];
                    ++counts[QStringLiteral("edits_stored")];
                } catch (const db::RowConflict&) {
                    ++counts[QStringLiteral("edits_refused")];
                }
                continue;
            }
            waitClock.invalidate();
            if (action == 1)
                runTimesheet(c, unit);
            else if (action == 2)
                runAccrual(c, unit);
            else if (action == 3)
                runDeclaration(c, unit);
            else
                readList(c, unit);
            ++counts[action == 4 ? QStringLiteral("lists_read") : QStringLiteral("runs")];
            if (waitClock.isValid()) {
                ++counts[QStringLiteral("runs_waited")];
                waitedMs += waitClock.elapsed();
            }
        } catch (const db::StepRefused&) {
            ++counts[QStringLiteral("runs_refused")];
        } catch (const db::DbError& e) {
            ++counts[QStringLiteral("errors")];
            std::fprintf(stderr, "workstation %d: %s\n", index, e.what());
        }
    }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        std::printf("%s %d\n", qPrintable(it.key()), it.value());
    std::printf("waited_ms %lld\n", static_cast<long long>(waitedMs));
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        std::printf("stored %lld %d\n", static_cast<long long>(it.key()), it.value());
    return 0;
}

QStringList rows(db::Connection& c, const QString& sql, const QString& unit = {})
{
    QStringList out;
    for (const auto& row : c.query(sql, {{QStringLiteral("@u"), unit}}).rows) {
        QStringList fields;
        for (const QVariant& v : row)
            fields << v.toString();
        out << fields.join(QLatin1Char('|'));
    }
    return out;
}

const QString TimesheetRows = QStringLiteral(
    "SELECT idogrenci, gun, gun1, gun2 FROM puantaj WHERE birimkodu = @u AND yil = '2026' AND "
    "ay = 3 ORDER BY idogrenci");
const QString AccrualRows = QStringLiteral(
    "SELECT idogrenci, gun, kazanc, matrah FROM tahakkuk WHERE birimkodu = @u AND yil = '2026' "
    "AND ay = 3 ORDER BY idogrenci");

int load(const benchseed::Cluster& cluster, int workstations, int seconds)
{
    const QString database = QStringLiteral("load%1").arg(workstations);
    cluster.createDatabase(database);
    db::Connection c;
    c.openPostgres(addressOf(cluster.host(), database));
    for (const QString& unit : Units) {
        if (unit != Units.first()) {
            c.execute(QStringLiteral("INSERT INTO birim (birimkodu, birimadi) VALUES (@u, @u)"),
                      {{QStringLiteral("@u"), unit}});
            c.execute(QStringLiteral(
                          "INSERT INTO isyeri (birimkodu, birimadi, isyerisicil, kontrolno, "
                          "isyeriaracino, isyeriunvani, isyeriadres, isyerivergino, vergidairesi) "
                          "SELECT @u, birimadi, isyerisicil, kontrolno, isyeriaracino, "
                          "isyeriunvani, isyeriadres, isyerivergino, vergidairesi FROM isyeri "
                          "WHERE birimkodu = '01'"),
                      {{QStringLiteral("@u"), unit}});
        }
        benchseed::addStudents(c, StudentsPerUnit, unit);
        addUnitUser(c, database, unit);
    }
    // a server in use has its tables' statistics (autovacuum gathers them within a minute of a
    // large change); without them the 300-student joins are planned as nested loops
    c.applyScript(QStringLiteral("ANALYZE"));
    const QHash<QString, qint64> before = [&] {
        QHash<QString, qint64> versions;
        for (const QString& row : rows(c, QStringLiteral("SELECT idogrenci, surum FROM ogrenci")))
            versions.insert(row.section(QLatin1Char('|'), 0, 0),
                            row.section(QLatin1Char('|'), 1).toLongLong());
        return versions;
    }();

    QList<QProcess*> children;
    for (int i = 0; i < workstations; ++i) {
        auto* child = new QProcess(qApp);
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("worker"), cluster.host(), database, QString::number(i),
                      QString::number(seconds)});
        children << child;
    }
    QHash<QString, qint64> totals;
    QHash<QString, qint64> storedPerStudent;
    bool finished = true;
    for (QProcess* child : children) {
        finished = child->waitForFinished(seconds * 1000 + 120000) &&
                   child->exitStatus() == QProcess::NormalExit && child->exitCode() == 0 &&
                   finished;
        for (const QString& line : QString::fromUtf8(child->readAllStandardOutput())
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.first() == QLatin1String("stored"))
                storedPerStudent[parts.at(1)] += parts.at(2).toLongLong();
            else
                totals[parts.first()] += parts.at(1).toLongLong();
        }
        delete child;
    }

    // no monthly row twice
    const int doubled =
        rows(c, QStringLiteral("SELECT 1 FROM puantaj GROUP BY idogrenci, yil, ay HAVING count(*) "
                               "> 1 UNION ALL SELECT 1 FROM tahakkuk GROUP BY idogrenci, yil, ay "
                               "HAVING count(*) > 1 UNION ALL SELECT 1 FROM xml GROUP BY "
                               "idogrenci, yil, ay HAVING count(*) > 1"))
            .size();
    // every unit's month as a fresh run makes it (the edits touch no column the runs read)
    int differentMonths = 0;
    for (const QString& unit : Units) {
        const QStringList timesheet = rows(c, TimesheetRows, unit);
        const QStringList accrual = rows(c, AccrualRows, unit);
        if (timesheet.isEmpty())
            continue; // no run of this unit finished
        runTimesheet(c, unit);
        runAccrual(c, unit);
        if (rows(c, TimesheetRows, unit) != timesheet || rows(c, AccrualRows, unit) != accrual)
            ++differentMonths;
    }
    // every store the workstations were told of raised the row's version once, and no other did
    int lost = 0;
    for (const QString& row : rows(c, QStringLiteral("SELECT idogrenci, surum FROM ogrenci"))) {
        const QString id = row.section(QLatin1Char('|'), 0, 0);
        if (row.section(QLatin1Char('|'), 1).toLongLong() - before.value(id) !=
            storedPerStudent.value(id))
            ++lost;
    }
    const qint64 waited = totals.value(QStringLiteral("runs_waited"));
    std::printf("bench_workstations %2d workstations, %d s: %lld runs, %lld lists read, %lld runs "
                "waited (%.0f ms on average, waiting and running), %lld refused; %lld edits "
                "stored, %lld refused; %lld errors; %d doubled rows, %d months unlike a fresh "
                "run, %d students whose stores do not add up\n",
                workstations, seconds, totals.value(QStringLiteral("runs")),
                totals.value(QStringLiteral("lists_read")), waited,
                waited ? double(totals.value(QStringLiteral("waited_ms"))) / double(waited) : 0.0,
                totals.value(QStringLiteral("runs_refused")),
                totals.value(QStringLiteral("edits_stored")),
                totals.value(QStringLiteral("edits_refused")),
                totals.value(QStringLiteral("errors")), doubled, differentMonths, lost);
    return finished && doubled == 0 && differentMonths == 0 && lost == 0 &&
                   totals.value(QStringLiteral("errors")) == 0
               ? 0
               : 2;
}

// The server round trips and the time of each monthly step at 100 and at 10,000 students, the
// client speaking to the server through a proxy that delays every packet by 10 ms each way.
int roundTrips(const benchseed::Cluster& cluster)
{
    DelayProxy proxy(cluster.host() + QStringLiteral("/.s.PGSQL.5432"), 10);
    struct Step {
        const char* name;
        void (*run)(db::Connection&, const QString&);
    };
    const Step steps[] = {{"timesheet", runTimesheet},
                          {"accrual", runAccrual},
                          {"declaration step 1", runDeclaration},
                          {"List-1", readList}};
    QHash<QString, int> smallTrips;
    bool fine = true;
    for (int size : {100, 10000}) {
        const QString database = QStringLiteral("trips%1").arg(size);
        cluster.createDatabase(database);
        {
            db::Connection seed;
            seed.openPostgres(addressOf(cluster.host(), database));
            benchseed::addStudents(seed, size);
            addUnitUser(seed, database, Units.first());
        }
        db::ServerAddress address =
            unitAddress(QStringLiteral("127.0.0.1"), database, Units.first());
        address.port = proxy.port();
        address.sslmode = QStringLiteral("disable");
        db::Connection c;
        c.openPostgres(address);
        for (const Step& step : steps) {
            proxy.resetCount();
            QElapsedTimer clock;
            clock.start();
            step.run(c, Units.first());
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            const int trips = proxy.roundTrips();
            std::printf("bench_workstations %5d students: %-18s %3d round trips, %7.1f ms "
                        "through 10 ms each way\n",
                        size, step.name, trips, ms);
            if (size == 100)
                smallTrips.insert(QString::fromLatin1(step.name), trips);
            else
                fine = fine && trips <= smallTrips.value(QString::fromLatin1(step.name)) &&
                       ms < 2000.0;
        }
    }
    return fine ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("worker"))
            return worker(args.value(1), args.value(2), args.value(3).toInt(),
                          args.value(4).toInt());
        const int seconds = args.isEmpty() ? 20 : args.at(0).toInt();
        QList<int> sizes;
        for (const QString& n : args.mid(1))
            sizes << n.toInt();
        if (sizes.isEmpty())
            sizes = {8, 16};
        benchseed::Cluster cluster;
        int status = 0;
        for (int n : sizes)
            status = qMax(status, load(cluster, n, seconds));
        return qMax(status, roundTrips(cluster));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_workstations: %s\n", e.what());
    }
    return 1;
}
