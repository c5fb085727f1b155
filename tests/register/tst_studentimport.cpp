// Students into the register from a file, on a real database: each kind of bad row with its
// reason, nothing stored while a row is in error, all rows in one transaction, students already
// registered skipped or updated, the command line's lines and exit status, the preview window
// driven from the register, and the register's own refusals when a row is stored.

#include "register/changestamp.h"
#include "register/importcommand.h"
#include "register/tfrmogrenciaktar.h"
#include "registerfixture.h"

#include "screenshot.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextStream>

using namespace zelvo;
using namespace zelvo::studentregister;
using namespace Qt::StringLiterals;

namespace {

// A valid identity number made from n by the published rule.
QString identity(int n)
{
    QString digits = QString::number(100000000 + n);
    int d[11];
    for (int i = 0; i < 9; ++i)
        d[i] = digits.at(i).digitValue();
    d[9] = (((d[0] + d[2] + d[4] + d[6] + d[8]) * 7 - (d[1] + d[3] + d[5] + d[7])) % 10 + 10) % 10;
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += d[i];
    d[10] = sum % 10;
    return digits + QString::number(d[9]) + QString::number(d[10]);
}

const QString header =
    u"Öğrenci No;Ad;Soyad;TCKN;Başlangıç;Bitiş;Statü;İlk / Eski soyadı;Sınıf\n"_s;

QString goodLine(int n)
{
    return u"N%1;Ali;Kaya;%2;01.02.2026;30.04.2026;1;;3\n"_s.arg(n).arg(identity(n));
}

QString writeFile(QTemporaryDir& dir, const QString& text)
{
    const QString path = dir.filePath(u"ogrenciler.csv"_s);
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.toUtf8());
    return path;
}

int students(TestSession& s)
{
    return s.scalar(u"select count(*) from ogrenci"_s).toInt();
}

} // namespace

class TstStudentImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void badRows_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("check digits")
            << u"N9;Ali;Kaya;12345678901;01.02.2026;30.04.2026;1;;"_s
            << u"T.C. Kimlik No doğrulama haneleri tutmuyor (12345678901)"_s;
        QTest::newRow("end first")
            << u"N9;Ali;Kaya;%1;01.02.2026;31.01.2026;1;;"_s.arg(identity(9))
            << u"Bitiş tarihi (31.01.2026) başlangıçtan (01.02.2026) önce olamaz."_s;
        QTest::newRow("no date") << u"N9;Ali;Kaya;%1;31.02.2026;30.04.2026;1;;"_s.arg(identity(9))
                                 << u"Başlangıç Tarihi tarih olarak okunamadı (31.02.2026)"_s;
        QTest::newRow("unwritable")
            << u"N9;Ali😀;Kaya;%1;01.02.2026;30.04.2026;1;;"_s.arg(identity(9))
            << u"Adı Türkçe Windows karakter kümesinde (1254) bulunmayan karakter içeriyor: 😀 "
               u"(U+1F600)."_s;
        QTest::newRow("too long")
            << u"N9;Ali;Kaya;%1;01.02.2026;30.04.2026;1;%2;"_s.arg(identity(9), QString(60, u'a'))
            << u"İlk / Eski soyadı en çok 50 karakter olabilir (60 karakter yazıldı)."_s;
        QTest::newRow("status") << u"N9;Ali;Kaya;%1;01.02.2026;30.04.2026;7;;"_s.arg(identity(9))
                                << u"Statü (7) durum tablosunda yok; 1, 2, 3 olabilir."_s;
        QTest::newRow("no surname")
            << u"N9;Ali;;%1;01.02.2026;30.04.2026;1;;"_s.arg(identity(9)) << u"Soyadı boş"_s;
        QTest::newRow("number twice")
            << u"N1;Ali;Kaya;%1;01.02.2026;30.04.2026;1;;"_s.arg(identity(9))
            << u"Numarası N1 dosyada iki kez var (satır 2)"_s;
        QTest::newRow("identity twice")
            << u"N9;Ali;Kaya;%1;01.02.2026;30.04.2026;1;;"_s.arg(identity(1))
            << u"T.C. Kimlik No %1 dosyada iki kez var (satır 2)"_s.arg(identity(1));
    }
    void badRows()
    {
        QFETCH(QString, line);
        QFETCH(QString, reason);
        TestSession session;
        QTemporaryDir dir;
        const QString path = writeFile(dir, header + goodLine(1) + line + u'\n' + goodLine(2));
        StudentImport import(session.connection);
        const ImportCheck check = import.checkFile(path, u"01"_s);
        QCOMPARE(check.ignoredHeaders, QStringList{u"Sınıf"_s});
        QCOMPARE(check.summary(), u"2 yeni, 0 güncellenecek, 0 atlanacak, 1 hata"_s);
        QCOMPARE(check.rows.at(1).line, 3);
        QCOMPARE(check.rows.at(1).problems, QStringList{reason});

        const ImportStamp stamp{u"01"_s, u"admin"_s, u"Yönetici"_s, QDate(2026, 2, 1), QTime(9, 0)};
        QCOMPARE(import.store(check, stamp, false), 0);
        QCOMPARE(students(session), 0);
        QCOMPARE(import.store(check, stamp, true), 2);
        QCOMPARE(students(session), 2);
    }

    void storedWithStampAndRegisteredOnesChosen()
    {
        TestSession session;
        session.loadDemo();
        const int before = students(session);
        const int ahmet =
            session.scalar(u"select idogrenci from ogrenci where ogrencino='2022101001'"_s).toInt();
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, header + goodLine(1) +
                     u"2022101001;Ahmet;Yılmaz-Kaya;25881399814;15.01.2026;14.02.2026;1;;\n"_s);
        StudentImport import(session.connection);
        ImportCheck check = import.checkFile(path, u"01"_s);
        QCOMPARE(check.rows.at(1).outcome, ImportOutcome::Skip);
        QCOMPARE(check.rows.at(1).problems, QStringList{u"var"_s});
        chooseUpdate(check.rows[1], true);
        const ImportStamp stamp{u"01"_s, u"admin"_s, u"Yönetici"_s, QDate(2026, 2, 1), QTime(9, 0)};
        QCOMPARE(import.store(check, stamp, false), 2);
        QCOMPARE(students(session), before + 1);
        const zelvo::db::Params n1 = {{u"@n"_s, u"N1"_s}};
        QCOMPARE(
            session.scalar(u"select birimkodu from ogrenci where ogrencino=@n"_s, n1).toString(),
            u"01"_s);
        QCOMPARE(
            session.scalar(u"select aktarmatarihi from ogrenci where ogrencino=@n"_s, n1).toDate(),
            QDate(2026, 2, 1));
        QCOMPARE(
            session.scalar(u"select degistiren from ogrenci where ogrencino=@n"_s, n1).toString(),
            changeStamp(stamp.date, stamp.time, ChangeKind::FirstEntry, u"admin"_s, u"Yönetici"_s));
        QCOMPARE(
            session.scalar(u"select soyadi from ogrenci where idogrenci=@id"_s, {{u"@id"_s, ahmet}})
                .toString(),
            u"Yılmaz-Kaya"_s);
    }

    // A refusal of the database halfway leaves what was before: the update is undone too.
    void allOrNothing()
    {
        TestSession session;
        session.loadDemo();
        const int before = students(session);
        session.refuseInserts(u"ogrenci"_s, u"NEW.adi = 'Red'"_s, u"reddedildi"_s);
        QTemporaryDir dir;
        const QString path =
            writeFile(dir, header + goodLine(1) +
                               u"N2;Red;Kaya;%1;01.02.2026;30.04.2026;1;;\n"_s.arg(identity(2)) +
                               u"2022101001;Ahmet;Başka;25881399814;15.01.2026;14.02.2026;1;;\n"_s);
        StudentImport import(session.connection);
        ImportCheck check = import.checkFile(path, u"01"_s);
        chooseUpdate(check.rows[2], true);
        const ImportStamp stamp{u"01"_s, u"admin"_s, u"Yönetici"_s, QDate(2026, 2, 1), QTime(9, 0)};
        QVERIFY_THROWS_EXCEPTION(zelvo::core::Error, import.store(check, stamp, false));
        QCOMPARE(students(session), before);
        QCOMPARE(
            session.scalar(u"select soyadi from ogrenci where ogrencino='2022101001'"_s).toString(),
            u"Yılmaz"_s);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("line"); // one of the lines printed
        const QString bad = u"N9;Ali;Kaya;12345678901;01.02.2026;30.04.2026;1;;\n"_s;
        const QString problem =
            u"satır 3: T.C. Kimlik No doğrulama haneleri tutmuyor (12345678901)"_s;
        QTest::newRow("stored") << header + goodLine(1) << QStringList() << 0 << 1
                                << u"alınmayan sütun: Sınıf"_s;
        QTest::newRow("errors") << header + goodLine(1) + bad << QStringList() << 1 << 0 << problem;
        QTest::newRow("skip invalid")
            << header + goodLine(1) + bad << QStringList{u"skip"_s} << 0 << 1 << problem;
        QTest::newRow("dry run") << header + goodLine(1) << QStringList{u"dry"_s} << 1 << 0
                                 << u"alınmayan sütun: Sınıf"_s;
        QTest::newRow("no column")
            << u"Ad;Soyad\nAli;Kaya\n"_s << QStringList() << 2 << 0
            << u"Dosyada gerekli sütun yok: \"Numarası\", \"T.C. Kimlik No\", "
               u"\"Başlangıç Tarihi\", \"Bitiş tarihi\"."_s;
        QTest::newRow("no unit") << header + goodLine(1) << QStringList{u"unit"_s} << 2 << 0
                                 << u"99 kodlu birim yok."_s;
    }
    void commandLine()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(int, stored);
        QFETCH(QString, line);
        TestSession session;
        QTemporaryDir dir;
        ImportCommand command{writeFile(dir, text),
                              options.contains(u"unit"_s) ? u"99"_s : QString(),
                              options.contains(u"dry"_s), options.contains(u"skip"_s), u"admin"_s};
        QString output;
        QTextStream out(&output);
        QCOMPARE(runImportCommand(session.connection, command, out), status);
        out.flush();
        QVERIFY2(output.contains(line + u'\n'), qPrintable(output));
        QCOMPARE(students(session), stored);
    }

    // From the register: the file chosen, the preview counted, only valid rows chosen, "Aktar".
    void previewFromRegister()
    {
        RegisterFixture f;
        const int before = students(f.session);
        QTemporaryDir dir;
        f.session.dialogs.openAnswers << writeFile(
            dir, header + goodLine(1) + u"N9;Ali;Kaya;12345678901;01.02.2026;30.04.2026;1;;\n"_s);
        QString counts;
        f.session.dialogs.onModal = [&](QDialog& dialog) {
            auto* preview = qobject_cast<TFrmOgrenciAktar*>(&dialog);
            QVERIFY(preview);
            counts = preview->findChild<QLabel*>(u"Counts"_s)->text();
            keepScreenshot(dialog, u"TFrmOgrenciAktar"_s);
            auto* store = preview->findChild<QPushButton*>(u"Aktar"_s);
            QTest::mouseClick(store, Qt::LeftButton); // refused: a row is in error
            QCOMPARE(students(f.session), before);
            QTest::mouseClick(preview->findChild<QCheckBox*>(u"ValidOnly"_s), Qt::LeftButton);
            QTest::mouseClick(store, Qt::LeftButton);
        };
        QTest::mouseClick(f.find<QPushButton>(u"ExcelAktar"_s), Qt::LeftButton);
        QCOMPARE(counts, u"1 yeni, 0 güncellenecek, 0 atlanacak, 1 hata"_s);
        QCOMPARE(students(f.session), before + 1);
        QCOMPARE(f.messages().last(), u"1 öğrenci aktarıldı."_s);
    }

    // The register refuses what the rules refuse and asks about the identity number, No first.
    void registerRefuses_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("error"); // empty: stored
        QTest::newRow("unwritable") << u"DBEdit2"_s << u"Ali😀ș"_s << QList<bool>()
                                    << u"Öğrenci kaydedilmedi: Adı Türkçe Windows"_s;
        QTest::newRow("check digits, no") << u"DBEdit4"_s << u"12345678901"_s << QList<bool>{false}
                                          << u"Öğrenci kaydedilmedi: T.C. Kimlik No"_s;
        QTest::newRow("check digits, yes")
            << u"DBEdit4"_s << u"12345678901"_s << QList<bool>{true} << QString();
    }
    void registerRefuses()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QList<bool>, answers);
        QFETCH(QString, error);
        RegisterFixture f;
        f.search(studentregister::TFrmPSicil::ByNumber, u"2022101001"_s);
        const int id = f.idOf(u"2022101001"_s);
        f.retype(box, text);
        f.session.dialogs.answers = answers;
        f.session.dialogs.clear();
        f.press(u"Post"_s);
        const QStringList errors = f.session.dialogs.texts(ScriptedDialogs::Kind::Error);
        if (error.isEmpty()) {
            QVERIFY(errors.isEmpty());
            QCOMPARE(f.stored(id, u"tckimlikno"_s).toString(), text);
            return;
        }
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(error), qPrintable(errors.first()));
        QCOMPARE(f.students()->state(), db::Dataset::State::Edit);
        QVERIFY(f.stored(id, u"tckimlikno"_s).toString() != u"12345678901"_s);
        QCOMPARE(f.stored(id, u"adi"_s).toString(), u"Ahmet"_s);
    }

    // A paste longer than the box takes goes nowhere, and says so; typing stops at the width.
    void pasteLongerThanColumn()
    {
        RegisterFixture f;
        f.search(studentregister::TFrmPSicil::ByNumber, u"2022101001"_s);
        auto* number = f.find<QLineEdit>(u"DBEdit1"_s);
        number->setFocus();
        number->selectAll();
        QGuiApplication::clipboard()->setText(u"12345678901234"_s);
        number->paste();
        QCOMPARE(number->text(), u"2022101001"_s);
        QTRY_COMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 1);
        number->selectAll();
        RegisterFixture::type(number, u"123456789012"_s);
        QCOMPARE(number->text(), u"1234567890"_s);
    }
};

QTEST_MAIN(TstStudentImport)
#include "tst_studentimport.moc"
