// The three monthly steps of the standard edition as the windows run them, on one connection,
// for the benchmarks that time them; each gives the number of rows it made. The including
// program links the monthly and declaration libraries.
#pragma once

#include "core/period.h"
#include "db/dataset.h"
#include "declaration/declarationedition.h"
#include "declaration/declarationpreparation.h"
#include "monthly/accrualcomputation.h"
#include "monthly/accrualedition.h"
#include "monthly/runprogress.h"
#include "monthly/timesheetcomputation.h"

namespace benchseed {

inline int runTimesheet(zelvo::db::Connection& c, const zelvo::core::Period& period,
                        const QString& unit)
{
    using namespace zelvo::monthly;
    zelvo::db::Dataset removal(c), students(c), dayCount(c), single(c), monthView(c);
    RunProgress progress(nullptr, QStringLiteral("Puantaj"), 1000000);
    computeTimesheet(TimesheetEdition::standard(), {removal, students, dayCount, single, monthView},
                     period, unit, progress);
    return monthView.recordCount();
}

inline int runAccrual(zelvo::db::Connection& c, const zelvo::core::Period& period,
                      const QString& unit)
{
    using namespace zelvo::monthly;
    zelvo::db::Dataset parameters(c), removal(c), timesheet(c), store(c), result(c);
    parameters.setProcedure(QStringLiteral("ParametreGetir"));
    parameters.open();
    RunProgress progress(nullptr, QStringLiteral("Tahakkuk"), 1000000);
    computeAccrual(AccrualEdition::standard(), {parameters, removal, timesheet, store, result},
                   period, unit, progress);
    return result.recordCount();
}

inline int runDeclaration(zelvo::db::Connection& c, const zelvo::core::Period& period,
                          const QString& unit)
{
    using namespace zelvo::declaration;
    zelvo::db::Dataset parameters(c), removal(c), source(c), target(c), shown(c);
    parameters.setProcedure(QStringLiteral("ParametreGetir"));
    parameters.open();
    return prepareDeclaration(DeclarationEdition::standard(),
                              {parameters, removal, source, target, shown}, period, unit);
}

} // namespace benchseed
