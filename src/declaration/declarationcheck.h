// The check of a declaration before it goes to SGK: every value of the file that SGK would refuse
// (errors) and every value that is most likely a mistake (warnings), found from the same inputs
// the XML writer gets. Nothing here reads a window or the database.
#pragma once

#include "declaration/declarationinput.h"

#include <QList>
#include <QString>

#include <optional>

namespace zelvo::declaration {

enum class Severity { Error, Warning };

// One problem found. The workplace row and the parameter row have row number 0 and no student.
struct Finding {
    Severity severity = Severity::Error;
    int row = 0;           // the shown row, 1 for the first (as SIRA in the file)
    QString studentNumber; // ogrencino
    QString name;          // first name and surname; the record's name for row 0
    QString field;         // the field as the user knows it ("T.C. Kimlik No", "Gün" ...)
    QString value;         // the value as it would be written
    QString reason;        // short Turkish sentence naming the field and the value

    friend bool operator==(const Finding&, const Finding&) = default;
};

// The month's minimum wage in kuruş as the parameter row holds it (au01 .. au12). December's
// days that fall in January are priced at January's wage, and the declaration rows no longer
// say how many they are, so December is compared with the lower of the two.
struct MinimumWage {
    std::optional<qint64> month;   // auMM
    std::optional<qint64> january; // au01, read for December only
};

struct CheckResult {
    QList<Finding> findings; // errors first, then warnings; each group in row order
    int rowsChecked = 0;

    int errorCount() const;
    int warningCount() const;
    bool passed() const { return findings.isEmpty(); }
    // "2 hata, 1 uyarı"
    QString summary() const;
};

// Checks the workplace row, the parameter row (document type of the input's edition) and every
// shown row of the input as step (2) would write them.
CheckResult checkDeclaration(const DeclarationInput& input, const MinimumWage& wage);

} // namespace zelvo::declaration
