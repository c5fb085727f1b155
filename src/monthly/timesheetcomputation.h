#pragma once

#include "core/period.h"
#include "monthly/timesheetedition.h"

namespace zelvo::db {
class Dataset;
}

namespace zelvo::monthly {

class RunProgress;

// The row sets of a timesheet window that a computation uses, one per procedure.
struct TimesheetDatasets {
    db::Dataset& removal;   // SpSil: PuantajSil
    db::Dataset& students;  // SpGetir: PuantajGetir, the student list
    db::Dataset& dayCount;  // SpGun: GunHesaplaListe, every student's count
    db::Dataset& single;    // SpOzel: PuantajYaz, every student's days stored
    db::Dataset& monthView; // SpGenel: PuantajGenel, what the grid shows
};

enum class TimesheetOutcome { Computed, NoStudents };

// "Puantajı Hesapla" for a unit and a period: removes the month's rows (not in June and
// December), counts every listed student's days and stores them, then opens the month view. The
// server counts all students in one call and stores all their days in another: a student's row
// of the month is updated (its gun only), a student without one gets a new row.
// Everything runs in one transaction: a db::DbError from anywhere leaves the month as it was.
// A run that finds no student still keeps its removal. The run is recorded for the month's
// chain, in the same transaction, as made by `user`.
TimesheetOutcome computeTimesheet(const TimesheetEdition& edition, const TimesheetDatasets& sets,
                                  const core::Period& period, const QString& unit,
                                  RunProgress& progress, const QString& user = {});

} // namespace zelvo::monthly
