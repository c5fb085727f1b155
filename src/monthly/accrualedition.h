#pragma once

#include "controls/datasetmodel.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace zelvo::monthly {

// What tells the two accrual windows apart: the standard one and the one of the general health
// insurance (GSS), which calls the procedures of the same name followed by "xxx".
struct AccrualEdition {
    QString instanceName;         // the window's object name
    QString suffix;               // appended to the edition's own procedures
    QString title;                // `StaticText1`
    QString initialYear;          // the year box until the first activation
    QStringList timesheetColumns; // must all be in the timesheet rows
    QStringList resultColumns;    // must all be in the accrual rows
    QVector<controls::GridColumn> gridColumns;

    QString procedure(const QString& name) const { return name + suffix; }

    static const AccrualEdition& standard();
    static const AccrualEdition& gss();
};

} // namespace zelvo::monthly
