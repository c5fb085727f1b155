#include "admin/tfrmparametre.h"
#include "adminwindowtest.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "core/money.h"
#include "ui/look.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace zelvo;

using namespace adminwindowtest;

namespace {

// The row the other windows use: the first one ParametreGetir returns.
QVariant parameter(TestSession& session, const QString& column)
{
    const db::ResultRows rows =
        session.connection.callProcedure(QStringLiteral("ParametreGetir"), {});
    return rows.rows.value(0).value(int(rows.columns.indexOf(column)));
}

QModelIndex cell(controls::DbGrid* grid, int row, const QString& field)
{
    const auto& columns = grid->datasetModel()->columns();
    for (int c = 0; c < columns.size(); ++c)
        if (columns.at(c).field == field)
            return grid->model()->index(row, c);
    return {};
}

// Types into a cell through its editor, as the user does: the old text selected, then replaced.
void typeInto(controls::DbGrid* grid, int row, const QString& field, const QString& text)
{
    const QModelIndex index = cell(grid, row, field);
    grid->setCurrentIndex(index);
    grid->edit(index);
    QLineEdit* editor = nullptr;
    for (QLineEdit* line : grid->viewport()->findChildren<QLineEdit*>())
        if (line->isVisible())
            editor = line;
    QVERIFY2(editor, "no cell editor");
    editor->selectAll();
    if (text.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        typeText(editor, text);
}

void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

void addSecondRow(TestSession& session)
{
    session.setup().execute(QStringLiteral(
        "INSERT INTO Parametre (aktifyil, au01) SELECT '2027', 40000 FROM Parametre LIMIT 1"));
}

} // namespace

class TstFrmparametre : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::look::installFontSubstitutions(); }

    void gridColumns_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("width");
        const QList<std::tuple<const char*, const char*, int>> expected = {
            {"aktifyil", "Aktif yıl", 5},
            {"belgemahiyet", "Belge Mahiyeti", 10},
            {"belgeturu", "Belge Türü", 7},
            {"isci", "İşçi Kes.Yüzdesi", 12},
            {"isveren", "İşveren Kes. Yüzdesi", 15},
            {"istencikisnedeni", "İşten Çıkış Nedeni", 13},
            {"kanunno", "Kanun No", 6},
            {"sigortakodu", "Sigorta Kodu", 8},
            {"au01", "OCAK Asgari Ücret", 10},
            {"au02", "ŞUBAT", 10},
            {"au03", "MART", 10},
            {"au04", "NİSAN", 10},
            {"au05", "MAYIS", 10},
            {"au06", "HAZİRAN", 10},
            {"au07", "TEMMUZ", 10},
            {"au08", "AĞUSTOS", 10},
            {"au09", "EYLÜL", 10},
            {"au10", "EKİM", 10},
            {"au11", "KASIM", 10},
            {"au12", "ARALIK", 10},
        };
        for (int i = 0; i < expected.size(); ++i) {
            const auto& [field, title, width] = expected.at(i);
            QTest::newRow(field) << i << QString::fromLatin1(field) << QString::fromUtf8(title)
                                 << width;
        }
    }
    void gridColumns()
    {
        QFETCH(int, position);
        QFETCH(QString, field);
        QFETCH(QString, title);
        QFETCH(int, width);
        TestSession session;
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        QCOMPARE(grid->model()->columnCount(), 20);
        const controls::GridColumn& column = grid->datasetModel()->columns().at(position);
        QCOMPARE(column.field, field);
        QCOMPARE(column.widthChars, width);
        QCOMPARE(grid->model()
                     ->headerData(position, Qt::Horizontal, Qt::DisplayRole)
                     .toString()
                     .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                 title);
        QVERIFY(grid->model()->flags(grid->model()->index(0, position)) & Qt::ItemIsEditable);
        QCOMPARE(grid->model()->index(0, position).data(Qt::EditRole),
                 control<db::Dataset>(window, "ADOTable1")->value(field));
    }

    void layoutAndNavigator()
    {
        TestSession session;
        admin::TFrmparametre window(*session.context);
        window.show();
        QVERIFY(!session.mainWindow.isVisible());
        QCOMPARE(window.objectName(), QStringLiteral("Frmparametre"));
        QCOMPARE(window.size(), QSize(1049, 249));
        QCOMPARE(control<QLabel>(window, "Heading")->text(), QStringLiteral("Temel Parametreler"));
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        QCOMPARE(grid->size(), QSize(1008, 108));
        auto* navigator = control<controls::DbNavigator>(window, "DBNavigator1");
        QCOMPARE(navigator->findChildren<QToolButton*>().size(), 1);
        QVERIFY(navigator->button(controls::DbNavigator::Button::Post));
        // under the grid's right end
        const QRect gridRect(grid->mapTo(&window, QPoint()), grid->size());
        const QRect navRect(navigator->mapTo(&window, QPoint()), navigator->size());
        QCOMPARE(navRect.right(), gridRect.right());
        QVERIFY(navRect.top() > gridRect.bottom());
        const QImage shot = screenshot(window, QStringLiteral("TFrmparametre"));
        QCOMPARE(shot.size(), window.size());
    }

    void theWholeTableIsShownButNotBelgeturuyab()
    {
        TestSession session;
        addSecondRow(session);
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* table = control<db::Dataset>(window, "ADOTable1");
        QCOMPARE(table->recordCount(), 2);
        QVERIFY(table->hasColumn(QStringLiteral("belgeturuyab")));
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        QCOMPARE(grid->model()->rowCount(), 2);
        for (const controls::GridColumn& column : grid->datasetModel()->columns())
            QVERIFY(column.field != QLatin1String("belgeturuyab"));
    }

    void postStoresTheChangedRow()
    {
        TestSession session;
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        typeInto(grid, 0, QStringLiteral("aktifyil"), QStringLiteral("2027"));
        QCOMPARE(parameter(session, QStringLiteral("aktifyil")).toString(), QStringLiteral("2026"));

        auto* navigator = control<controls::DbNavigator>(window, "DBNavigator1");
        QTest::mouseClick(navigator->button(controls::DbNavigator::Button::Post), Qt::LeftButton);
        QCOMPARE(parameter(session, QStringLiteral("aktifyil")).toString(), QStringLiteral("2027"));
        QCOMPARE(control<db::Dataset>(window, "ADOTable1")->state(), db::Dataset::State::Browse);
        QVERIFY(session.dialogs.shown.isEmpty());
    }

    void movingToAnotherRowStoresIt()
    {
        TestSession session;
        addSecondRow(session);
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        typeInto(grid, 0, QStringLiteral("au03"), QStringLiteral("35000,5"));
        grid->commitEditor();
        QCOMPARE(core::money::kurusFromVariant(parameter(session, QStringLiteral("au03"))),
                 std::optional<qint64>(3303000));

        grid->setCurrentIndex(cell(grid, 1, QStringLiteral("au03")));
        QCOMPARE(core::money::kurusFromVariant(parameter(session, QStringLiteral("au03"))),
                 std::optional<qint64>(3500050));
        QCOMPARE(session.scalar(QStringLiteral("SELECT au01 FROM Parametre WHERE aktifyil='2027'"))
                     .toInt(),
                 40000);
    }

    void closingStoresAChangedRow()
    {
        TestSession session;
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        typeInto(grid, 0, QStringLiteral("aktifyil"), QStringLiteral("2028"));
        typeInto(grid, 0, QStringLiteral("au12"), QStringLiteral("41000.25")); // editor still open
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QVERIFY(session.mainWindow.isVisible());
        // what a monthly window reads at its next activation
        QCOMPARE(parameter(session, QStringLiteral("aktifyil")).toString(), QStringLiteral("2028"));
        QCOMPARE(core::money::kurusFromVariant(parameter(session, QStringLiteral("au12"))),
                 std::optional<qint64>(4100025));
    }

    void closingDropsANewRowNeverStored()
    {
        TestSession session;
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* table = control<db::Dataset>(window, "ADOTable1");
        table->append();
        table->setValue(QStringLiteral("aktifyil"), QStringLiteral("2031"));
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QCOMPARE(session.scalar(QStringLiteral("SELECT count(*) FROM Parametre")).toInt(), 1);
        QVERIFY(session.dialogs.shown.isEmpty());
    }

    void numbersAreCheckedBeforeStoring_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVariant>("stored"); // kuruş, or null
        QTest::addColumn<QString>("error");
        QTest::newRow("comma") << "au01"
                               << "35000,50" << true << QVariant(qint64(3500050)) << "";
        QTest::newRow("point") << "au02"
                               << "35000.5" << true << QVariant(qint64(3500050)) << "";
        QTest::newRow("whole") << "au04"
                               << "36000" << true << QVariant(qint64(3600000)) << "";
        QTest::newRow("percent") << "isveren"
                                 << "15,5" << true << QVariant(qint64(1550)) << "";
        QTest::newRow("emptied") << "au05"
                                 << "" << true << QVariant() << "";
        QTest::newRow("smallest wage") << "au06"
                                       << "0,01" << true << QVariant(qint64(1)) << "";
        QTest::newRow("letters") << "au01"
                                 << "otuz bin" << false << QVariant()
                                 << "OCAK Asgari Ücret: 'otuz bin' geçerli bir sayı değil.";
        QTest::newRow("grouped") << "au07"
                                 << "33.030,00" << false << QVariant()
                                 << "TEMMUZ: '33.030,00' geçerli bir sayı değil.";
        QTest::newRow("two signs")
            << "isci"
            << "--1" << false << QVariant() << "İşçi Kes.Yüzdesi: '--1' geçerli bir sayı değil.";
        QTest::newRow("zero wage") << "au03"
                                   << "0,00" << false << QVariant()
                                   << "Mart asgari ücreti '0,00' olamaz, sıfırdan büyük olmalı.";
        QTest::newRow("negative wage")
            << "au12"
            << "-5" << false << QVariant()
            << "Aralık asgari ücreti '-5' olamaz, sıfırdan büyük olmalı.";
    }
    void numbersAreCheckedBeforeStoring()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QVariant, stored);
        QFETCH(QString, error);
        TestSession session;
        const QVariant before = parameter(session, field);
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        typeInto(grid, 0, field, typed);
        auto* navigator = control<controls::DbNavigator>(window, "DBNavigator1");
        QTest::mouseClick(navigator->button(controls::DbNavigator::Button::Post), Qt::LeftButton);
        auto* table = control<db::Dataset>(window, "ADOTable1");
        if (accepted) {
            QVERIFY(session.dialogs.shown.isEmpty());
            QCOMPARE(table->state(), db::Dataset::State::Browse);
            const QVariant now = parameter(session, field);
            if (stored.isNull())
                QVERIFY(now.isNull());
            else
                QCOMPARE(core::money::kurusFromVariant(now),
                         std::optional<qint64>(stored.toLongLong()));
            return;
        }
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error), QStringList{error});
        QCOMPARE(table->state(), db::Dataset::State::Edit);
        QCOMPARE(parameter(session, field), before);
        click(window, "SpeedButton29"); // refused again: the window stays open
        QVERIFY(window.isVisible());
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 2);
    }

    // A wage with kuruş comes back from the database as a fraction; its cell is still typed as
    // text, with a comma, beyond the range of a spin box.
    void aWageWithKurusIsTypedAgain()
    {
        TestSession session;
        session.setup().execute(QStringLiteral("UPDATE Parametre SET au01 = @w"),
                                {{QStringLiteral("@w"), QStringLiteral("35000.50")}});
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        typeInto(grid, 0, QStringLiteral("au01"), QStringLiteral("136000,25"));
        auto* navigator = control<controls::DbNavigator>(window, "DBNavigator1");
        QTest::mouseClick(navigator->button(controls::DbNavigator::Button::Post), Qt::LeftButton);
        QVERIFY(session.dialogs.shown.isEmpty());
        QCOMPARE(core::money::kurusFromVariant(parameter(session, QStringLiteral("au01"))),
                 std::optional<qint64>(13600025));
    }

    // A click on a cell followed at once by typing: every key reaches the cell, whether the
    // cell was already the current one or not.
    void keysTypedRightAfterAClickReachTheCell_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::newRow("current cell") << "aktifyil" << 0 << "2027";
        QTest::newRow("another cell of the current row") << "kanunno" << 0 << "05510";
        QTest::newRow("another row") << "aktifyil" << 1 << "2029";
    }
    void keysTypedRightAfterAClickReachTheCell()
    {
        QFETCH(QString, field);
        QFETCH(int, row);
        QFETCH(QString, typed);
        TestSession session;
        addSecondRow(session);
        admin::TFrmparametre window(*session.context);
        showActive(window);
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        const QModelIndex index = cell(grid, row, field);
        grid->setFocus();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
        for (const QChar c : typed) // each key goes where the focus is at that moment
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        QTest::qWait(QApplication::doubleClickInterval() + 100); // a late timer changes nothing
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        auto* navigator = control<controls::DbNavigator>(window, "DBNavigator1");
        QTest::mouseClick(navigator->button(controls::DbNavigator::Button::Post), Qt::LeftButton);
        QVERIFY(session.dialogs.shown.isEmpty());
        const int id = control<db::Dataset>(window, "ADOTable1")->value("idparametre").toInt();
        QCOMPARE(
            session
                .scalar(QStringLiteral("SELECT %1 FROM Parametre WHERE idparametre=@id").arg(field),
                        {{QStringLiteral("@id"), id}})
                .toString(),
            typed);
    }

    void yearTakesFourDigits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("four digits") << "2031" << true;
        QTest::newRow("two digits") << "31" << false;
        QTest::newRow("letters") << "yıl" << false;
        QTest::newRow("blank inside") << "20 3" << false;
        QTest::newRow("emptied") << "" << false;
        QTest::newRow("Arabic-Indic digits") << "٢٠٣١" << false;
    }
    void yearTakesFourDigits()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TestSession session;
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        typeInto(grid, 0, QStringLiteral("aktifyil"), typed);
        auto* navigator = control<controls::DbNavigator>(window, "DBNavigator1");
        QTest::mouseClick(navigator->button(controls::DbNavigator::Button::Post), Qt::LeftButton);
        auto* table = control<db::Dataset>(window, "ADOTable1");
        if (accepted) {
            QVERIFY(session.dialogs.shown.isEmpty());
            QCOMPARE(parameter(session, QStringLiteral("aktifyil")).toString(), typed);
            return;
        }
        QCOMPARE(
            session.dialogs.texts(ScriptedDialogs::Kind::Error),
            QStringList{QStringLiteral("Aktif yıl: '%1' dört rakamlı bir yıl değil.").arg(typed)});
        QCOMPARE(table->state(), db::Dataset::State::Edit);
        QCOMPARE(parameter(session, QStringLiteral("aktifyil")).toString(), QStringLiteral("2026"));
    }

    void refusedChangeKeepsTheRowChanged()
    {
        TestSession session;
        admin::TFrmparametre window(*session.context);
        window.show();
        auto* grid = control<controls::DbGrid>(window, "wwDBGrid1");
        typeInto(grid, 0, QStringLiteral("kanunno"), QStringLiteral("05510"));
        refuseUpdates(session, QStringLiteral("Parametre"), QStringLiteral("parametre kilitli"));
        auto* navigator = control<controls::DbNavigator>(window, "DBNavigator1");
        QTest::mouseClick(navigator->button(controls::DbNavigator::Button::Post), Qt::LeftButton);
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error),
                 QStringList{QStringLiteral("parametre kilitli.")});
        auto* table = control<db::Dataset>(window, "ADOTable1");
        QCOMPARE(table->state(), db::Dataset::State::Edit);
        QCOMPARE(table->text(QStringLiteral("kanunno")), QStringLiteral("05510"));

        click(window, "SpeedButton29");
        QVERIFY(window.isVisible());
        QVERIFY(!session.mainWindow.isVisible());

        acceptUpdates(session, QStringLiteral("Parametre"));
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QCOMPARE(parameter(session, QStringLiteral("kanunno")).toString(), QStringLiteral("05510"));
    }
};

QTEST_MAIN(TstFrmparametre)
#include "tst_frmparametre.moc"
