// The information file of the declaration: the shown rows as semicolon-separated text for a
// spreadsheet, in Windows-1254 with CRLF line ends.
#pragma once

#include "declaration/declarationinput.h"

#include <QString>

namespace zelvo::declaration {

// The whole file: a title line, then one line per shown row (n, yil, ay, ogrencino, adi,
// soyadi, ssksicilno, tckimlikno, baslangictarihi, bitistarihi, gun, entry date, exit date,
// and in the standard edition stajili and stajyeri), every field followed by ";" and every
// data line by one more ";". The entry and exit dates are rebuilt from girisgun and cikisgun
// ("DDMM") with the year box's text: "DD-MM-" + year. The GSS edition leaves out the two
// internship place columns. Only the year box and the rows are read.
// Fields are written as they stand, except that a field holding ";", '"', a carriage return
// or a line feed is put between double quotes with its own double quotes doubled, so that it
// stays one field.
// Fails (no bytes) when a column is missing or a value holds a character that Windows-1254
// cannot hold.
FileBytes buildInfoCsv(const DeclarationInput& input);

// Builds the file and writes it to path in one piece (see writeFileAtomically). Returns the
// error text, or empty text when the file was written. On any error nothing is written.
QString writeInfoCsv(const QString& path, const DeclarationInput& input);

// The file name offered in the save dialog, from the first shown row's month as text:
// "bilgiamacliDOSYA-03.csv", in the GSS edition "GSS-bilgiamacliDOSYA-03.csv". A month text
// of one character gets a leading "0"; one of two characters is taken as it is; for any other
// length there is no proposal (empty text).
QString proposedCsvFileName(const QString& monthText, Edition edition);

} // namespace zelvo::declaration
