// The list windows as the user meets them: the four variants and their layout, activation,
// the month click, the grid and navigator over the list rows, a month without rows, columns
// the server fails to deliver, closing, and the window catalog.

#include "app/windowregistry.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "listfixture.h"
#include "lists/listrows.h"
#include "ui/look.h"
#include "ui/windowcatalog.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>

using namespace zelvo;

using namespace zelvo::lists;

namespace {

QString headerTitles(const controls::DbGrid* grid)
{
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString().replace('\n', ' ');
    return titles.join('|');
}

// One grid row as shown, cells joined by '|'.
QString gridRow(const controls::DbGrid* grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        cells << grid->model()->index(row, c).data().toString();
    return cells.join('|');
}

// The navigator's buttons from left to right.
QStringList navigatorOrder(const controls::DbNavigator* navigator)
{
    QList<QToolButton*> buttons = navigator->findChildren<QToolButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QToolButton* a, QToolButton* b) { return a->x() < b->x(); });
    QStringList names;
    for (QToolButton* b : buttons)
        names << b->objectName();
    return names;
}

const ListVariant& variantNamed(const QString& className)
{
    for (const ListVariant* v : ListVariant::all())
        if (v->className == className)
            return *v;
    qFatal("no list variant %s", qPrintable(className));
}

// Replaces a procedure's result by the same rows without one column: on the embedded database
// its body is wrapped, on a server the function is renamed and a wrapper takes its name.
void dropColumn(TestSession& session, const QString& procedure, const QStringList& columns,
                const QString& dropped)
{
    QStringList kept = columns;
    kept.removeAll(dropped);
    if (session.connection.backendName() == QLatin1String("sqlite")) {
        session.setup().execute(
            QStringLiteral("UPDATE zelvo_procedure SET body = 'SELECT ' || @cols || "
                           "' FROM (' || body || ')' WHERE name = @name"),
            {{QStringLiteral("@cols"), kept.join(QStringLiteral(", "))},
             {QStringLiteral("@name"), procedure}});
        return;
    }
    const db::ResultRows signature =
        session.setup().query(QStringLiteral("SELECT pg_get_function_identity_arguments(oid), "
                                             "pg_get_function_result(oid), pronargs FROM pg_proc "
                                             "WHERE proname = lower(@name)"),
                              {{QStringLiteral("@name"), procedure}});
    QCOMPARE(signature.rows.size(), 1);
    const QString arguments = signature.rows.first().at(0).toString();
    QString result = signature.rows.first().at(1).toString(); // TABLE(name type, ...)
    result = result.mid(result.indexOf(QLatin1Char('(')) + 1).chopped(1);
    QStringList keptDefinitions;
    for (const QString& definition : result.split(QStringLiteral(", ")))
        if (kept.contains(definition.section(QLatin1Char(' '), 0, 0)))
            keptDefinitions << definition;
    QStringList passed;
    for (int i = 1; i <= signature.rows.first().at(2).toInt(); ++i)
        passed << QStringLiteral("$%1").arg(i);
    session.setup().applyScript(
        QStringLiteral("ALTER FUNCTION %1(%2) RENAME TO %1_whole; CREATE FUNCTION %1(%2) "
                       "RETURNS TABLE (%3) LANGUAGE sql AS $$ SELECT w.%4 FROM %1_whole(%5) w $$")
            .arg(procedure, arguments, keptDefinitions.join(QStringLiteral(", ")),
                 kept.join(QStringLiteral(", w.")), passed.join(QStringLiteral(", "))));
}

} // namespace

class TstListWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void variants_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("templateFile");
        QTest::newRow("List-1") << "TFrmListe1"
                                << "FrmListe1"
                                << "Liste-1"
                                << "Liste1"
                                << "liste1.frf";
        QTest::newRow("List-2") << "TFrmListe2"
                                << "FrmListe2"
                                << "Liste-2"
                                << "Liste1"
                                << "liste2.frf";
        QTest::newRow("GSS List-1") << "TFrmListe1gss"
                                    << "FrmListe1gss"
                                    << "G.S.S.     Liste-1"
                                    << "Liste1xxx"
                                    << "liste1.frf";
        QTest::newRow("GSS List-2") << "TFrmListe2gss"
                                    << "FrmListe2gss"
                                    << "G.S.S.  Liste-2"
                                    << "Liste1xxx"
                                    << "liste2.frf";
    }
    void variants()
    {
        QFETCH(QString, className);
        QFETCH(QString, instance);
        QFETCH(QString, title);
        QFETCH(QString, procedure);
        QFETCH(QString, templateFile);
        const ListVariant& variant = variantNamed(className);
        QCOMPARE(variant.instanceName, instance);
        QCOMPARE(variant.title, title);
        QCOMPARE(variant.procedure, procedure);
        QCOMPARE(variant.templateFile, templateFile);
        QCOMPARE(variant.initialYear, "2008");

        ListFixture f;
        f.window = std::make_unique<TFrmListe>(*f.session.context, &f.session.mainWindow, variant);
        TFrmListe& w = *f.window;
        QCOMPARE(w.objectName(), instance);
        QCOMPARE(w.size(), QSize(1084, 740));
        QCOMPARE(f.child<QLineEdit>("Edit1")->text(), "2008"); // until the first activation
        auto* heading = f.child<QLabel>("StaticText1");
        QCOMPARE(heading->text(), title);
        QCOMPARE(heading->textFormat(), Qt::PlainText); // the blanks stay
        QVERIFY(heading->font().bold());
        QCOMPARE(heading->font().pixelSize(), 21);
        QCOMPARE(heading->font().family(), ui::look::centuryGothic(21).family());
        w.setTemplateFolder(f.templates.path());
        QCOMPARE(w.templatePath(), f.templates.filePath(templateFile));
    }

    void layout()
    {
        ListFixture f;
        TFrmListe& w = f.open();
        auto* show = f.child<QToolButton>("SpeedButton5");
        QCOMPARE(show->text(), "Göster");
        QVERIFY(show->font().bold());
        QVERIFY(!show->icon().isNull());
        QVERIFY(f.child<QToolButton>("SpeedButton29"));
        QVERIFY(f.child<QWidget>("RadioGroup2"));
        auto* grid = f.child<controls::DbGrid>("wwDBGrid1");
        QCOMPARE(grid->size(), QSize(1064, 591));
        QVERIFY(!grid->isVisible()); // hidden until "Göster"
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(headerTitles(grid), "Yıl|Ay|Öğrenci No|Adı|Soyadı|Sosyal Güvenlik No|"
                                     "Staj Başlangıç|Staj Bitiş|Gün|Matrah|İşveren Payı|"
                                     "Çalışan Payı");
        QStringList fields;
        QList<int> widths;
        for (const controls::GridColumn& c : grid->datasetModel()->columns()) {
            fields << c.field;
            widths << c.widthChars;
            QVERIFY2(c.readOnly, qPrintable(c.field));
        }
        QCOMPARE(fields.join(','), "yil,ay,ogrencino,adi,soyadi,ssksicilno,baslangictarihi,"
                                   "bitistarihi,gun,kazanc,isveren,isci");
        QCOMPARE(widths, (QList<int>{4, 2, 10, 13, 17, 16, 11, 13, 4, 10, 10, 10}));
        auto* navigator = f.child<controls::DbNavigator>("wwDBNavigator1");
        QCOMPARE(navigatorOrder(navigator),
                 (QStringList{"First", "Prior", "Forward10", "Post", "Back10", "Next", "Last"}));
        QCOMPARE(navigator->dataset(), w.findChild<db::Dataset*>("SpGenel1"));
        // shown, the grid sits under the title, inside the window
        f.show(1);
        QVERIFY(grid->isVisible());
        QVERIFY(grid->geometry().top() > f.child<QLabel>("StaticText1")->geometry().bottom());
        QVERIFY(w.rect().contains(grid->geometry()));
    }

    // Activation: the main window hides, the workplace row of the login's unit and the
    // parameter row are open, the year box shows the active year.
    void activation()
    {
        ListFixture f;
        f.session.setup().execute("UPDATE Parametre SET aktifyil = '2031'");
        TFrmListe& w = f.open();
        QVERIFY(!f.session.mainWindow.isVisible());
        QCOMPARE(f.child<QLineEdit>("Edit1")->text(), "2031");
        auto* workplace = w.findChild<db::Dataset*>("SpGetir");
        QVERIFY(workplace->isOpen());
        QCOMPARE(workplace->procedure(), "isyerigetir");
        QCOMPARE(workplace->text("birimkodu"), "01");
        QCOMPARE(workplace->params().size(), 1);
        QCOMPARE(workplace->params().first().name, "@key1");
        QVERIFY(w.findChild<db::Dataset*>("SpParametre")->isOpen());
        QCOMPARE(f.shown(ScriptedDialogs::Kind::Error), QStringList());

        // the unit is read from the login row at every activation
        f.session.setup().execute(
            "INSERT INTO isyeri (birimkodu, birimadi) VALUES ('02', 'İkinci Birim')");
        f.session.setup().execute("UPDATE kullanici SET birimkodu = '02'");
        f.session.relogin("admin", "admin");
        w.reactivate();
        QCOMPARE(workplace->text("birimadi"), "İkinci Birim");
    }

    // Rows: the grid appears with the month's rows in the server's order, amounts in
    // "##,##0.00 " and dates day first; the navigator walks them but never offers to store.
    void rowsInTheGrid()
    {
        ListFixture f;
        f.inPreview = [](report::PreviewDialog&) {};
        const int b = f.student("2002", "Şule", "Öztürk");
        const int a = f.student("1001", "Ali", "Işık");
        f.accrue(b, 3, 30, "123456.5");
        f.accrue(a, 3, 12, "0.1");
        f.open();
        f.show(3);
        auto* grid = f.child<controls::DbGrid>("wwDBGrid1");
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(gridRow(grid, 0), "2026|3|1001|Ali|Işık|SGK1001|01-01-2026|31-12-2026|12|"
                                   "0,10 |0,00 |0,00 ");
        QCOMPARE(gridRow(grid, 1), "2026|3|2002|Şule|Öztürk|SGK2002|01-01-2026|31-12-2026|30|"
                                   "123.456,50 |1.234,57 |0,00 ");
        // nothing shown is cut: a ten-digit student number, dates and amounts fit their columns
        f.session.setup().execute("UPDATE ogrenci SET ogrencino = '2022101001' "
                                  "WHERE ogrencino = '2002'");
        QTest::mouseClick(f.child<QToolButton>("SpeedButton5"), Qt::LeftButton);
        const QFontMetrics metrics(grid->font());
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            for (int c = 0; c < grid->model()->columnCount(); ++c) {
                const QString text = grid->model()->index(r, c).data().toString();
                QVERIFY2(metrics.horizontalAdvance(text) + 6 <= grid->columnWidth(c),
                         qPrintable(text));
            }
        QCOMPARE(grid->model()->index(1, 2).data().toString(), "2022101001");
        auto* navigator = f.child<controls::DbNavigator>("wwDBNavigator1");
        auto* rows = f.window->findChild<db::Dataset*>("SpGenel1");
        QCOMPARE(rows->currentIndex(), 0);
        QVERIFY(navigator->button(controls::DbNavigator::Button::Forward10)->isEnabled());
        QTest::mouseClick(navigator->button(controls::DbNavigator::Button::Forward10),
                          Qt::LeftButton);
        QCOMPARE(rows->currentIndex(), 1);
        QVERIFY(!navigator->button(controls::DbNavigator::Button::Post)->isEnabled());
        // typing into the grid changes nothing
        grid->setCurrentIndex(grid->model()->index(1, 3));
        QTest::keyClicks(grid, "X");
        QCOMPARE(rows->text("adi"), "Şule");
        QCOMPARE(rows->state(), db::Dataset::State::Browse);
        QVERIFY(!navigator->button(controls::DbNavigator::Button::Post)->isEnabled());
        QCOMPARE(f.session.scalar("SELECT adi FROM ogrenci WHERE idogrenci = " + QString::number(b))
                     .toString(),
                 "Şule");
    }

    // A long list scrolls down only: the twelve columns fit beside the vertical scroll bar.
    void longListFitsTheWidth()
    {
        ListFixture f;
        for (int i = 0; i < 60; ++i)
            f.accrue(f.student(QString::number(2022101000 + i), "Muhammet Çağrı", "Yıldırımoğlu"),
                     3, 30, "123456.78");
        f.open();
        f.show(3);
        auto* grid = f.child<controls::DbGrid>("wwDBGrid1");
        QCOMPARE(grid->model()->rowCount(), 60);
        QTRY_VERIFY(grid->verticalScrollBar()->isVisible()); // once laid out
        QVERIFY(!grid->horizontalScrollBar()->isVisible());
    }

    // The call: the window's procedure with the year text, M as an integer and the unit.
    void theCall_data()
    {
        QTest::addColumn<QString>("className");
        QTest::newRow("List-1") << "TFrmListe1";
        QTest::newRow("GSS List-2") << "TFrmListe2gss";
    }
    void theCall()
    {
        QFETCH(QString, className);
        ListFixture f;
        f.open(variantNamed(className));
        f.show(11);
        const db::Dataset* rows = f.window->findChild<db::Dataset*>("SpGenel1");
        QCOMPARE(rows->procedure(), variantNamed(className).procedure);
        QCOMPARE(rows->params().size(), 3);
        QCOMPARE(rows->params().at(0).name, "@key1");
        QCOMPARE(rows->params().at(0).value, QVariant("2026"));
        QCOMPARE(rows->params().at(1).name, "@key2");
        QCOMPARE(rows->params().at(1).value.typeId(), QMetaType::Int);
        QCOMPARE(rows->params().at(1).value.toInt(), 11);
        QCOMPARE(rows->params().at(2).name, "@key3");
        QCOMPARE(rows->params().at(2).value, QVariant("01"));
    }

    // A month without rows: an empty grid, no preview and no message of any kind.
    void monthWithoutRows()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1000");
        f.open();
        f.session.dialogs.clear();
        f.show(4);
        auto* grid = f.child<controls::DbGrid>("wwDBGrid1");
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(f.session.dialogs.shown.isEmpty());
        QVERIFY(f.previews.isEmpty());
        auto* navigator = f.child<controls::DbNavigator>("wwDBNavigator1");
        for (QToolButton* b : navigator->findChildren<QToolButton*>())
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        // nothing was read from the template folder either
        QVERIFY(QDir(f.templates.path()).entryList(QDir::Files).isEmpty());
    }

    // A month click hides the grid; the rows come back only with "Göster".
    void monthClickHidesTheGrid()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1000");
        f.open();
        f.show(3);
        auto* grid = f.child<controls::DbGrid>("wwDBGrid1");
        QVERIFY(grid->isVisible());
        f.chooseMonth(5);
        QVERIFY(!grid->isVisible());
        QCOMPARE(f.previews.size(), 1); // a click starts nothing
        QCOMPARE(grid->model()->rowCount(), 1);
        QTest::mouseClick(f.child<QToolButton>("SpeedButton5"), Qt::LeftButton);
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->model()->rowCount(), 0);
    }

    // A column the server leaves out is an error box naming it; nothing of the run is shown.
    void missingListColumn_data()
    {
        QTest::addColumn<QString>("column");
        for (const QString& c : lists::listColumns())
            QTest::newRow(qPrintable(c)) << c;
    }
    void missingListColumn()
    {
        QFETCH(QString, column);
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1000");
        dropColumn(f.session, "Liste1", lists::listColumns(), column);
        f.open();
        f.show(3);
        const QStringList errors = f.shown(ScriptedDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains("'" + column + "'"), qPrintable(errors.first()));
        QVERIFY(f.previews.isEmpty());
        QCOMPARE(f.child<controls::DbGrid>("wwDBGrid1")->model()->rowCount(), 0);
    }

    void missingWorkplaceColumn_data()
    {
        QTest::addColumn<QString>("column");
        for (const QString& c : lists::workplaceColumns())
            QTest::newRow(qPrintable(c)) << c;
    }
    void missingWorkplaceColumn()
    {
        QFETCH(QString, column);
        ListFixture f;
        dropColumn(f.session, "isyerigetir", lists::workplaceColumns(), column);
        f.open();
        const QStringList errors = f.shown(ScriptedDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains("'" + column + "'"), qPrintable(errors.first()));
        QVERIFY(!f.window->findChild<db::Dataset*>("SpGetir")->isOpen());
    }

    // Closing: the datasets close and the main window comes back.
    void closing()
    {
        ListFixture f;
        f.accrue(f.student("1001", "Ali", "Işık"), 3, 30, "1000");
        TFrmListe& w = f.open();
        f.show(3);
        QVERIFY(!f.session.mainWindow.isVisible());
        QTest::mouseClick(f.child<QToolButton>("SpeedButton29"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(f.session.mainWindow.isVisible());
        for (const char* name : {"SpGetir", "SpParametre", "SpGenel1"})
            QVERIFY2(!w.findChild<db::Dataset*>(name)->isOpen(), name);
    }

    // The main window opens the four windows by class name.
    void catalog()
    {
        TestSession session;
        ui::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        for (const ListVariant* variant : ListVariant::all()) {
            std::unique_ptr<QDialog> dialog(
                catalog.create(variant->className, *session.context, &session.mainWindow));
            auto* window = qobject_cast<TFrmListe*>(dialog.get());
            QVERIFY2(window, qPrintable(variant->className));
            QCOMPARE(&window->variant(), variant);
            QCOMPARE(window->parentWidget(), &session.mainWindow);
        }
    }
};

QTEST_MAIN(TstListWindows)
#include "tst_listwindows.moc"
