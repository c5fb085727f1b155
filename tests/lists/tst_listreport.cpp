// What the list windows hand to the report engine and its preview: the students of the month
// and edition, the workplace and parameter rows, the template read anew at every run (restored
// from the bundle only when missing), the error page of a broken template, the preview's file
// questions through the dialog service, and the activation after the preview closes.

#include "core/period.h"
#include "listfixture.h"
#include "lists/listrows.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>

using namespace zelvo;

using namespace zelvo::lists;
using zelvo::core::Period;

namespace {

// A small template printing one line per student and a total.
QString rowsTemplate(const QString& heading)
{
    return QStringLiteral("report name=\"Deneme\" page=A4 margins=10\n"
                          "band title height=10\n"
                          "  text x=0 w=190 \"%1\"\n"
                          "band detail height=6\n"
                          "  text x=0 w=190 \"[ogrencino] [adi] [soyadi] [kazanc:##,##0.00 ]\"\n"
                          "band summary height=6\n"
                          "  text x=0 w=190 \"Toplam [sum(kazanc):##,##0.00 ]\"\n")
        .arg(heading);
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The standard student 1001 (March 1500.00) and the GSS student 3003 (March 2750.25).
void twoEditions(ListFixture& f)
{
    f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
    f.accrue(f.student("3003", "Gül", "Çınar", true), 3, 20, "2750.25");
}

} // namespace

class TstListReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each window shows one preview of its own template over its edition's students.
    void previewOfTheEdition_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("heading"); // of the bundled template
        QTest::addColumn<QString>("present"); // printed
        QTest::addColumn<QString>("absent");  // not printed
        QTest::newRow("List-1") << "TFrmListe1"
                                << "ÖĞRENCİ STAJYER AYLIK PRİM LİSTESİ"
                                << "Ali Işık"
                                << "Gül Çınar";
        QTest::newRow("GSS List-1") << "TFrmListe1gss"
                                    << "ÖĞRENCİ STAJYER AYLIK PRİM LİSTESİ"
                                    << "Gül Çınar"
                                    << "Ali Işık";
        // List-2 prints the totals only
        QTest::newRow("List-2") << "TFrmListe2"
                                << "ÖĞRENCİ STAJYER PRİM ÖDEME ÖZETİ"
                                << "1.500,00"
                                << "2.750,25";
        QTest::newRow("GSS List-2") << "TFrmListe2gss"
                                    << "ÖĞRENCİ STAJYER PRİM ÖDEME ÖZETİ"
                                    << "2.750,25"
                                    << "1.500,00";
    }
    void previewOfTheEdition()
    {
        QFETCH(QString, className);
        QFETCH(QString, heading);
        QFETCH(QString, present);
        QFETCH(QString, absent);
        ListFixture f;
        twoEditions(f);
        const ListVariant* variant = nullptr;
        for (const ListVariant* v : ListVariant::all())
            if (v->className == className)
                variant = v;
        f.open(*variant);
        f.session.dialogs.clear();
        f.show(3);
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Modal),
                 QStringList{"previewDialog"});
        QCOMPARE(f.previews.size(), 1);
        const report::PreparedReport& prepared = f.previews.first();
        QVERIFY(prepared.find(heading).isValid());
        QVERIFY2(prepared.find(present).isValid(), qPrintable(ListFixture::allText(prepared)));
        QVERIFY2(!prepared.find(absent).isValid(), qPrintable(ListFixture::allText(prepared)));
        QVERIFY(prepared.find("Mart 2026").isValid()); // letter case aside
        // a GSS list says so on paper
        QCOMPARE(prepared.find("GENEL SAĞLIK SİGORTASI").isValid(), className.endsWith("gss"));
        QVERIFY(!prepared.find("Rapor hazırlanamadı").isValid());
        // the bundled file was put into the empty template folder
        QVERIFY(QFile::exists(f.templatePath(variant->templateFile)));
    }

    // The students of the month, in the server's order, and nothing of other months or units.
    void rowsOfTheMonthInOrder()
    {
        ListFixture f;
        f.writeTemplate("liste1.frf", rowsTemplate("Liste"));
        const int b = f.student("2002", "Şule", "Öztürk");
        const int a = f.student("1001", "Ali", "Işık");
        f.accrue(b, 3, 30, "1234567.5");
        f.accrue(a, 3, 12, "0.1");
        f.accrue(a, 4, 30, "999");         // another month
        f.accrue(a, 3, 30, "777", "2025"); // another year
        const int other = f.session.addStudent("1500", "Başka", "Birim", QDate(2026, 1, 1),
                                               QDate(2026, 12, 31), false, "1", "02");
        f.session.setup().callProcedure("Tahakkukekle", {{"@idogrenci", QString::number(other)},
                                                         {"@yil", "2026"},
                                                         {"@ay", 3},
                                                         {"@gun", 30},
                                                         {"@birimkodu", "02"},
                                                         {"@kazanc", "5"},
                                                         {"@matrah", "5"}});
        f.open();
        f.show(3);
        QCOMPARE(f.previews.size(), 1);
        QCOMPARE(f.previews.first().pageTexts(0),
                 (QStringList{"Liste", "1001 Ali Işık 0,10 ", "2002 Şule Öztürk 1.234.567,50 ",
                              "Toplam 1.234.567,60 "}));
    }

    // The template is read from disk at every "Göster": a change shows at the next click.
    void templateReadAtEveryRun()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
        f.writeTemplate("liste1.frf", rowsTemplate("Birinci biçim"));
        f.open();
        f.show(3);
        f.writeTemplate("liste1.frf", rowsTemplate("İkinci biçim"));
        QTest::mouseClick(f.child<QToolButton>("SpeedButton5"), Qt::LeftButton);
        QCOMPARE(f.previews.size(), 2);
        QVERIFY(f.previews.at(0).find("Birinci biçim").isValid());
        QVERIFY(f.previews.at(1).find("İkinci biçim").isValid());
        QVERIFY(!f.previews.at(1).find("Birinci biçim").isValid());
    }

    // A broken template with nothing loaded before: the one page naming the file, the line and
    // the column. The user's file is left as it is; there is no message of the window's own.
    void brokenTemplate()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
        const QString broken =
            "report name=\"Bozuk\"\nband detail height=6\n  txt x=0 w=10 \"a\"\n";
        f.writeTemplate("liste2.frf", broken);
        f.open(ListVariant::liste2());
        f.session.dialogs.clear();
        f.show(3);
        QCOMPARE(f.previews.size(), 1);
        const QString page = ListFixture::allText(f.previews.first());
        QVERIFY2(page.contains("Rapor hazırlanamadı"), qPrintable(page));
        QVERIFY2(page.contains("liste2.frf"), qPrintable(page));
        QVERIFY2(page.contains("satır 3"), qPrintable(page));
        QCOMPARE(f.previews.first().pageCount(), 1);
        QCOMPARE(fileText(f.templatePath("liste2.frf")), broken);
        QCOMPARE(f.shown(ScriptedDialogs::Kind::Error), QStringList());
        QCOMPARE(f.shown(ScriptedDialogs::Kind::Message), QStringList());
    }

    // A template that cannot be read after a good one: the window keeps the one it loaded.
    void failedLoadKeepsTheEarlierTemplate_data()
    {
        QTest::addColumn<bool>("remove"); // otherwise break it
        QTest::newRow("broken") << false;
        QTest::newRow("unreadable folder") << true;
    }
    void failedLoadKeepsTheEarlierTemplate()
    {
        QFETCH(bool, remove);
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
        f.writeTemplate("liste1.frf", rowsTemplate("Önceki biçim"));
        f.open();
        f.show(3);
        if (remove) {
            // a missing file that cannot be restored: the folder is a file now
            const QString folder = f.templates.filePath("yok");
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            f.window->setTemplateFolder(folder);
        } else {
            f.writeTemplate("liste1.frf", "band detail height=6\n  text x=0 w=10 \"[ad\n");
        }
        QTest::mouseClick(f.child<QToolButton>("SpeedButton5"), Qt::LeftButton);
        QCOMPARE(f.previews.size(), 2);
        QVERIFY(f.previews.at(1).find("Önceki biçim").isValid());
        QVERIFY(f.previews.at(1).find("Ali Işık").isValid());
    }

    // Only a missing file is put back from the bundle; an edited one stays.
    void missingTemplateRestored()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
        f.writeTemplate("liste1.frf", rowsTemplate("Kendi biçimim"));
        f.open();
        f.show(3);
        QVERIFY(f.previews.at(0).find("Kendi biçimim").isValid());
        QCOMPARE(fileText(f.templatePath("liste1.frf")), rowsTemplate("Kendi biçimim"));
        QVERIFY(QFile::remove(f.templatePath("liste1.frf")));
        QTest::mouseClick(f.child<QToolButton>("SpeedButton5"), Qt::LeftButton);
        QVERIFY(f.previews.at(1).find("ÖĞRENCİ STAJYER AYLIK PRİM LİSTESİ").isValid());
        QCOMPARE(fileText(f.templatePath("liste1.frf")), fileText(":/reports/liste1.frf"));
    }

    // Without a folder of its own the window reads the engine's template folder.
    void standardTemplateFolder()
    {
        QStandardPaths::setTestModeEnabled(true); // keeps the user's own folders out of it
        TestSession session;
        TFrmListe window(*session.context, &session.mainWindow, ListVariant::liste2Gss());
        QCOMPARE(window.templatePath(), report::templateFolder() + "liste2.frf");
    }

    // The workplace and parameter rows and the period reach the template.
    void recordsAndVariables()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
        f.session.setup().execute("UPDATE Parametre SET kanunno = '05510'");
        f.writeTemplate("liste1.frf",
                        "band title height=30\n"
                        "  text x=0 y=0 w=190 h=5 \"[isyeri.birimadi]|[isyeri.isyerisicil]\"\n"
                        "  text x=0 y=5 w=190 h=5 \"[isyeri.isyeriadres]|[isyeri.isyerivergino]\"\n"
                        "  text x=0 y=10 w=190 h=5 \"[parametre.aktifyil]|[parametre.kanunno]\"\n"
                        "  text x=0 y=15 w=190 h=5 \"[yil]|[ay]|[ayadi]|[monthname(ay)]\"\n"
                        "band detail height=5\n"
                        "  text x=0 w=190 \"[tckimlikno]|[ssksicilno]|[matrah]|[idogrenci]\"\n");
        f.open();
        f.show(3);
        QCOMPARE(f.previews.size(), 1);
        const QStringList texts = f.previews.first().pageTexts(0);
        QCOMPARE(texts.value(0), "Kuzey Yıldızı Üniversitesi Mühendislik Fakültesi "
                                 "Dekanlığı|285420101123456700601");
        QCOMPARE(texts.value(1), "Cumhuriyet Mah. Üniversite Cad. No:12 Çankaya/ANKARA|"
                                 "1234567890");
        QCOMPARE(texts.value(2), "2026|05510");
        QCOMPARE(texts.value(3), "2026|3|Mart|Mart");
        QVERIFY2(texts.value(4).startsWith("10000001001|SGK1001|1500"), qPrintable(texts.value(4)));
    }

    // The report data on its own: records of rows that are missing are empty, not absent.
    void reportDataOfMissingRows()
    {
        TestSession session;
        db::Dataset rows(session.connection), workplace(session.connection),
            parameters(session.connection);
        rows.setProcedure("Liste1");
        rows.addParam("@key1", "2026");
        rows.addParam("@key2", 3);
        rows.addParam("@key3", "01");
        rows.open();
        workplace.setProcedure("isyerigetir");
        workplace.addParam("@key1", "99"); // no workplace row for this unit
        workplace.open();
        parameters.setProcedure("ParametreGetir");
        parameters.open();
        const report::ReportData data =
            lists::reportData(rows, workplace, parameters, Period("2026", 12));
        QCOMPARE(data.rowCount(), 0);
        QCOMPARE(data.columns().size(), 15);
        const QVariantHash isyeri = data.records().value("isyeri");
        QCOMPARE(isyeri.size(), 11); // the columns of isyerigetir, its row version included
        QVERIFY(isyeri.value("birimadi").isNull());
        QCOMPARE(data.records().value("parametre").value("aktifyil").toString(), "2026");
        QCOMPARE(data.variables().value("ay").toInt(), 12);
        QCOMPARE(data.variables().value("ayadi").toString(), "Aralık");
        QCOMPARE(data.variables().value("yil").toString(), "2026");
    }

    // After the preview closes the activation runs again: a changed active year shows, the
    // grid keeps its rows and the main window stays hidden.
    void activationAfterThePreview()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
        f.inPreview = [&f](report::PreviewDialog&) {
            f.session.setup().execute("UPDATE Parametre SET aktifyil = '2027'");
            f.session.mainWindow.show();
        };
        f.open();
        QCOMPARE(f.child<QLineEdit>("Edit1")->text(), "2026");
        f.show(3);
        QCOMPARE(f.previews.size(), 1);
        QCOMPARE(f.child<QLineEdit>("Edit1")->text(), "2027");
        QVERIFY(!f.session.mainWindow.isVisible());
        auto* grid = f.child<QWidget>("wwDBGrid1");
        QVERIFY(grid->isVisible());
        QCOMPARE(f.window->findChild<db::Dataset*>("SpGenel1")->recordCount(), 1);
    }

    // The preview's file questions and failures go through the dialog service.
    void previewFilesThroughTheDialogService()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1500");
        const QString pdf = f.templates.filePath("liste.pdf");
        const QString saved = f.templates.filePath("liste.zrp");
        const QString garbage = f.templates.filePath("bozuk.zrp");
        QFile bad(garbage);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("no report");
        bad.close();
        f.session.dialogs.saveAnswers = {pdf, saved};
        f.session.dialogs.openAnswers = {saved, garbage};
        bool opened = false, refused = true;
        f.inPreview = [&](report::PreviewDialog& preview) {
            QVERIFY(preview.saveReport());
            QVERIFY(preview.saveReport());
            opened = preview.openReport();
            refused = !preview.openReport();
        };
        f.open();
        f.session.dialogs.clear();
        f.show(3);
        QVERIFY(QFileInfo(pdf).size() > 0);
        QFile pdfFile(pdf);
        QVERIFY(pdfFile.open(QIODevice::ReadOnly));
        QVERIFY(pdfFile.read(5) == "%PDF-");
        QVERIFY(QFileInfo(saved).size() > 0);
        QVERIFY(opened);
        QVERIFY(refused);
        QCOMPARE(f.shown(ScriptedDialogs::Kind::Save),
                 (QStringList{"Raporu kaydet", "Raporu kaydet"}));
        QCOMPARE(f.session.dialogs.lastSaveFilter,
                 report::PreviewDialog::kReportFilter + ";;" + report::PreviewDialog::kPdfFilter);
        QCOMPARE(f.session.dialogs.lastProposedName, "liste1-2026-03");
        QCOMPARE(f.shown(ScriptedDialogs::Kind::Open),
                 (QStringList{"Hazır rapor aç", "Hazır rapor aç"}));
        const QStringList errors = f.shown(ScriptedDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains("bozuk.zrp"), qPrintable(errors.first()));
    }
};

QTEST_MAIN(TstListReport)
#include "tst_listreport.moc"
