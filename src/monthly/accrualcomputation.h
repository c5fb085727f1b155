#pragma once

#include "core/period.h"
#include "monthly/accrualedition.h"

namespace zelvo::db {
class Dataset;
}

namespace zelvo::monthly {

class RunProgress;

// The row sets of an accrual window that a run uses, one per procedure.
struct AccrualDatasets {
    db::Dataset& parameters; // SpParametre: ParametreGetir, read again by every run
    db::Dataset& removal;    // SpSil: TahakkukSil
    db::Dataset& timesheet;  // SpGenel: PuantajGenel
    db::Dataset& store;      // SpOzel: TahakkukekleListe, every row stored at once
    db::Dataset& result;     // SpGenel1: TahakkukGenel, what the grid shows
};

// The minimum wage of a month in kuruş, column "au" + MM of the open parameter row. A wage that
// is missing or no amount stops the run before anything changes, with the month named.
qint64 monthWageKurus(const db::Dataset& parameters, int month);

enum class AccrualOutcome { Accrued, NoTimesheet };

// "Tahakkuk Ettir" for a unit and a month: removes the month's accrual rows, prices every
// timesheet row with the month's minimum wage (December: old-wage days at December's wage and
// new-wage days at January's), has the server store the rows (all in one call, each as
// Tahakkukekle would), then opens the month's accrual.
// Everything runs in one transaction: a db::DbError from anywhere leaves the month as it was.
// A month without timesheet rows still keeps its removal. The wages are read from the
// parameter row inside the run's transaction, whatever the window read before; the run is
// recorded for the month's chain, in the same transaction, as made by `user`.
AccrualOutcome computeAccrual(const AccrualEdition& edition, const AccrualDatasets& sets,
                              const core::Period& period, const QString& unit,
                              RunProgress& progress, const QString& user = {});

} // namespace zelvo::monthly
