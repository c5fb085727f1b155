// What the two declaration files are written from: the unit's workplace row, the parameter
// row, the chosen month, the year box and the rows the declaration window shows. The records
// are plain values, so the writers do not depend on how the window reads the database.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantHash>

namespace zelvo::declaration {

enum class Edition { Standard, Gss };

// The columns of the workplace row that head the XML file. A null value reads as empty.
struct WorkplaceRecord {
    QString birimadi;      // workplace name, written as ISYERIUNVAN
    QString isyerisicil;   // workplace registration number
    QString kontrolno;     // control number
    QString isyeriaracino; // subcontractor number
    QString isyeriadres;   // address
    QString isyerivergino; // tax number

    // Takes the six columns by name, regardless of letter case; a missing or null column
    // reads as empty.
    static WorkplaceRecord fromHash(const QVariantHash& row);
};

// The columns of the parameter row that the files read.
struct ParameterRecord {
    QString belgemahiyet; // document nature
    QString belgeturu;    // document type, standard edition
    QString belgeturuyab; // document type, GSS edition
    QString kanunno;      // law number
    QString aktifyil;     // active year (the window's year box is filled from it)

    static ParameterRecord fromHash(const QVariantHash& row);
};

// One shown row: lower-case column names (yil, ay, ogrencino, adi, soyadi, ilksoyadi,
// ssksicilno, tckimlikno, baslangictarihi, bitistarihi, pek, gun, gun_1, girisgun, cikisgun,
// istencikisnedeni, sil1, stajili, stajyeri) to values that are text, whole numbers, dates
// (QDate, QDateTime or ISO "YYYY-MM-DD" text) or null. A column that a file needs and a row
// lacks stops the file with an error.
using ShownRow = QVariantHash;

struct DeclarationInput {
    WorkplaceRecord workplace;
    ParameterRecord parameters;
    int month = 0;    // the chosen month, 1 (Ocak) to 12 (Aralık)
    QString yearText; // the year box's text, unchanged
    Edition edition = Edition::Standard;
    QList<ShownRow> rows; // the shown rows, first to last
};

// A whole file as bytes, or the reason it cannot be written (Turkish, for the error box).
struct FileBytes {
    QByteArray bytes;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

} // namespace zelvo::declaration
