#pragma once

#include <QString>
#include <QStringList>

namespace zelvo::monthly {

// What tells the two timesheet windows apart: the standard one and the one of the general
// health insurance (GSS), which calls the procedures of the same name followed by "xxx".
struct TimesheetEdition {
    QString instanceName;         // the window's object name
    QString suffix;               // appended to the edition's own procedures
    QString firstTitle;           // the title before the first month click
    QString editionLabel;         // `Label2` left of the title; empty: none
    bool hidesMainWindow;         // at every activation
    QString initialYear;          // the year box until the first activation
    QStringList monthViewColumns; // must all be in the month view

    QString procedure(const QString& name) const { return name + suffix; }

    static const TimesheetEdition& standard();
    static const TimesheetEdition& gss();
};

} // namespace zelvo::monthly
