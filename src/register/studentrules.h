// What a student row must be before it is stored, wherever it comes from: typed into the
// register, read from a spreadsheet, or about to go into a declaration.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace zelvo::studentregister {

// A column of the student row the rules know: its name, the name the user knows it by (the
// register grid's title) and the characters the database column holds (0: not a text).
struct StudentField {
    QString column;
    QString title;
    int width = 0;
};

// The student row's columns in the order of the register grid, then those only carried.
const QList<StudentField>& studentFields();
// The field of a column (by its lower-case name); nullptr when the rules do not know it.
const StudentField* studentField(QStringView column);

// What is wrong with an identity number.
enum class IdentityFault { Empty, NotElevenDigits, LeadingZero, CheckDigits };

std::optional<IdentityFault> identityFault(QStringView text);
// Whether text is a Turkish identity number: 11 digits, the first not 0, the tenth
// ((d1+d3+d5+d7+d9)*7 - (d2+d4+d6+d8)) mod 10 and the eleventh (d1+...+d10) mod 10.
inline bool isValidIdentityNumber(QStringView text)
{
    return !identityFault(text).has_value();
}
// "T.C. Kimlik No doğrulama haneleri tutmuyor (12345678901)"; the value as `shownValue` gives
// it, left out for an empty number.
QString identityFaultText(IdentityFault fault, const QString& field, const QString& shownValue);

// Why a text cannot go into its column: a character Windows-1254 cannot hold, a control
// character, or more characters than the column holds. Empty when it can.
QString textProblem(const QString& field, QStringView value, int width);

// "Bitiş tarihi (01.02.2026) Başlangıç Tarihi'nden (03.02.2026) önce"; empty when the end is
// not before the start or either is missing.
QString dateOrderProblem(const QDate& start, const QDate& end);

// A date column's value as a date: a QDate, or text in the database's YYYY-MM-DD form.
QDate storedDate(const QVariant& value);

// One thing wrong with a row.
struct RuleViolation {
    QString column;
    QString text;
    // The identity number fails only its own rule: a person may still decide to store it.
    bool identityOnly = false;

    friend bool operator==(const RuleViolation&, const RuleViolation&) = default;
};

// The values of one row by lower-case column name; a column not present is not checked.
using StudentValues = QHash<QString, QVariant>;

// Every rule of the student row: texts within their columns and writable, the identity number,
// the dates in order, the status one of `statusCodes` (unchecked when that list is empty).
// `identityRequired` makes an empty identity number a fault too.
QList<RuleViolation> checkStudent(const StudentValues& row, const QStringList& statusCodes,
                                  bool identityRequired);

} // namespace zelvo::studentregister
