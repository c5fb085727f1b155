#pragma once

#include <QList>
#include <QString>

namespace zelvo::lists {

// What tells the four list windows apart. List-1 and List-2 differ in title and template file;
// the GSS editions read the rows of the general health insurance students (`Liste1xxx`).
struct ListVariant {
    QString className;    // "TFrmListe1", as the main window asks for it
    QString instanceName; // the window's object name, "FrmListe1"
    QString title;        // `StaticText1`
    QString procedure;    // the list rows: `Liste1` or `Liste1xxx`
    bool isGss() const { return procedure.endsWith(QLatin1String("xxx")); }
    QString templateFile; // read from the template folder at every run with rows
    QString initialYear;  // the year box until the first activation

    static const ListVariant& liste1();
    static const ListVariant& liste2();
    static const ListVariant& liste1Gss();
    static const ListVariant& liste2Gss();
    static const QList<const ListVariant*>& all();
};

} // namespace zelvo::lists
