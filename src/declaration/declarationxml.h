// The monthly premium-and-service declaration as the XML file that is submitted to SGK
// (root element AYLIKBILDIRGELER), in Windows-1254 with CRLF line ends.
#pragma once

#include "declaration/declarationinput.h"

#include <QString>

namespace zelvo::declaration {

// The whole file from the workplace row, the parameter row, the month (DONEMAY), the edition
// (the GSS edition takes the document type from belgeturuyab) and the shown rows, which give
// DONEMYIL (yil of the first row) and one SIGORTALI line each. The year box is not used.
// Columns read from every row: ssksicilno, tckimlikno, adi, soyadi, ilksoyadi, sil1, gun,
// girisgun, cikisgun, istencikisnedeni; from the first row also yil.
// Values are written as they stand except that `&`, `<`, `>` and `"` become `&amp;`, `&lt;`,
// `&gt;` and `&quot;`, so the file stays well-formed. Fixed-width values are filled with
// blanks before that, so the width counts the characters the reader gets back.
// Fails (no bytes) when the month is not 1 to 12, a column is missing, or a value holds a
// character that Windows-1254 cannot hold.
FileBytes buildDeclarationXml(const DeclarationInput& input);

// Builds the file and writes it to path in one piece (see writeFileAtomically). Returns the
// error text, or empty text when the file was written. On any error nothing is written.
QString writeDeclarationXml(const QString& path, const DeclarationInput& input);

// The file name offered in the save dialog, from the unit code and the first shown row's
// month as text: U-xml-MM.xml ("12-xml-03.xml"), in the GSS edition GSS-U-xml-MM.xml. A month
// text of one character gets a leading "0"; one of two characters is taken as it is; for any
// other length there is no proposal (empty text) and the dialog keeps the name it holds.
QString proposedXmlFileName(const QString& unitCode, const QString& monthText, Edition edition);

} // namespace zelvo::declaration
