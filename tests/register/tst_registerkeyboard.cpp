// The register from the keyboard: Enter never presses "ÖĞRENCİYİ SİL" and runs the search from
// the search box; Escape backs out of a change not yet stored before it closes the window; the
// grid's row indicator shows a row being changed or added.

#include "controls/boundcontrols.h"
#include "registerfixture.h"

#include <QDir>
#include <QHeaderView>

using namespace zelvo;

namespace {

// Types as the keyboard does: each key goes to the widget that has the focus at that moment.
void typeAtFocus(const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
}

void pressAtFocus(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

QString indicator(RegisterFixture& f, int row)
{
    return f.grid()->model()->headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
}

} // namespace

class TstRegisterKeyboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noButtonIsTheDefault()
    {
        RegisterFixture f;
        const QList<QPushButton*> buttons = f.window->findChildren<QPushButton*>();
        QVERIFY(!buttons.isEmpty());
        for (const QPushButton* button : buttons) {
            QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
            QVERIFY2(!button->autoDefault(), qPrintable(button->objectName()));
        }
    }

    // Enter twice (the second would answer Yes to a delete question) wherever the focus is.
    void enterNeverDeletes_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("search box") << "Edit1";
        QTest::newRow("grid") << "wwDBGrid1";
        QTest::newRow("number box") << "DBEdit1";
        QTest::newRow("delete button") << "Button1";
    }
    void enterNeverDeletes()
    {
        QFETCH(QString, focus);
        RegisterFixture f;
        f.search(2, QStringLiteral("2022101003"));
        const int students = f.count("select count(*) from ogrenci");
        f.find<QWidget>(focus)->setFocus();
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        pressAtFocus(Qt::Key_Return);
        pressAtFocus(Qt::Key_Return);
        pressAtFocus(Qt::Key_Enter);
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Question).isEmpty());
        QCOMPARE(f.count("select count(*) from ogrenci"), students);
        QCOMPARE(f.count("select count(*) from ogrenci where ogrencino='2022101003'"), 1);
        QVERIFY(f.window->isVisible());
    }

    void enterInTheSearchBoxSearches_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Return") << Qt::Key_Return;
        QTest::newRow("keypad Enter") << Qt::Key_Enter;
    }
    void enterInTheSearchBoxSearches()
    {
        QFETCH(Qt::Key, key);
        RegisterFixture f;
        QVERIFY(f.searchBox()->hasFocus());
        RegisterFixture::type(f.searchBox(), QStringLiteral("ğu"));
        QTest::keyClick(f.searchBox(), key);
        QCOMPARE(f.students()->procedure(), QStringLiteral("OgrenciGetirAdi"));
        QCOMPARE(f.gridColumn(0), QStringList({"2022101021", "2022101017", "2022101011"}));
        QVERIFY(f.grid()->hasFocus());
        QVERIFY(f.session.dialogs.shown.isEmpty());
    }

    // One Escape drops the change and shows the stored values again; the window stays. A
    // second Escape closes it as its close button does, storing nothing.
    void escapeDropsAPendingChangeThenCloses_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("name box") << "box";
        QTest::newRow("cell editor") << "cell";
        QTest::newRow("grid, cell written") << "grid";
        QTest::newRow("check box") << "check";
    }
    void escapeDropsAPendingChangeThenCloses()
    {
        QFETCH(QString, where);
        RegisterFixture f;
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        auto* name = f.find<QLineEdit>("DBEdit2");
        if (where == "box") {
            f.retype("DBEdit2", QStringLiteral("Yarım"));
        } else if (where == "check") {
            QTest::mouseClick(f.find<QCheckBox>("DBCheckBox1"), Qt::LeftButton);
            f.find<QCheckBox>("DBCheckBox1")->setFocus();
        } else {
            f.grid()->setFocus();
            f.grid()->setCurrentIndex(f.grid()->model()->index(0, 1));
            typeAtFocus(QStringLiteral("Yarım"));
            if (where == "grid") {
                pressAtFocus(Qt::Key_Return);
                QTRY_VERIFY(f.grid()->hasFocus());
                QCOMPARE(name->text(), QStringLiteral("Yarım"));
            }
        }
        QCOMPARE(f.students()->state(), db::Dataset::State::Edit);

        pressAtFocus(Qt::Key_Escape);
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.students()->state(), db::Dataset::State::Browse);
        QCOMPARE(name->text(), QStringLiteral("Ahmet"));
        QCOMPARE(f.gridColumn(1).at(0), QStringLiteral("Ahmet"));
        QCOMPARE(f.find<QCheckBox>("DBCheckBox1")->isChecked(), f.stored(id, "gss").toInt() == 1);

        pressAtFocus(Qt::Key_Escape);
        QVERIFY(!f.window->isVisible());
        QVERIFY(f.session.mainWindow.isVisible());
        QVERIFY(!f.students()->isOpen());
        QCOMPARE(f.stored(id, "adi").toString(), QStringLiteral("Ahmet"));
        QCOMPARE(f.count("select count(*) from ogrenci where degistiren is not null"), 0);
        QVERIFY(f.session.dialogs.shown.isEmpty());
    }

    void rowIndicatorShowsTheState()
    {
        RegisterFixture f;
        f.search(0, QString());
        QCOMPARE(indicator(f, 0), QStringLiteral("▸"));
        QVERIFY(indicator(f, 1).isEmpty());
        QVERIFY(f.grid()->verticalHeader()->isVisible());

        f.retype("DBEdit3", QStringLiteral("Değişen"));
        QCOMPARE(indicator(f, 0), QStringLiteral("✎"));
        const QString pictures = qEnvironmentVariable("ZELVO_SCREENSHOT_DIR");
        if (!pictures.isEmpty() && QDir().mkpath(pictures))
            f.window->grab().save(QDir(pictures).filePath("TFrmPSicil-changed-row.png"));
        f.press("Post");
        QCOMPARE(indicator(f, 0), QStringLiteral("▸"));

        f.press("Next");
        f.press("Insert");
        QCOMPARE(f.students()->currentIndex(), 1);
        QCOMPARE(indicator(f, 1), QStringLiteral("✱"));
        QVERIFY(indicator(f, 0).isEmpty());
        QVERIFY(indicator(f, 2).isEmpty());

        // each mark fits the indicator column
        const QHeaderView* header = f.grid()->verticalHeader();
        for (const QString& mark : {QStringLiteral("▸"), QStringLiteral("✎"), QStringLiteral("✱")})
            QVERIFY(QFontMetrics(header->font()).horizontalAdvance(mark) < header->width());
        if (!pictures.isEmpty())
            f.window->grab().save(QDir(pictures).filePath("TFrmPSicil-new-row.png"));
    }

    // After a search the focus is in the grid: text typed there as the next search goes into
    // the current student's number. The next search asks instead of storing it.
    void searchTextTypedIntoTheGridIsNotStoredSilently()
    {
        RegisterFixture f;
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        QVERIFY(f.grid()->hasFocus());
        typeAtFocus(QStringLiteral("zeynep"));
        pressAtFocus(Qt::Key_Return);
        QTRY_VERIFY(f.grid()->hasFocus());
        QCOMPARE(f.students()->text("ogrencino"), QStringLiteral("zeynep"));

        f.searchBox()->setFocus();
        f.searchBox()->setText(QStringLiteral("zeynep"));
        f.session.dialogs.answers = {false};
        pressAtFocus(Qt::Key_Return);
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Question),
                 QStringList{QStringLiteral("zeynep Ahmet Yılmaz\rÖğrenci bilgilerindeki "
                                            "değişiklik henüz kaydedilmedi. Kaydedilsin mi?")});
        QCOMPARE(f.stored(id, "ogrencino").toString(), QStringLiteral("2022101001"));
        QVERIFY(f.stored(id, "degistiren").isNull());
        QCOMPARE(f.students()->params().at(1).value.toString(), QStringLiteral("zeynep"));
        QVERIFY(f.students()->recordCount() > 0);
    }
};

QTEST_MAIN(TstRegisterKeyboard)
#include "tst_registerkeyboard.moc"
