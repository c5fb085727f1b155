// Steps (2) and (3) of the declaration window: the save dialog, the files written from the rows
// the window holds, and the cases where nothing may be written.

#include "declwindowfixture.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Windows-1254 bytes as text (only the Turkish letters the tests use differ from Latin-1).
QString fromCp1254(const QByteArray& bytes)
{
    QString text;
    for (const char c : bytes) {
        switch (uchar(c)) {
        case 0xDD:
            text += QChar(0x130);
            break; // İ
        case 0xFD:
            text += QChar(0x131);
            break; // ı
        case 0xDE:
            text += QChar(0x15E);
            break; // Ş
        case 0xFE:
            text += QChar(0x15F);
            break; // ş
        case 0xD0:
            text += QChar(0x11E);
            break; // Ğ
        case 0xF0:
            text += QChar(0x11F);
            break; // ğ
        default:
            text += QChar(uchar(c));
        }
    }
    return text;
}

const QByteArray declarationLine = "<?xml version=\"1.0\" encoding=\"iSO-8859-9\"?>       \r\n";

} // namespace

class TstDeclFiles : public QObject {
    Q_OBJECT

    // Two students of the edition in the month (the second leaves inside the period) and one
    // of the other edition.
    static void fillMonth(DeclFixture& f, bool gss, int month)
    {
        StudentData first{QStringLiteral("100")};
        first.gss = gss;
        StudentData second{QStringLiteral("200")};
        second.gss = gss;
        second.name = QStringLiteral("Şükrü");
        second.surname = QStringLiteral("Işık");
        second.end = QDate(2012, month + 1, 3);
        StudentData other{QStringLiteral("300")};
        other.gss = !gss;
        f.addAccrual(f.addStudent(first), month, QStringLiteral("1500.50"));
        f.addAccrual(f.addStudent(second), month, QStringLiteral("1500.00"));
        f.addAccrual(f.addStudent(other), month);
    }

private Q_SLOTS:
    void xmlFile_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("proposedName");
        QTest::addColumn<QByteArray>("documentLine");
        // the seeded parameter row: belgeturu 22, belgeturuyab 43, kanunno 00000
        QTest::newRow("standard, March") << false << 3 << "01-xml-03.xml"
                                         << QByteArray("<BILDIRGELER BELGETURU=\"22\" "
                                                       "KANUN=\"00000\"> \r\n");
        QTest::newRow("standard, October") << false << 10 << "01-xml-10.xml"
                                           << QByteArray("<BILDIRGELER BELGETURU=\"22\" "
                                                         "KANUN=\"00000\"> \r\n");
        QTest::newRow("GSS, March") << true << 3 << "GSS-01-xml-03.xml"
                                    << QByteArray("<BILDIRGELER BELGETURU=\"43\" "
                                                  "KANUN=\"00000\"> \r\n");
    }
    void xmlFile()
    {
        QFETCH(bool, gss);
        QFETCH(int, month);
        QFETCH(QString, proposedName);
        QFETCH(QByteArray, documentLine);
        DeclFixture f;
        fillMonth(f, gss, month);
        f.open(gss);
        f.prepare(month);
        QVERIFY(f.offered());
        // the CSV button is offered again once the XML has been written
        f.button("SpeedButton11")->hide();

        QTemporaryDir dir;
        const QString path = dir.filePath(proposedName);
        f.session.dialogs.saveAnswers << path;
        f.press("SpeedButton2");
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Save),
                 QStringList{QStringLiteral("Banka Dosyasını Kaydet")});
        QCOMPARE(f.session.dialogs.lastProposedName, proposedName);
        QCOMPARE(f.session.dialogs.lastSaveFilter, QStringLiteral("Text Dosya (*.txt)"));
        QCOMPARE(f.session.dialogs.lastSaveSuffix, QStringLiteral("txt"));

        const QByteArray bytes = contents(path);
        QVERIFY(bytes.startsWith(declarationLine));
        QVERIFY(bytes.endsWith("</AYLIKBILDIRGELER>\r\n"));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), 12); // eleven lines, each ended by CR LF
        QCOMPARE(lines.at(3), QByteArray("<BORDRO DONEMAY=\"") +
                                  QByteArray::number(month).rightJustified(2, '0') +
                                  "\" DONEMYIL=\"2012\" BELGEMAHIYET=\"A\"/>\r");
        QCOMPARE(lines.at(4) + '\n', documentLine);
        // the edition's two students in student number order, the other edition's left out
        const QString first = fromCp1254(lines.at(6));
        const QString second = fromCp1254(lines.at(7));
        QVERIFY2(first.startsWith(QStringLiteral("<SIGORTALI SIRA=\"1\" ")), qPrintable(first));
        QVERIFY(first.contains(QStringLiteral(" AD=\"Ayşe\" ")));
        QVERIFY(first.contains(QStringLiteral("  PEK=\"1500.50\" ")));
        QVERIFY(!first.contains(QStringLiteral("CIKISGUN")));
        QVERIFY2(second.contains(QStringLiteral(" AD=\"Şükrü\" SOYAD=\"Işık\" ")),
                 qPrintable(second));
        QVERIFY(second.contains(QStringLiteral("  PEK=\"1500.00\" ")));
        QVERIFY(second.contains(QStringLiteral("  CIKISGUN=\"03%1\"  ISTENCIKISNEDENI=\"04\" />")
                                    .arg(month + 1, 2, 10, QLatin1Char('0'))));
        QVERIFY(!f.button("SpeedButton11")->isHidden());
        QVERIFY(f.offered());
    }

    void xmlCancelled()
    {
        DeclFixture f;
        fillMonth(f, false, 4);
        f.open();
        f.prepare(4);
        QTemporaryDir dir;
        f.session.dialogs.saveAnswers.clear(); // the user cancels
        f.press("SpeedButton2");
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Save).size(), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(f.errors(), QStringList());
        QVERIFY(f.offered());
    }

    void xmlReadsTheRowsAfresh()
    {
        DeclFixture f;
        fillMonth(f, false, 5);
        f.open();
        f.prepare(5);
        // another user's run removed the month's rows meanwhile
        f.session.setup().execute(QStringLiteral("delete from Xml"));
        f.session.dialogs.saveAnswers << QDir::temp().filePath(QStringLiteral("unused.txt"));
        f.press("SpeedButton2");
        QCOMPARE(f.messages(), QStringList{noRowsText});
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Save), QStringList());
        QVERIFY(f.nothingOffered());
    }

    void xmlOfValuesThatNeedEscaping()
    {
        const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
        if (xmllint.isEmpty())
            QSKIP("xmllint is not installed");
        DeclFixture f;
        StudentData s{QStringLiteral("100")};
        s.name = QStringLiteral("Ali \"Can\"");
        s.surname = QStringLiteral("Öz & <Kaya>");
        s.formerSurname = QStringLiteral("A'B");
        f.addAccrual(f.addStudent(s), 3);
        f.session.setup().execute(
            QStringLiteral("update isyeri set birimadi='Ar & Ge <Birim> \"Merkez\"'"));
        f.open();
        f.prepare(3);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bildirge.xml"));
        f.session.dialogs.saveAnswers << path;
        f.press("SpeedButton2");
        QCOMPARE(f.errors(), QStringList());
        QProcess lint;
        lint.start(xmllint, {QStringLiteral("--noout"), path});
        QVERIFY(lint.waitForFinished());
        QCOMPARE(QString::fromLocal8Bit(lint.readAllStandardError()), QString());
        QCOMPARE(lint.exitCode(), 0);
        QVERIFY(contents(path).contains("AD=\"Ali &quot;Can&quot;\""));
    }

    void valueOutsideTheCodePage_data()
    {
        QTest::addColumn<bool>("csv");
        QTest::newRow("XML") << false;
        QTest::newRow("CSV") << true;
    }
    void valueOutsideTheCodePage()
    {
        QFETCH(bool, csv);
        DeclFixture f;
        StudentData s{QStringLiteral("100")};
        s.name = QStringLiteral("Əli"); // Azerbaijani schwa: not in Windows-1254
        f.addAccrual(f.addStudent(s), 3);
        f.open();
        f.prepare(3);
        QVERIFY(f.offered());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dosya.txt"));
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("önceki dosya");
        }
        f.session.dialogs.saveAnswers << path;
        f.press(csv ? "SpeedButton11" : "SpeedButton2");
        QCOMPARE(f.errors().size(), 1);
        QVERIFY2(f.errors().first().contains(QStringLiteral("U+018F")),
                 qPrintable(f.errors().first()));
        QVERIFY(f.errors().first().contains(QStringLiteral("100")));
        QCOMPARE(contents(path), QByteArray("önceki dosya"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"dosya.txt"});
    }

    void unwritableFolder()
    {
        DeclFixture f;
        fillMonth(f, false, 3);
        f.open();
        f.prepare(3);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("yok/dosya.xml"));
        f.session.dialogs.saveAnswers << path << path;
        f.press("SpeedButton2");
        f.press("SpeedButton11");
        QCOMPARE(f.errors().size(), 2);
        QVERIFY(f.errors().at(0).contains(path));
        QVERIFY(f.errors().at(1).contains(path));
        QVERIFY(!QFile::exists(path));
    }

    void csvFile_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::addColumn<QString>("proposedName");
        QTest::addColumn<QString>("header");
        const QString common = QStringLiteral(
            "Sıra No;Yıl;Ay;Öğrenci No;Adı;Soyadı;Sosyal Güvenlik No;T.C. Kimlik No;Staj "
            "Başlangıcı;Staj Bitişi;Aya Ait Gün;Varsa GİRİŞ GÜNÜ;Varsa ÇIKIŞ GÜNÜ;");
        QTest::newRow("standard") << false << "bilgiamacliDOSYA-12.csv"
                                  << common + QStringLiteral("Staj İli;Staj Yeri;");
        QTest::newRow("GSS") << true << "GSS-bilgiamacliDOSYA-12.csv" << common;
    }
    void csvFile()
    {
        QFETCH(bool, gss);
        QFETCH(QString, proposedName);
        QFETCH(QString, header);
        DeclFixture f;
        StudentData s{QStringLiteral("100")};
        s.gss = gss;
        s.start = QDate(2012, 12, 20);
        s.end = QDate(2013, 1, 10);
        f.addAccrual(f.addStudent(s), 12);
        f.open(gss);
        f.prepare(12);
        // the file takes the rows the window holds: a removal after step (1) changes nothing
        f.session.setup().execute(QStringLiteral("delete from Xml"));
        QTemporaryDir dir;
        const QString path = dir.filePath(proposedName);
        f.session.dialogs.saveAnswers << path;
        f.press("SpeedButton11");
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.session.dialogs.lastProposedName, proposedName);
        QCOMPARE(f.session.dialogs.lastSaveFilter, QStringLiteral("Text Dosya (*.txt)"));
        QCOMPARE(f.session.dialogs.lastSaveSuffix, QStringLiteral("txt"));
        const QStringList lines = fromCp1254(contents(path)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), header);
        const QStringList fields = lines.at(1).split(QLatin1Char(';'));
        QCOMPARE(fields.value(0), QStringLiteral("1"));
        QCOMPARE(fields.value(2), QStringLiteral("12"));
        QCOMPARE(fields.value(3), QStringLiteral("100"));
        QCOMPARE(fields.value(8), QStringLiteral("20.12.2012"));
        // entry and exit dates carry the year they fall in: January's exit the next year
        QCOMPARE(fields.value(11), QStringLiteral("20-12-2012"));
        QCOMPARE(fields.value(12), QStringLiteral("10-01-2013"));
        QVERIFY(lines.at(1).endsWith(QStringLiteral(";;")));
        QCOMPARE(lines.at(2), QString());
        QCOMPARE(f.grid()->dataset()->currentIndex(), 0);
    }

    void csvCancelled()
    {
        DeclFixture f;
        fillMonth(f, false, 6);
        f.open();
        f.prepare(6);
        QTemporaryDir dir;
        f.press("SpeedButton11");
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Save).size(), 1);
        QCOMPARE(f.session.dialogs.lastProposedName, QStringLiteral("bilgiamacliDOSYA-06.csv"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.messages(), QStringList());
    }
};

QTEST_MAIN(TstDeclFiles)
#include "tst_declfiles.moc"
