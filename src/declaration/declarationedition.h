// What tells the two declaration windows apart: the standard one ("XML dosyası") and the one of
// the general health insurance ("(GSS) - XML Dosyası"), which works through the procedures whose
// names end in "xxx" instead of the two direct statements.
#pragma once

#include "declaration/declarationinput.h"

#include <QString>
#include <QStringList>

namespace zelvo::declaration {

struct DeclarationEdition {
    QString instanceName; // the window's object name
    Edition files;        // which edition of the XML and CSV files is written
    QString suffix;       // appended to the edition's own procedures
    QString title;        // `StaticText1`
    QString initialYear;  // the year box until the first activation
    // The standard edition removes and fetches with direct statements; the GSS edition calls
    // XmlSilxxx and XmlListe1xxx.
    bool directStatements = true;
    // Columns of the workplace row that must be present as soon as it is opened.
    QStringList workplaceColumnsAtActivation;

    QString procedure(const QString& name) const { return name + suffix; }

    static const DeclarationEdition& standard();
    static const DeclarationEdition& gss();
};

} // namespace zelvo::declaration
