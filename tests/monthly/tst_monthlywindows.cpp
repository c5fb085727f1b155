// The timesheet and accrual windows as the user meets them: layout and titles of both
// editions, activation, the month click, the navigator, corrections typed into the timesheet
// grid, closing, the progress shown during long runs and the window catalog.

#include "app/windowregistry.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "db/dataset.h"
#include "monthly/runprogress.h"
#include "monthly/tfrmpuantajgss.h"
#include "monthly/tfrmtahakkukgss.h"
#include "monthlyfixture.h"
#include "ui/windowcatalog.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>

using namespace zelvo;

using namespace zelvo::monthly;

namespace {

using Timesheet = MonthlyFixture<TFrmPuantaj>;

// Two students with a whole March period, run for March; the grid shows them.
void computeMarch(Timesheet& f)
{
    f.session.addStudent("100", "Ali", "Veli", QDate(2026, 3, 1), QDate(2026, 5, 1));
    f.session.addStudent("200", "Ayşe", "Kaya", QDate(2026, 3, 20), QDate(2026, 5, 1));
    f.open();
    f.run(3);
    QVERIFY(f.child(QStringLiteral("wwDBGrid1"))->isVisible());
}

QString headerTitles(const controls::DbGrid* grid)
{
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString().replace('\n', ' ');
    return titles.join('|');
}

} // namespace

class TstMonthlyWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timesheetLayout_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::addColumn<QString>("firstTitle");
        QTest::newRow("standard") << false
                                  << "Puantaj Hesaplama ve Kontrol Ekranı (15 Ocak - 14 Şubat)";
        QTest::newRow("GSS") << true
                             << "G.S.S.  Puantaj Hesaplama ve Kontrol Ekranı (15 Ocak - 14 Şubat)";
    }
    void timesheetLayout()
    {
        QFETCH(bool, gss);
        QFETCH(QString, firstTitle);
        TestSession session;
        std::unique_ptr<TFrmPuantaj> window(
            gss ? new TFrmPuantajgss(*session.context, &session.mainWindow)
                : new TFrmPuantaj(*session.context, &session.mainWindow));
        QCOMPARE(window->size(), QSize(1084, 740));
        QCOMPARE(window->objectName(), gss ? "FrmPuantajgss" : "FrmPuantaj");
        QCOMPARE(window->findChild<QLineEdit*>("Edit1")->text(), gss ? "2008" : "2012");
        auto* title = window->findChild<QLabel*>("Label1");
        QCOMPARE(title->text(), firstTitle);
        QVERIFY(title->font().bold());
        QCOMPARE(title->font().pixelSize(), 21);
        auto* label2 = window->findChild<QLabel*>("Label2");
        QCOMPARE(label2 != nullptr, gss);
        QCOMPARE(window->findChild<QToolButton*>("SpeedButton5")->text(), "Puantajı Hesapla");
        auto* grid = window->findChild<controls::DbGrid*>("wwDBGrid1");
        QCOMPARE(grid->size(), QSize(1064, 591));
        QCOMPARE(headerTitles(grid), "Yıl|Ay|Öğrenci No|Adı|Soyadı|İlgili Aya Ait Gün Sayısı|"
                                     "ESKİ ücrete tabi gün|YENİ ücrete tabi gün|Başlangıç|Bitiş");
        // only the day columns take corrections
        QStringList editable;
        for (const controls::GridColumn& c : grid->datasetModel()->columns())
            if (!c.readOnly)
                editable << c.field;
        QCOMPARE(editable, QStringList({"gun", "gun1", "gun2"}));
        auto* navigator = window->findChild<controls::DbNavigator*>("wwDBNavigator1");
        QStringList buttons;
        for (QToolButton* b : navigator->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
            buttons << b->objectName();
        QCOMPARE(buttons,
                 QStringList({"First", "Prior", "Forward10", "Post", "Back10", "Next", "Last"}));
        QVERIFY(window->findChild<QToolButton*>("SpeedButton29"));

        window->show();
        QVERIFY(!grid->isVisible());
        QCOMPARE(window->findChild<QLineEdit*>("Edit1")->text(), "2026"); // loaded at activation
        QCOMPARE(session.mainWindow.isVisible(), !gss);
        if (gss)
            QCOMPARE(label2->text(), "G.S.S.");
        // a month click sets the plain title, also in the GSS edition
        QTest::mouseClick(window->findChild<QRadioButton*>("Month12"), Qt::LeftButton);
        QCOMPARE(title->text(), "Puantaj Hesaplama ve Kontrol Ekranı (15 Aralık - 14 Ocak)");
        window->close();
        QVERIFY(session.mainWindow.isVisible());
    }

    void yearBoxHasTheFocusAfterActivation()
    {
        Timesheet f;
        f.open();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(QApplication::focusWidget(), f.child(QStringLiteral("Edit1")));
    }

    void monthClickHidesTheGridAndChangesNothing()
    {
        Timesheet f;
        computeMarch(f);
        const QStringList stored = f.rows("SELECT * FROM Puantaj ORDER BY 1");
        f.chooseMonth(4);
        QVERIFY(!f.child(QStringLiteral("wwDBGrid1"))->isVisible());
        QCOMPARE(f.child<QLabel>(QStringLiteral("Label1"))->text(),
                 "Puantaj Hesaplama ve Kontrol Ekranı (15 Nisan - 14 Mayıs)");
        QCOMPARE(f.rows("SELECT * FROM Puantaj ORDER BY 1"), stored);
    }

    // The navigator walks the student list of the last computation, never the grid.
    void navigatorFollowsTheStudentList()
    {
        Timesheet f;
        computeMarch(f);
        auto* students = f.window->findChild<db::Dataset*>("SpGetir");
        auto* monthView = f.window->findChild<db::Dataset*>("SpGenel");
        QCOMPARE(students->recordCount(), 2);
        auto* next = f.child(QStringLiteral("wwDBNavigator1"))->findChild<QToolButton*>("Next");
        QVERIFY(next->isEnabled());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(students->currentIndex(), 1);
        QCOMPARE(monthView->currentIndex(), 0);
        auto* grid = f.child<controls::DbGrid>(QStringLiteral("wwDBGrid1"));
        QCOMPARE(grid->currentIndex().row(), 0);
    }

    // A correction is stored when the row is left and when the window closes.
    void correctionsAreStored()
    {
        Timesheet f;
        computeMarch(f);
        auto* grid = f.child<controls::DbGrid>(QStringLiteral("wwDBGrid1"));
        QAbstractItemModel* model = grid->model();
        // gun1 of the first row, then leave the row
        QVERIFY(model->setData(model->index(0, 6), 12, Qt::EditRole));
        grid->setCurrentIndex(model->index(1, 6));
        QCOMPARE(f.rows("SELECT gun1 FROM Puantaj ORDER BY idogrenci"), QStringList({"12", ""}));
        // gun2 of the second row typed as text, then gun of the same row still in its editor
        QVERIFY(model->setData(model->index(1, 7), QStringLiteral(" 18 "), Qt::EditRole));
        grid->setCurrentIndex(model->index(1, 5));
        grid->edit(model->index(1, 5));
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("9"));
        f.window->close();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.rows("SELECT gun, gun1, gun2 FROM Puantaj ORDER BY idogrenci"),
                 QStringList({"30|12|", "9||18"}));
        const QString typeOf = f.session.connection.backendName() == QLatin1String("sqlite")
                                   ? QStringLiteral("typeof(%1)")
                                   : QStringLiteral("pg_typeof(%1)::text");
        QCOMPARE(f.rows(QStringLiteral("SELECT %1, %2 FROM Puantaj WHERE gun2 IS NOT NULL")
                            .arg(typeOf.arg("gun"), typeOf.arg("gun2"))),
                 QStringList{"integer|integer"});
    }

    // Text that is no whole number never reaches a day column; the window stays usable.
    void correctionsMustBeWholeNumbers_data()
    {
        QTest::addColumn<QVariant>("typed");
        QTest::newRow("letters") << QVariant("on iki");
        QTest::newRow("fraction") << QVariant(2.5);
    }
    void correctionsMustBeWholeNumbers()
    {
        QFETCH(QVariant, typed);
        Timesheet f;
        computeMarch(f);
        const QStringList stored = f.rows("SELECT * FROM Puantaj ORDER BY 1");
        auto* grid = f.child<controls::DbGrid>(QStringLiteral("wwDBGrid1"));
        QAbstractItemModel* model = grid->model();
        QVERIFY(model->setData(model->index(0, 5), typed, Qt::EditRole));
        grid->setCurrentIndex(model->index(1, 5));
        QCOMPARE(
            f.errors(),
            QStringList{QStringLiteral("'%1' geçerli bir tam sayı değil.").arg(typed.toString())});
        // closing drops the refused value after showing the error once more
        f.session.dialogs.clear();
        f.window->close();
        QCOMPARE(f.errors().size(), 1);
        QVERIFY(f.window->isVisible());
        f.window->close();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.rows("SELECT * FROM Puantaj ORDER BY 1"), stored);
    }

    // Numbers, dates and amounts are shown whole, not cut off.
    void columnsShowTheirValuesWhole()
    {
        Timesheet f;
        computeMarch(f);
        auto* grid = f.child<controls::DbGrid>(QStringLiteral("wwDBGrid1"));
        const QFontMetrics body(grid->font());
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            for (int r = 0; r < grid->model()->rowCount(); ++r) {
                const QString shown = grid->model()->index(r, c).data().toString();
                QVERIFY2(grid->columnWidth(c) > body.horizontalAdvance(shown), qPrintable(shown));
            }
        QVERIFY(grid->columnWidth(2) > body.horizontalAdvance(QStringLiteral("2022101002")));
    }

    void closingClosesTheDatasets()
    {
        Timesheet f;
        computeMarch(f);
        f.window->close();
        for (const char* name : {"SpSil", "SpGetir", "SpParametre", "SpGun", "SpOzel", "SpGenel"})
            QVERIFY2(!f.window->findChild<db::Dataset*>(name)->isOpen(), name);
        QVERIFY(f.session.mainWindow.isVisible());
    }

    void accrualLayout_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::addColumn<QString>("title");
        QTest::newRow("standard") << false << "Tahakkuk Kontrol Ekranı";
        QTest::newRow("GSS") << true << "GENEL SAĞLIK SİGORTASI Tahakkuk Kontrol Ekranı";
    }
    void accrualLayout()
    {
        QFETCH(bool, gss);
        QFETCH(QString, title);
        TestSession session;
        std::unique_ptr<TFrmTahakkuk> window(
            gss ? new TFrmTahakkukGss(*session.context, &session.mainWindow)
                : new TFrmTahakkuk(*session.context, &session.mainWindow));
        QCOMPARE(window->size(), QSize(1091, 740));
        QCOMPARE(window->findChild<QLineEdit*>("Edit1")->text(), gss ? "2008" : "2012");
        auto* heading = window->findChild<QLabel*>("StaticText1");
        QCOMPARE(heading->text(), title);
        QVERIFY(heading->font().bold());
        QCOMPARE(heading->font().pixelSize(), 21);
        QCOMPARE(window->findChild<QToolButton*>("SpeedButton5")->text(), "Tahakkuk Ettir");
        auto* grid = window->findChild<controls::DbGrid*>("wwDBGrid1");
        QCOMPARE(grid->size(), QSize(1064, 591));
        QVERIFY(grid->datasetModel()->isReadOnly());
        QCOMPARE(headerTitles(grid), "Yıl|İlgili Ay|Öğrenci Numarası|Adı|Soyadı|"
                                     "Aya Ait Staj Günü|Toplam Kazanç|SGK Matrahı|İşveren Payı|"
                                     "Çalışan Payı");
        auto* navigator = window->findChild<controls::DbNavigator*>("wwDBNavigator1");
        const auto buttons = navigator->findChildren<QToolButton*>();
        QCOMPARE(buttons.size(), 7);

        window->show();
        QCOMPARE(window->findChild<QLineEdit*>("Edit1")->text(), "2026");
        QVERIFY(!session.mainWindow.isVisible());
        QVERIFY(!grid->isVisible());
        for (QToolButton* b : buttons)
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        window->close();
        QVERIFY(session.mainWindow.isVisible());
        for (const char* name : {"SpSil", "SpOzel", "SpGenel", "SpGenel1", "SpParametre"})
            QVERIFY2(!window->findChild<db::Dataset*>(name)->isOpen(), name);
    }

    void accrualMonthClickHidesTheGrid()
    {
        MonthlyFixture<TFrmTahakkuk> f;
        const int id =
            f.session.addStudent("100", "Ali", "Veli", QDate(2026, 3, 1), QDate(2026, 5, 1));
        f.sql("INSERT INTO Puantaj (idogrenci, yil, ay, gun, birimkodu) "
              "VALUES (@s, '2026', 3, 30, '01')",
              {{"@s", id}});
        f.open();
        f.run(3);
        QVERIFY(f.child(QStringLiteral("wwDBGrid1"))->isVisible());
        const QStringList stored = f.rows("SELECT * FROM Tahakkuk");
        f.chooseMonth(5);
        QVERIFY(!f.child(QStringLiteral("wwDBGrid1"))->isVisible());
        QCOMPARE(f.rows("SELECT * FROM Tahakkuk"), stored);
        // the navigator stays without data after a run
        for (QToolButton* b :
             f.child(QStringLiteral("wwDBNavigator1"))->findChildren<QToolButton*>())
            QVERIFY(!b->isEnabled());
    }

    // December with a January wage below December's: the state line warns first, with both
    // amounts; another month, or a January wage not below, says nothing of it.
    void accrualWarnsOfALowJanuaryWage_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("january");
        QTest::addColumn<bool>("warned");
        QTest::newRow("December, January lower") << 12 << "30000.00" << true;
        QTest::newRow("December, January equal") << 12 << "33030.00" << false;
        QTest::newRow("November, January lower") << 11 << "30000.00" << false;
    }
    void accrualWarnsOfALowJanuaryWage()
    {
        QFETCH(int, month);
        QFETCH(QString, january);
        QFETCH(bool, warned);
        MonthlyFixture<TFrmTahakkuk> f;
        f.sql("UPDATE Parametre SET au12 = 33030.00, au01 = @w", {{"@w", january}});
        f.open();
        f.chooseMonth(month);
        auto* state = f.window->findChild<QLabel*>(QStringLiteral("AyDurumu"));
        QCOMPARE(state->text().startsWith(QStringLiteral("<span style=\"color:#9a5b00\"><b>UYARI:"
                                                         "</b> Ocak asgari ücreti (au01 = ")),
                 warned);
        QCOMPARE(state->text().contains(QStringLiteral("(au12 = 33")), warned);
    }

    // A run that takes longer than the delay shows a window-modal progress bar without a
    // cancel button; a short one shows none.
    void progressForLongRuns_data()
    {
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("shown");
        QTest::newRow("long run") << 0 << true;
        QTest::newRow("short run") << 60000 << false;
    }
    void progressForLongRuns()
    {
        QFETCH(int, delay);
        QFETCH(bool, shown);
        QWidget window;
        window.show();
        RunProgress progress(&window, QStringLiteral("Puantaj hesaplanıyor..."), delay);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        progress.setTotal(200);
        for (int done = 1; done <= 200; ++done)
            progress.advance(done);
        QCOMPARE(progress.dialog() != nullptr, shown);
        if (shown) {
            QCOMPARE(progress.dialog()->windowModality(), Qt::WindowModal);
            QCOMPARE(progress.dialog()->value(), 200);
            QVERIFY(progress.dialog()->findChildren<QPushButton*>().isEmpty());
            // it cannot be put away while the run goes on
            QTest::keyClick(progress.dialog(), Qt::Key_Escape);
            progress.dialog()->close();
            QVERIFY(progress.dialog()->isVisible());
        }
    }

    void catalogHasTheFourWindows()
    {
        ui::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        TestSession session;
        for (const char* name :
             {"TFrmPuantaj", "TFrmPuantajgss", "TFrmTahakkuk", "TFrmTahakkukGss"}) {
            std::unique_ptr<QDialog> window(
                catalog.create(QString::fromLatin1(name), *session.context, nullptr));
            QVERIFY2(window, name);
            QCOMPARE(window->metaObject()->className(), QByteArray("zelvo::monthly::") + name);
        }
    }
};

QTEST_MAIN(TstMonthlyWindows)
#include "tst_monthlywindows.moc"
