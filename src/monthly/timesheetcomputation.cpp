#include "monthly/timesheetcomputation.h"

#include "monthly/daycount.h"
#include "monthly/monthchain.h"
#include "monthly/runprogress.h"
#include "monthly/unitmonthcall.h"

#include "core/wholenumber.h"
#include "db/dataset.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace zelvo::monthly {

namespace {

// G, the server's count: a whole number or the conversion error; a count the server could not
// make (NULL, read as '') stops the run as well.
int wholeNumber(const QVariant& value)
{
    return int(core::requireWholeNumber(value.toString().trimmed()));
}

QJsonValue isoDay(const QDate& date)
{
    return date.isValid() ? QJsonValue(date.toString(QStringLiteral("yyyy-MM-dd"))) : QJsonValue();
}

} // namespace

TimesheetOutcome computeTimesheet(const TimesheetEdition& edition, const TimesheetDatasets& sets,
                                  const core::Period& period, const QString& unit,
                                  RunProgress& progress, const QString& user)
{
    for (db::Dataset* dataset :
         {&sets.removal, &sets.students, &sets.dayCount, &sets.single, &sets.monthView})
        dataset->close();
    // a year that is no whole number stops every month before anything changes
    period.requireWholeYear();
    const QString year = period.year();
    const int month = period.month();
    const QDate first = period.firstDay();
    const QDate last = period.lastDay();

    const UnitMonthCall call(year, month, unit);
    db::Transaction transaction(sets.removal.connection());
    // a second workstation computing the same unit and month waits for this one to finish
    call.lockStep(sets.removal.connection(), QStringLiteral("Puantaj hesabı"));
    // June and December keep their rows, so hand-set old/new wage days survive a new run
    if (month != 6 && month != 12)
        call.run(sets.removal, edition.procedure(QStringLiteral("PuantajSil")));

    db::Dataset& students = sets.students;
    students.prepareCall(
        edition.procedure(QStringLiteral("PuantajGetir")),
        {{u"@key1"_s, period.startDmy()}, {u"@key2"_s, period.endDmy()}, {u"@key3"_s, unit}});
    students.open();
    const MonthKey key{year, month, unit, !edition.suffix.isEmpty()};
    if (students.recordCount() < 1) {
        recordRun(sets.removal.connection(), key, ChainStep::Timesheet, user, 0, &period);
        transaction.commit();
        return TimesheetOutcome::NoStudents;
    }

    const int idColumn = students.requireColumn(QStringLiteral("idogrenci"));
    const int startColumn = students.requireColumn(QStringLiteral("baslangictarihi"));
    const int endColumn = students.requireColumn(QStringLiteral("bitistarihi"));
    const int count = students.recordCount();

    // the server counts every internship cut to the period, all students in one call: a date
    // before the first day is sent as the first day, one after the last day as the last day
    QJsonArray spans;
    for (int row = 0; row < count; ++row) {
        const QDate start = students.valueAt(row, startColumn).toDate();
        const QDate end = students.valueAt(row, endColumn).toDate();
        spans.append(QJsonArray{
            compareDates(start, first) < 0 ? QJsonValue(period.startYmd()) : isoDay(start),
            compareDates(end, last) > 0 ? QJsonValue(period.endYmd()) : isoDay(end),
            students.valueAt(row, idColumn).toString()});
    }
    db::Dataset& dayCount = sets.dayCount;
    dayCount.prepareCall(
        QStringLiteral("GunHesaplaListe"),
        {{u"@key1"_s, compactJson(spans)}, {u"@key2"_s, month}, {u"@key3"_s, year}});
    dayCount.open();
    const int countColumn = dayCount.requireColumn(QStringLiteral("gun"));
    if (dayCount.recordCount() != count)
        throw db::DbError(QStringLiteral("GunHesaplaListe %1 öğrenci için %2 gün sayısı verdi")
                              .arg(count)
                              .arg(dayCount.recordCount()));

    // each student's days by the timesheet's rules, then all of them stored in one call
    const QJsonArray days = collectRows(count, progress, [&](int row) {
        const QDate start = students.valueAt(row, startColumn).toDate();
        const QDate end = students.valueAt(row, endColumn).toDate();
        const int counted = timesheetDays(start, end, first, last, [&dayCount, row, countColumn] {
            return wholeNumber(dayCount.valueAt(row, countColumn));
        });
        return QJsonArray{students.valueAt(row, idColumn).toLongLong(), counted};
    });
    sets.dayCount.close();
    call.storeThenOpen(sets.single, QStringLiteral("PuantajYaz"), days, sets.monthView,
                       edition.procedure(QStringLiteral("PuantajGenel")), edition.monthViewColumns);
    recordRun(sets.removal.connection(), key, ChainStep::Timesheet, user, count, &period);
    transaction.commit();
    return TimesheetOutcome::Computed;
}

} // namespace zelvo::monthly
