// "Denetle" in the declaration window: offered exactly with step (2), the demonstration month
// passes with a message, a month with faults gives one report line per fault through the
// preview, and the check stores and writes nothing.

#include "declaration/checkreport.h"
#include "declwindowfixture.h"
#include "report/previewdialog.h"

#include <QTemporaryDir>

using namespace zelvo;

namespace {

// The window with its check template read from a temporary folder and the prepared reports it
// handed to its previews.
struct CheckFixture : DeclFixture {
    QTemporaryDir templates;
    QList<report::PreparedReport> previews;

    CheckFixture()
    {
        session.dialogs.onModal = [this](QDialog& dialog) {
            if (auto* preview = qobject_cast<report::PreviewDialog*>(&dialog))
                previews.append(preview->report());
        };
    }
    void openWindow(bool gss = false)
    {
        open(gss);
        window->setTemplateFolder(templates.path());
    }
    void check() { press("SpeedButton12"); }

    // January 2026's timesheet and accrual of the demonstration students as the monthly windows
    // store them: the days of 15 January to 14 February inside the internship, priced at the
    // month's minimum wage by the server's own procedure.
    void demoJanuary()
    {
        session.loadDemo();
        session.setup().execute(QStringLiteral("update Parametre set aktifyil='2026'"));
        session.setup().execute(QStringLiteral(
            "insert into Puantaj (idogrenci, yil, ay, gun, gun1, gun2, birimkodu) select "
            "idogrenci, '2026', 1, min(d, 30), min(d, 30), 0, birimkodu from (select idogrenci, "
            "birimkodu, cast(julianday(min(bitistarihi, '2026-02-14')) - "
            "julianday(max(baslangictarihi, '2026-01-15')) as integer) + 1 as d from ogrenci "
            "where statu <> '2' and baslangictarihi <= '2026-02-14' and bitistarihi >= "
            "'2026-01-15')"));
        const db::ResultRows rows = session.setup().query(
            QStringLiteral("select idogrenci, gun from Puantaj where yil='2026' and ay=1"));
        for (const auto& row : rows.rows)
            session.connection.callProcedure(
                QStringLiteral("Tahakkukekle"),
                {{QStringLiteral("@idogrenci"), row.at(0).toString()},
                 {QStringLiteral("@yil"), QStringLiteral("2026")},
                 {QStringLiteral("@ay"), 1},
                 {QStringLiteral("@gun"), row.at(1)},
                 {QStringLiteral("@birimkodu"), QStringLiteral("01")},
                 {QStringLiteral("@kazanc"), 33030.0 * row.at(1).toInt() / 30},
                 {QStringLiteral("@matrah"), 33030.0 * row.at(1).toInt() / 30}});
        recordComputed(1, QStringLiteral("01"), QStringLiteral("2026"));
    }

    void setIdentity(int student, const QString& number)
    {
        session.setup().execute(
            QStringLiteral("update ogrenci set tckimlikno=@tc where idogrenci=@id"),
            {{QStringLiteral("@tc"), number}, {QStringLiteral("@id"), student}});
    }

    static QString allText(const report::PreparedReport& prepared)
    {
        QStringList texts;
        for (int p = 0; p < prepared.pageCount(); ++p)
            texts << prepared.pageTexts(p);
        return texts.join(QLatin1Char('\n'));
    }
};

} // namespace

class TstDeclCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offeredWithStepTwo_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::newRow("standard") << false;
        QTest::newRow("GSS") << true;
    }
    void offeredWithStepTwo()
    {
        QFETCH(bool, gss);
        CheckFixture f;
        StudentData s{QStringLiteral("100")};
        s.gss = gss;
        f.addAccrual(f.addStudent(s), 3);
        f.openWindow(gss);
        QToolButton* check = f.button("SpeedButton12");
        QCOMPARE(check->text(), QStringLiteral("Denetle"));
        QVERIFY(check->isHidden());
        f.prepare(3);
        QVERIFY(f.offered());
        QVERIFY(!check->isHidden());
        f.chooseMonth(4);
        QVERIFY(f.nothingOffered());
        QVERIFY(check->isHidden());
        // the month's rows gone since step (1): told as step (2) tells it, nothing offered
        f.prepare(3);
        f.session.setup().execute(QStringLiteral("delete from Xml"));
        f.check();
        QCOMPARE(f.messages().last(), noRowsText);
        QVERIFY(f.nothingOffered());
        QVERIFY(check->isHidden());
        QVERIFY(f.previews.isEmpty());
    }

    void demoMonthPasses_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::newRow("standard") << false;
        QTest::newRow("GSS") << true;
    }
    void demoMonthPasses()
    {
        QFETCH(bool, gss);
        CheckFixture f;
        f.demoJanuary();
        f.openWindow(gss);
        f.prepare(1);
        QVERIFY(f.offered());
        const int rows =
            f.count(QStringLiteral("select count(*) from Xml x join ogrenci o on "
                                   "o.idogrenci=x.idogrenci where x.ay=1 and o.gss=@g"),
                    {{QStringLiteral("@g"), gss ? 1 : 0}});
        QVERIFY(rows >= 2);
        f.session.dialogs.clear();
        f.check();
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.messages(),
                 QStringList{QStringLiteral("Bildirge denetlendi: %1 satırda hata ya da uyarı "
                                            "bulunmadı.")
                                 .arg(rows)});
        QVERIFY(f.previews.isEmpty());
        QVERIFY(f.offered());
    }

    // One fault of each kind the window's own data can hold, each printed once, errors first.
    void faultsInTheReport()
    {
        CheckFixture f;
        const int valid = f.addStudent(StudentData{QStringLiteral("101")});
        f.setIdentity(valid, QStringLiteral("25881399814"));
        f.addAccrual(valid, 3, QStringLiteral("33030.00"));
        const int shortNumber = f.addStudent(StudentData{QStringLiteral("102")});
        f.setIdentity(shortNumber, QStringLiteral("1234"));
        f.addAccrual(shortNumber, 3, QStringLiteral("33030.00"));
        const int twice = f.addStudent(StudentData{QStringLiteral("103")});
        f.setIdentity(twice, QStringLiteral("25881399814"));
        f.addAccrual(twice, 3, QStringLiteral("33030.00"));
        const int lowBase = f.addStudent(StudentData{QStringLiteral("104")});
        f.setIdentity(lowBase, QStringLiteral("79879730998"));
        f.addAccrual(lowBase, 3, QStringLiteral("800.00"));
        const int noDays = f.addStudent(StudentData{QStringLiteral("105")});
        f.setIdentity(noDays, QStringLiteral("21417075344"));
        f.addAccrual(noDays, 3, QStringLiteral("0"), 0);

        f.openWindow();
        f.prepare(3);
        const QStringList storedBefore = f.storedRows(3);
        f.session.dialogs.clear();
        f.check();
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Save), QStringList());
        QCOMPARE(f.previews.size(), 1);
        const QString text = CheckFixture::allText(f.previews.first());
        QVERIFY2(!text.contains(QStringLiteral("Rapor hazırlanamadı")), qPrintable(text));

        const QStringList reasons = {
            QStringLiteral("T.C. Kimlik No 11 haneli olmalı (\"1234\")"),
            QStringLiteral("T.C. Kimlik No bu ayda iki kez var (\"25881399814\", 1. satırda da)"),
            QStringLiteral("PEK (\"800.00\") asgari ücretin 30 günlük tutarından (33030.00) düşük"),
            QStringLiteral("Gün 0: öğrenci bu ayın listesinde ama hiç günü yok")};
        qsizetype previous = -1;
        for (const QString& reason : reasons) {
            QVERIFY2(text.count(reason) == 1, qPrintable(reason + QLatin1Char('\n') + text));
            QVERIFY(text.indexOf(reason) > previous); // errors, then warnings, in row order
            previous = text.indexOf(reason);
        }
        QCOMPARE(text.count(QStringLiteral("HATA")), 2);
        QCOMPARE(text.count(QStringLiteral("UYARI")), 2);
        QVERIFY(text.contains(QStringLiteral(": 2 hata, 2 uyarı")));
        QVERIFY(text.contains(QStringLiteral("TOPLAM: 2 hata, 2 uyarı")));
        QVERIFY(text.contains(QStringLiteral("MART 2012 DÖNEMİ")));
        // the bundled template was put into the empty folder
        QVERIFY(QFile::exists(f.templates.filePath(declaration::checkTemplateFile())));
        // nothing stored, removed or written; the rows stay offered
        QCOMPARE(f.storedRows(3), storedBefore);
        QVERIFY(f.offered());
    }
};

QTEST_MAIN(TstDeclCheck)
#include "tst_declcheck.moc"
