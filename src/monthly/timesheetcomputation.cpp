#include "timesheetcomputation.h"

#include "daycount.h"
#include "runprogress.h"

#include <dataset.h>

namespace {

// G, the server's count: a whole number or the conversion error.
int wholeNumber(const QVariant& value)
{
    bool ok = false;
    const int number = value.isNull() ? 0 : value.toString().toInt(&ok);
    if (!ok)
        throw db::DbError(
            QStringLiteral("'%1' is not a valid integer value").arg(value.toString()));
    return number;
}

void storeDays(const TimesheetEdition& edition, db::Dataset& single, const Period& period,
               const QString& unit, const QVariant& student, int days)
{
    single.prepareCall(
        edition.procedure(QStringLiteral("PuantajOzel")),
        {{"@key1", period.year()}, {"@key2", period.month()}, {"@key3", student.toString()}});
    single.open();
    if (!single.isEmpty()) {
        single.edit();
        single.setValue(QStringLiteral("gun"), days); // gun1 and gun2 stay as they are
    } else {
        single.append();
        single.setValue(QStringLiteral("idogrenci"), student);
        single.setValue(QStringLiteral("yil"), period.year());
        single.setValue(QStringLiteral("ay"), period.month());
        single.setValue(QStringLiteral("gun"), days);
        single.setValue(QStringLiteral("birimkodu"), unit);
    }
    single.post();
    single.close();
}

} // namespace

TimesheetOutcome computeTimesheet(const TimesheetEdition& edition, const TimesheetDatasets& sets,
                                  const Period& period, const QString& unit, RunProgress& progress)
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

    db::Transaction transaction(sets.removal.connection());
    // a second workstation computing the same unit and month waits for this one to finish
    sets.removal.connection().lockStep(
        QStringLiteral("Puantaj hesabı"),
        QStringLiteral("birim %1, %2/%3").arg(unit, year).arg(month));
    // June and December keep their rows, so hand-set old/new wage days survive a new run
    if (month != 6 && month != 12) {
        sets.removal.prepareCall(edition.procedure(QStringLiteral("PuantajSil")),
                                 {{"@key1", year}, {"@key2", month}, {"@key3", unit}});
        sets.removal.execProc();
    }

    db::Dataset& students = sets.students;
    students.prepareCall(
        edition.procedure(QStringLiteral("PuantajGetir")),
        {{"@key1", period.startDmy()}, {"@key2", period.endDmy()}, {"@key3", unit}});
    students.open();
    if (students.recordCount() < 1) {
        transaction.commit();
        return TimesheetOutcome::NoStudents;
    }

    const int idColumn = students.requireColumn(QStringLiteral("idogrenci"));
    const int startColumn = students.requireColumn(QStringLiteral("baslangictarihi"));
    const int endColumn = students.requireColumn(QStringLiteral("bitistarihi"));
    const int count = students.recordCount();
    progress.setTotal(count);
    for (int row = 0; row < count; ++row) {
        const QVariant student = students.valueAt(row, idColumn);
        const QDate start = students.valueAt(row, startColumn).toDate();
        const QDate end = students.valueAt(row, endColumn).toDate();

        // the server counts the internship cut to the period
        db::Dataset& dayCount = sets.dayCount;
        dayCount.prepareCall(QStringLiteral("GunHesapla"), {{"@key1", start},
                                                            {"@key2", end},
                                                            {"@key3", student},
                                                            {"@key4", month},
                                                            {"@key5", year}});
        if (compareDates(start, first) < 0)
            dayCount.setParam(QStringLiteral("@key1"), period.startYmd());
        if (compareDates(end, last) > 0)
            dayCount.setParam(QStringLiteral("@key2"), period.endYmd());
        dayCount.open();

        const int days = timesheetDays(start, end, first, last, [&dayCount] {
            return wholeNumber(dayCount.value(QStringLiteral("gun")));
        });
        storeDays(edition, sets.single, period, unit, student, days);
        progress.advance(row + 1);
    }
    sets.dayCount.close();

    sets.monthView.prepareCall(edition.procedure(QStringLiteral("PuantajGenel")),
                               {{"@key1", year}, {"@key2", month}, {"@key3", unit}});
    sets.monthView.open();
    for (const QString& column : edition.monthViewColumns)
        sets.monthView.requireColumn(column);
    transaction.commit();
    return TimesheetOutcome::Computed;
}
