// Reading students from files: both encodings and the three separators of delimited text,
// quoted fields, the headers by Turkish case rules, each kind of cell value, a workbook built
// here with every kind of cell, one made by openpyxl, and the export read back unchanged.

#include "core/error.h"
#include "register/studentexport.h"
#include "register/studentsheet.h"

#include "core/cp1254.h"
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <minizip/zip.h>

using namespace zelvo::studentregister;
using namespace Qt::StringLiterals;

namespace {

QList<QStringList> texts(const QList<SheetRow>& rows)
{
    QList<QStringList> out;
    for (const SheetRow& row : rows) {
        QStringList cells;
        for (const QVariant& cell : row.cells)
            cells << cell.toString();
        out << cells;
    }
    return out;
}

void addPart(zipFile zip, const char* name, const QByteArray& bytes)
{
    QCOMPARE(zipOpenNewFileInZip(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                 Z_DEFAULT_COMPRESSION),
             ZIP_OK);
    QCOMPARE(zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())), ZIP_OK);
    QCOMPARE(zipCloseFileInZip(zip), ZIP_OK);
}

} // namespace

class TstStudentSheet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void delimited_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("expected");
        const QList<QStringList> plain = {{u"Adı"_s, u"Soyadı"_s}, {u"Çağrı"_s, u"Işık"_s}};
        QTest::newRow("UTF-8 ;") << u"Adı;Soyadı\r\nÇağrı;Işık\r\n"_s.toUtf8() << plain;
        QTest::newRow("UTF-8 BOM ,")
            << "\xEF\xBB\xBF" + u"Adı,Soyadı\nÇağrı,Işık"_s.toUtf8() << plain;
        QTest::newRow("1254 tab") << *zelvo::core::toCp1254(u"Adı\tSoyadı\nÇağrı\tIşık\n"_s)
                                  << plain;
        QTest::newRow("quoted") << u"a;b\n\"x;\"\"y\"\"\";\"two\nlines\"\n\n"_s.toUtf8()
                                << QList<QStringList>{{u"a"_s, u"b"_s},
                                                      {u"x;\"y\""_s, u"two\nlines"_s}};
        // the header decides: a comma inside the names does not make it the separator
        QTest::newRow("separator from header")
            << "No;Ad\n1;Ali, Veli\n"_ba
            << QList<QStringList>{{u"No"_s, u"Ad"_s}, {u"1"_s, u"Ali, Veli"_s}};
    }
    void delimited()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, expected);
        QCOMPARE(texts(readDelimitedText(bytes)), expected);
    }

    // A field with a line break keeps the line its row starts on.
    void lineNumbers()
    {
        const auto rows = readDelimitedText("a\n\"1\n2\"\n\nb\n"_ba);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(1).line, 2);
        QCOMPARE(rows.at(2).line, 5);
    }

    void headers_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("column");
        QTest::newRow("grid title") << u"İlk / Eski soyadı"_s << u"ilksoyadi"_s;
        QTest::newRow("upper case") << u"İLK / ESKİ SOYADI"_s << u"ilksoyadi"_s;
        QTest::newRow("dotted I") << u"T.C. KİMLİK NO"_s << u"tckimlikno"_s;
        QTest::newRow("TCKN") << u"tckn"_s << u"tckimlikno"_s;
        QTest::newRow("no dots") << u"TC No"_s << u"tckimlikno"_s;
        QTest::newRow("dotless I") << u"STAJ YAPTIĞI İL"_s << u"stajili"_s;
        QTest::newRow("common number") << u"Öğrenci Numarası"_s << u"ogrencino"_s;
        QTest::newRow("school") << u"Okul"_s << u"okuladi"_s;
        QTest::newRow("automation") << u"Otomasyon No"_s << u"otomasyonid"_s;
        QTest::newRow("start") << u"Başlangıç"_s << u"baslangictarihi"_s;
        // "ISIM" is no column: upper-case dotless I stays ı, which no header has
        QTest::newRow("unknown") << u"ISIM"_s << QString();
    }
    void headers()
    {
        QFETCH(QString, header);
        QFETCH(QString, column);
        QCOMPARE(columnForHeader(header), column);
    }

    void values_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("cell");
        QTest::addColumn<QVariant>("expected"); // invalid: refused
        const QDate day(2026, 2, 3);
        QTest::newRow("dots") << u"baslangictarihi"_s << QVariant(u"03.02.2026"_s) << QVariant(day);
        QTest::newRow("dashes") << u"baslangictarihi"_s << QVariant(u"3-2-2026"_s) << QVariant(day);
        QTest::newRow("slashes") << u"bitistarihi"_s << QVariant(u"03/02/2026"_s) << QVariant(day);
        QTest::newRow("ISO") << u"bitistarihi"_s << QVariant(u"2026-02-03"_s) << QVariant(day);
        QTest::newRow("serial") << u"bitistarihi"_s << QVariant(46056.0) << QVariant(day);
        QTest::newRow("no date") << u"bitistarihi"_s << QVariant(u"31.02.2026"_s) << QVariant();
        QTest::newRow("GSS E") << u"gss"_s << QVariant(u"e"_s) << QVariant(1);
        QTest::newRow("GSS Hayır") << u"gss"_s << QVariant(u"HAYIR"_s) << QVariant(0);
        QTest::newRow("GSS X") << u"gss"_s << QVariant(u"x"_s) << QVariant(1);
        QTest::newRow("GSS empty") << u"gss"_s << QVariant() << QVariant(0);
        QTest::newRow("GSS true") << u"gss"_s << QVariant(true) << QVariant(1);
        QTest::newRow("GSS other") << u"gss"_s << QVariant(u"belki"_s) << QVariant();
        QTest::newRow("status empty") << u"statu"_s << QVariant() << QVariant(u"1"_s);
        QTest::newRow("identity number")
            << u"tckimlikno"_s << QVariant(12345678950.0) << QVariant(u"12345678950"_s);
        QTest::newRow("identity exponent")
            << u"tckimlikno"_s << QVariant(u"1.2345678950E10"_s) << QVariant(u"12345678950"_s);
        QTest::newRow("number trimmed")
            << u"ogrencino"_s << QVariant(u" 0123 "_s) << QVariant(u"0123"_s);
        QTest::newRow("automation") << u"otomasyonid"_s << QVariant(77.0) << QVariant(77);
        QTest::newRow("automation text") << u"otomasyonid"_s << QVariant(u"7a"_s) << QVariant();
    }
    void values()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, cell);
        QFETCH(QVariant, expected);
        QString why;
        const auto value = studentValue(column, cell, &why);
        QCOMPARE(value.has_value(), expected.isValid());
        if (value)
            QCOMPARE(*value, expected);
        else
            QVERIFY(why.startsWith(studentField(column)->title));
    }

    void missingColumn()
    {
        const QList<SheetRow> rows = {{1, {u"No"_s, u"Adı"_s, u"Soyad"_s, u"TCKN"_s, u"Bitiş"_s}}};
        try {
            readStudentSheet(rows);
            QFAIL("a file without its start dates was taken");
        } catch (const zelvo::core::Error& e) {
            QCOMPARE(e.text(), u"Dosyada gerekli sütun yok: \"Numarası\", \"Başlangıç Tarihi\"."_s);
        }
    }

    // Shared and inline strings, a number, a boolean, a date by a built-in and by a custom
    // format, a number in the General style and an empty cell between two others.
    void workbookCells()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"built.xlsx"_s);
        {
            zipFile zip = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
            QVERIFY(zip);
            addPart(zip, "xl/workbook.xml",
                    "<workbook "
                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                    "relationships\"><sheets><sheet name=\"A\" sheetId=\"1\" "
                    "r:id=\"rId7\"/></sheets></workbook>");
            addPart(zip, "xl/_rels/workbook.xml.rels",
                    "<Relationships><Relationship Id=\"rId7\" "
                    "Target=\"worksheets/s.xml\"/></Relationships>");
            addPart(
                zip, "xl/sharedStrings.xml",
                u"<sst><si><t>Çağrı</t></si><si><r><t>Iş</t></r><r><t>ık</t></r><rPh><t>x</t></rPh></si></sst>"_s
                    .toUtf8());
            addPart(zip, "xl/styles.xml",
                    "<styleSheet><numFmts><numFmt numFmtId=\"164\" "
                    "formatCode=\"dd&quot;/&quot;mm&quot;/&quot;yyyy\"/><numFmt numFmtId=\"165\" "
                    "formatCode=\"[Red]0.00\"/></numFmts><cellXfs><xf numFmtId=\"0\"/><xf "
                    "numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf "
                    "numFmtId=\"165\"/></cellXfs></styleSheet>");
            addPart(zip, "xl/worksheets/s.xml",
                    "<worksheet><sheetData><row r=\"3\"><c r=\"A3\" t=\"s\"><v>0</v></c><c "
                    "r=\"B3\" t=\"s\"><v>1</v></c><c r=\"D3\" "
                    "t=\"inlineStr\"><is><t>iç</t></is></c><c r=\"E3\" t=\"b\"><v>1</v></c><c "
                    "r=\"F3\" s=\"1\"><v>46056</v></c><c r=\"G3\" s=\"2\"><v>46057</v></c><c "
                    "r=\"H3\" s=\"3\"><v>12345678950</v></c></row></sheetData></worksheet>");
            QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
        }
        const QList<SheetRow> rows = readXlsx(path);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().line, 3);
        const QList<QVariant> expected = {u"Çağrı"_s,        u"Işık"_s,    QVariant(),
                                          u"iç"_s,           true,         QDate(2026, 2, 3),
                                          QDate(2026, 2, 4), 12345678950.0};
        QCOMPARE(rows.first().cells, expected);
    }

    void notAWorkbook()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(u"x.xlsx"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Adı;Soyadı\n");
        file.close();
        QVERIFY_THROWS_EXCEPTION(zelvo::core::Error, readSheetFile(file.fileName()));
    }

    void openpyxlWorkbook()
    {
        const QString python = QStandardPaths::findExecutable(u"python3"_s);
        if (python.isEmpty() || QProcess::execute(python, {u"-c"_s, u"import openpyxl"_s}) != 0)
            QSKIP("python3-openpyxl is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"py.xlsx"_s);
        const QString script =
            u"import datetime, openpyxl, sys\n"
            u"wb = openpyxl.Workbook(); ws = wb.active\n"
            u"ws.append(['Öğrenci No', 'Ad', 'Soyad', 'TCKN', 'Staj Başlangıç Tarihi', "
            u"'Staj Bitiş Tarihi', 'GSS Ödenecek', 'Not'])\n"
            u"ws.append([1234, 'Şule', 'Işıkçı', 25881399814, datetime.date(2026, 2, 3), "
            u"'14.03.2026', True, 'x'])\n"
            u"wb.save(sys.argv[1])\n"_s;
        QCOMPARE(QProcess::execute(python, {u"-c"_s, script, path}), 0);
        const StudentSheet sheet = readStudentSheet(readSheetFile(path));
        QCOMPARE(sheet.ignoredHeaders, QStringList{u"Not"_s});
        QCOMPARE(sheet.students.size(), 1);
        const StudentValues& s = sheet.students.first().values;
        QCOMPARE(s.value(u"ogrencino"_s), QVariant(u"1234"_s));
        QCOMPARE(s.value(u"soyadi"_s), QVariant(u"Işıkçı"_s));
        QCOMPARE(s.value(u"tckimlikno"_s), QVariant(u"25881399814"_s));
        QCOMPARE(s.value(u"baslangictarihi"_s), QVariant(QDate(2026, 2, 3)));
        QCOMPARE(s.value(u"bitistarihi"_s), QVariant(QDate(2026, 3, 14)));
        QCOMPARE(s.value(u"gss"_s), QVariant(1));
    }

    // What the register writes imports back with no change.
    void roundTrip()
    {
        const QList<StudentValues> students = {
            {{u"ogrencino"_s, u"0042"_s},
             {u"adi"_s, u"İsmail"_s},
             {u"soyadi"_s, u"Öztürk"_s},
             {u"tckimlikno"_s, u"25881399814"_s},
             {u"ssksicilno"_s, u"0123456789"_s},
             {u"statu"_s, u"2"_s},
             {u"baslangictarihi"_s, QDate(2026, 2, 3)},
             {u"bitistarihi"_s, QDate(2026, 5, 31)},
             {u"gss"_s, 1},
             {u"ilksoyadi"_s, u"Çelik"_s},
             {u"stajili"_s, u"İzmir"_s},
             {u"stajyeri"_s, u"Ege \"Üniversitesi\" & Hastanesi"_s}},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath(u"out.xlsx"_s);
        writeStudentsXlsx(path, students);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"out.xlsx"_s});
        const StudentSheet sheet = readStudentSheet(readSheetFile(path));
        QVERIFY(sheet.ignoredHeaders.isEmpty());
        QCOMPARE(sheet.students.size(), 1);
        QCOMPARE(sheet.students.first().values, students.first());
    }
};

QTEST_GUILESS_MAIN(TstStudentSheet)
#include "tst_studentsheet.moc"
