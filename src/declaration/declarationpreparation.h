// Step (1) of the declaration window, "(1) Hesapla": the month's declaration rows of the unit
// rebuilt from its accrual rows and students.
#pragma once

#include "core/period.h"
#include "declaration/declarationedition.h"

namespace zelvo::db {
class Dataset;
}

namespace zelvo::declaration {

// The datasets of a declaration window that step (1) uses.
struct PreparationDatasets {
    db::Dataset& parameters; // SpParametre: ParametreGetir, read again by every run
    db::Dataset& removal;    // QSil (standard) or XmlSilxxx (GSS)
    db::Dataset& source;     // QGenel1 (standard) or XmlListe1xxx (GSS)
    db::Dataset& target;     // SpXml: XmlGetir(xxx), the rows are appended to it
    db::Dataset& shown;      // SpXmlListe2: XmlListe2(xxx), what the grid shows
};

// The declaration table's columns in the order step (1) writes a row's values.
const QStringList& declarationColumns();

// The standard edition's two statements. Year, month and unit are bound as @yil (text), @ay
// (whole number) and @birimkodu (text), so a unit code such as "01" is compared as the text it
// is and nothing typed into a year can change the statement.
QString removalStatement();
QString sourceStatement();

// Removes the month's declaration rows of the edition's students, appends one row per accrual
// row of the month (ordered by student number, first name and surname) with its entry and exit
// days, reason code and premium base texts, then opens the shown rows and returns their number.
// The removal and the insertions are one transaction: a db::DbError from any of them leaves the
// month's rows as they were. A year text that is not a whole number stops the step before
// anything changes, in every month. The run is recorded for the month's chain, in the same
// transaction, as made by `user`; the reason code is read from the parameter row inside it.
int prepareDeclaration(const DeclarationEdition& edition, const PreparationDatasets& sets,
                       const core::Period& period, const QString& unit, const QString& user = {});

// Opens the shown rows (XmlListe2 or XmlListe2xxx) of the month and unit.
void openShownRows(const DeclarationEdition& edition, db::Dataset& shown,
                   const core::Period& period, const QString& unit);

} // namespace zelvo::declaration
