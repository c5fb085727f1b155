#pragma once

#include "core/period.h"
#include "monthly/accrualedition.h"

#include <optional>

namespace zelvo::db {
class Dataset;
}
class QVariant;

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

enum class AccrualOutcome { Accrued, NoTimesheet };

// A minimum wage as the parameter row holds it; nothing when empty or not a number.
std::optional<double> wageValue(const QVariant& value);

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
