// Correcting and adding students in the register: when a row is stored, the change stamp, the
// new row's unit and status, and the close steps.

#include "controls/boundcontrols.h"
#include "register/changestamp.h"
#include "registerfixture.h"

#include <QDateTime>

using namespace zelvo;

using studentregister::ChangeKind;

namespace {

// Every stamp the window may have written between two moments (the clock moves on).
QStringList stampsBetween(const QDateTime& before, const QDateTime& after, ChangeKind kind,
                          const QString& user, const QString& fullName)
{
    QStringList stamps;
    for (QDateTime t = before.addMSecs(-before.time().msec()); t <= after; t = t.addSecs(1))
        stamps << studentregister::changeStamp(t.date(), t.time(), kind, user, fullName);
    return stamps;
}

// Opens the grid's editor on a cell of the current row and types into it.
void typeIntoCell(RegisterFixture& f, int column, const QString& text)
{
    controls::DbGrid* grid = f.grid();
    const QModelIndex cell = grid->model()->index(f.students()->currentIndex(), column);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    RegisterFixture::type(editor, text);
}

} // namespace

class TstRegisterEditing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editedRowIsStored_data()
    {
        QTest::addColumn<bool>("inGrid");
        QTest::addColumn<QString>("how"); // what stores the change
        QTest::newRow("box, next") << false << "Next";
        QTest::newRow("box, post") << false << "Post";
        QTest::newRow("box, grid row") << false << "grid";
        QTest::newRow("box, close") << false << "close";
        QTest::newRow("cell, next") << true << "Next";
        QTest::newRow("cell, post") << true << "Post";
        QTest::newRow("cell, grid row") << true << "grid";
        QTest::newRow("cell, close") << true << "close";
    }
    void editedRowIsStored()
    {
        QFETCH(bool, inGrid);
        QFETCH(QString, how);
        RegisterFixture f;
        f.search(0, QString());
        const int id = f.students()->value("idogrenci").toInt();
        const QString before = f.students()->text("adi");
        if (inGrid)
            typeIntoCell(f, 1, QStringLiteral("Ğülşen İpek"));
        else
            f.retype("DBEdit2", QStringLiteral("Ğülşen İpek"));
        QCOMPARE(f.stored(id, "adi").toString(), before); // not yet

        const QDateTime t0 = QDateTime::currentDateTime();
        if (how == "grid")
            f.grid()->setCurrentIndex(f.grid()->model()->index(3, 0));
        else if (how == "close")
            f.pressClose();
        else
            f.press(how);
        const QDateTime t1 = QDateTime::currentDateTime();

        QCOMPARE(f.stored(id, "adi").toString(), QStringLiteral("Ğülşen İpek"));
        QVERIFY(stampsBetween(t0, t1, ChangeKind::Change, "admin", "Sistem Yöneticisi")
                    .contains(f.stored(id, "degistiren").toString()));
        // nothing else of the row is touched
        QCOMPARE(f.stored(id, "statu").toString(), QStringLiteral("1"));
        QCOMPARE(f.stored(id, "birimkodu").toString(), QStringLiteral("01"));
        QCOMPARE(f.count("select count(*) from ogrenci where degistiren is not null"), 1);
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
        if (how == "close") {
            QVERIFY(!f.window->isVisible());
            QVERIFY(f.session.mainWindow.isVisible());
            QVERIFY(!f.students()->isOpen());
            QVERIFY(!f.find<db::Dataset>("QrStatu")->isOpen());
        }
    }

    void unchangedRowsAreLeftAlone()
    {
        RegisterFixture f;
        f.search(0, QString());
        f.press("Next");
        f.press("Last");
        f.grid()->setCurrentIndex(f.grid()->model()->index(4, 3));
        f.press("First");
        f.pressClose();
        QCOMPARE(f.count("select count(*) from ogrenci where degistiren is not null"), 0);
    }

    void changeStampIsCutTo50()
    {
        RegisterFixture f; // admin, "Sistem Yöneticisi": the whole stamp is longer than 50
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        f.retype("DBEdit5", QStringLiteral("12345"));
        const QDateTime t0 = QDateTime::currentDateTime();
        f.press("Post");
        const QDateTime t1 = QDateTime::currentDateTime();
        const QString stamp = f.stored(id, "degistiren").toString();
        QCOMPARE(stamp.size(), 50);
        QVERIFY(stampsBetween(t0, t1, ChangeKind::Change, "admin", "Sistem Yöneticisi")
                    .contains(stamp));
        const QString date = QLocale().toString(t0.date(), QLocale::ShortFormat);
        QVERIFY(stamp.startsWith(date + ' '));
        QVERIFY(stamp.contains(QStringLiteral(" DEĞİŞİKLİKadmin Sistem")));
        QCOMPARE(f.students()->text("degistiren"), stamp); // what is shown is what was stored
    }

    void stampNamesTheUserOfTheLoginRow()
    {
        RegisterFixture f;
        f.session.setup().insertRow("kullanici", {{"kullanici", "ab"},
                                                  {"sifre", "x"},
                                                  {"adsoy", "Ç Ş"},
                                                  {"birimkodu", "01"},
                                                  {"yetkitipi", 2}});
        f.session.relogin("ab", "x");
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        f.retype("DBEdit2", QStringLiteral("Ahmet Can"));
        const QDateTime t0 = QDateTime::currentDateTime();
        f.press("Post");
        const QDateTime t1 = QDateTime::currentDateTime();
        const QString stamp = f.stored(id, "degistiren").toString();
        QVERIFY(stampsBetween(t0, t1, ChangeKind::Change, "ab", "Ç Ş").contains(stamp));
        QVERIFY(stamp.endsWith(QStringLiteral(" DEĞİŞİKLİKab Ç Ş")));
    }

    void newRowTakesUnitAndStatusOne_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("unit"); // of the login row
        QTest::newRow("post") << "Post"
                              << "01";
        QTest::newRow("moving") << "Next"
                                << "01";
        QTest::newRow("new search") << "search"
                                    << "01";
        QTest::newRow("other unit") << "Post"
                                    << "05";
    }
    void newRowTakesUnitAndStatusOne()
    {
        QFETCH(QString, how);
        QFETCH(QString, unit);
        RegisterFixture f;
        if (unit != "01") {
            f.session.addStudent("5500000001", "Veli", "Beşinci", {}, {}, false, "1", unit);
            f.session.setup().execute(QStringLiteral("update kullanici set birimkodu=@u"),
                                      {{"@u", unit}});
            f.session.relogin("admin", "admin");
        }
        f.search(0, QString());
        const int before = f.count("select count(*) from ogrenci");
        f.press("Insert");
        QCOMPARE(f.students()->state(), db::Dataset::State::Insert);
        f.retype("DBEdit1", QStringLiteral("2026999001"));
        f.retype("DBEdit2", QStringLiteral("Çiğdem"));
        f.retype("DBEdit3", QStringLiteral("Işıklı"));
        // a status chosen by the user is overridden, as is a unit put on the row
        QTest::mouseClick(f.find<controls::DbRadioGroup>("DBRadioGroup1")->item(2), Qt::LeftButton);
        QCOMPARE(f.students()->text("statu"), QStringLiteral("3"));
        f.students()->setValue("birimkodu", QStringLiteral("99"));
        f.find<controls::DbDateEdit>("DBDateEdit1")->setDate(QDate(2026, 5, 4));
        QTest::mouseClick(f.find<QCheckBox>("DBCheckBox1"), Qt::LeftButton);

        const QDateTime t0 = QDateTime::currentDateTime();
        if (how == "search")
            f.search(0, QStringLiteral("çiğdem"));
        else
            f.press(how);
        const QDateTime t1 = QDateTime::currentDateTime();

        QCOMPARE(f.count("select count(*) from ogrenci"), before + 1);
        const int id = f.idOf("2026999001");
        QVERIFY(id > 0);
        QCOMPARE(f.stored(id, "adi").toString(), QStringLiteral("Çiğdem"));
        QCOMPARE(f.stored(id, "soyadi").toString(), QStringLiteral("Işıklı"));
        QCOMPARE(f.stored(id, "statu").toString(), QStringLiteral("1"));
        QCOMPARE(f.stored(id, "birimkodu").toString(), unit);
        QCOMPARE(f.stored(id, "baslangictarihi").toString(), QStringLiteral("2026-05-04"));
        QCOMPARE(f.stored(id, "gss").toInt(), 1);
        QVERIFY(stampsBetween(t0, t1, ChangeKind::FirstEntry, "admin", "Sistem Yöneticisi")
                    .contains(f.stored(id, "degistiren").toString()));
        QVERIFY(f.stored(id, "degistiren").toString().contains(QStringLiteral(" İLK EKLEME")));
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
    }

    void newRowNeverStoredIsDroppedOnClose_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed in") << true;
        QTest::newRow("untouched") << false;
    }
    void newRowNeverStoredIsDroppedOnClose()
    {
        QFETCH(bool, typed);
        RegisterFixture f;
        f.search(0, QString());
        const int before = f.count("select count(*) from ogrenci");
        f.press("Insert");
        if (typed) {
            f.retype("DBEdit1", QStringLiteral("2026999002"));
            f.retype("DBEdit2", QStringLiteral("Yarım"));
        }
        f.pressClose();
        QVERIFY(!f.window->isVisible());
        QVERIFY(f.session.mainWindow.isVisible());
        QCOMPARE(f.count("select count(*) from ogrenci"), before);
        QVERIFY(f.session.dialogs.shown.isEmpty());
    }

    // A new search with a change not yet stored asks: Evet stores it, Hayır drops it. An
    // untouched new row goes without a question.
    void newSearchAsksAboutAPendingChange_data()
    {
        QTest::addColumn<QString>("pending");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("addedRows");
        QTest::newRow("changed row, Evet") << "change" << true << 0;
        QTest::newRow("changed row, Hayır") << "change" << false << 0;
        QTest::newRow("new row with content, Evet") << "new" << true << 1;
        QTest::newRow("new row with content, Hayır") << "new" << false << 0;
        QTest::newRow("untouched new row") << "empty" << true << 0;
    }
    void newSearchAsksAboutAPendingChange()
    {
        QFETCH(QString, pending);
        QFETCH(bool, yes);
        QFETCH(int, addedRows);
        RegisterFixture f;
        f.search(0, QStringLiteral("zeynep"));
        const int id = f.students()->value("idogrenci").toInt();
        const int before = f.count("select count(*) from ogrenci");
        if (pending == "change") {
            f.retype("DBEdit3", QStringLiteral("Kılıçarslan"));
        } else {
            f.press("Insert");
            if (pending == "new")
                f.retype("DBEdit2", QStringLiteral("Yeni"));
        }
        f.session.dialogs.answers = {yes};
        f.search(1, QStringLiteral("ş"));
        const QStringList questions = f.session.dialogs.texts(ScriptedDialogs::Kind::Question);
        if (pending == "change")
            QCOMPARE(questions, QStringList{"2022101008 Zeynep Kılıçarslan\rÖğrenci bilgilerindeki "
                                            "değişiklik henüz kaydedilmedi. Kaydedilsin mi?"});
        else if (pending == "new")
            QCOMPARE(questions,
                     QStringList{"Yeni\rYeni öğrenci henüz kaydedilmedi. Kaydedilsin mi?"});
        else
            QVERIFY(questions.isEmpty());
        QCOMPARE(f.count("select count(*) from ogrenci"), before + addedRows);
        QCOMPARE(f.stored(id, "soyadi").toString(), pending == "change" && yes
                                                        ? QStringLiteral("Kılıçarslan")
                                                        : QStringLiteral("Kılıç"));
        QCOMPARE(f.stored(id, "degistiren").isNull(), !(pending == "change" && yes));
        if (pending == "new" && yes)
            QCOMPARE(f.count("select count(*) from ogrenci where adi='Yeni' and statu='1' "
                             "and birimkodu='01'"),
                     1);
        // the search runs with the criterion chosen before the question
        QCOMPARE(f.students()->procedure(), QStringLiteral("OgrenciGetirSoyAdi"));
        QCOMPARE(f.students()->state(), db::Dataset::State::Browse);
    }

    // Leaving an untouched new row drops it (Escape drops it typed in too); the row the user
    // then lands on is the one they meant, not its neighbour.
    void leavingAnUntouchedNewRow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("landsOn"); // index in the list as it was before the new row
        QTest::newRow("Escape") << "escape" << 5;
        QTest::newRow("navigator next") << "Next" << 5;
        QTest::newRow("navigator prior") << "Prior" << 4;
        QTest::newRow("down key") << "down" << 5;
        QTest::newRow("up key") << "up" << 4;
        QTest::newRow("click on a row below") << "click" << 8;
        QTest::newRow("click on a row above") << "clickAbove" << 2;
    }
    void leavingAnUntouchedNewRow()
    {
        QFETCH(QString, how);
        QFETCH(int, landsOn);
        RegisterFixture f;
        f.search(0, QString());
        const QStringList numbers = f.gridColumn(0);
        f.grid()->setFocus();
        f.grid()->setCurrentIndex(f.grid()->model()->index(5, 0));
        f.press("Insert");
        QCOMPARE(f.students()->currentIndex(), 5);
        QCOMPARE(f.grid()->model()->rowCount(), numbers.size() + 1);
        if (how == "escape") {
            f.retype("DBEdit2", QStringLiteral("Yeni"));
            QTest::keyClick(f.find<QLineEdit>("DBEdit2"), Qt::Key_Escape);
            QVERIFY(f.window->isVisible());
        } else if (how == "down" || how == "up") {
            f.grid()->setFocus();
            QTest::keyClick(f.grid(), how == "down" ? Qt::Key_Down : Qt::Key_Up);
        } else if (how.startsWith("click")) {
            const int row = how == "click" ? 9 : 2; // as the grid shows it, new row included
            QTest::mouseClick(f.grid()->viewport(), Qt::LeftButton, {},
                              f.grid()->visualRect(f.grid()->model()->index(row, 1)).center());
        } else {
            f.press(how);
        }
        QCOMPARE(f.students()->state(), db::Dataset::State::Browse);
        QCOMPARE(f.gridColumn(0), numbers);
        QCOMPARE(f.students()->text("ogrencino"), numbers.at(landsOn));
        QTRY_COMPARE(f.grid()->currentIndex().row(), landsOn);
        QCOMPARE(f.find<QLineEdit>("DBEdit1")->text(), numbers.at(landsOn));
    }

    // After a search that found nothing there is no row: no control of the panel takes input,
    // so no blank student can be made from them.
    void emptyResultLeavesTheEditPanelDisabled()
    {
        RegisterFixture f;
        f.search(0, QStringLiteral("Xavier"));
        QCOMPARE(f.messages(), QStringList{"Kayıt bulunamadı"});
        const QStringList names = {"DBEdit1",       "DBEdit2",           "DBEdit3",
                                   "DBEdit4",       "DBEdit5",           "DBEdit6",
                                   "DBRadioGroup1", "DBLookupComboBox1", "DBDateEdit1",
                                   "DBDateEdit2",   "DBCheckBox1"};
        for (const QString& name : names)
            QVERIFY2(!f.find<QWidget>(name)->isEnabled(), qPrintable(name));

        const int students = f.count("select count(*) from ogrenci");
        QTest::mouseClick(f.find<QCheckBox>("DBCheckBox1"), Qt::LeftButton);
        QTest::mouseClick(f.find<controls::DbRadioGroup>("DBRadioGroup1")->item(1), Qt::LeftButton);
        RegisterFixture::type(f.find<QLineEdit>("DBEdit2"), QStringLiteral("Boş"));
        QCOMPARE(f.students()->recordCount(), 0);
        QCOMPARE(f.students()->state(), db::Dataset::State::Browse);
        f.pressClose();
        QCOMPARE(f.count("select count(*) from ogrenci"), students);

        // a search that finds rows enables them again
        f.open();
        f.search(0, QStringLiteral("Xavier"));
        f.search(0, QStringLiteral("ahmet"));
        for (const QString& name : names)
            QVERIFY2(f.find<QWidget>(name)->isEnabled(), qPrintable(name));
    }

    // Boxes and cells take no more characters than their column holds.
    void typingStopsAtTheColumnWidth_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("gridColumn"); // -1: typed into the box
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        QTest::newRow("former surname box") << "DBEdit6" << -1 << "ilksoyadi" << 50;
        QTest::newRow("number box") << "DBEdit1" << -1 << "ogrencino" << 10;
        QTest::newRow("identity box") << "DBEdit4" << -1 << "tckimlikno" << 11;
        QTest::newRow("surname cell") << "" << 2 << "soyadi" << 50;
        QTest::newRow("status cell") << "" << 5 << "statu" << 1;
    }
    void typingStopsAtTheColumnWidth()
    {
        QFETCH(QString, box);
        QFETCH(int, gridColumn);
        QFETCH(QString, column);
        QFETCH(int, width);
        RegisterFixture f;
        f.search(0, QStringLiteral("ahmet"));
        const QString text = QStringLiteral("Ğ").repeated(80);
        QLineEdit* edit = nullptr;
        if (gridColumn < 0) {
            f.retype(box, text);
            edit = f.find<QLineEdit>(box);
        } else {
            typeIntoCell(f, gridColumn, text);
            edit = f.grid()->viewport()->findChild<QLineEdit*>();
        }
        QCOMPARE(edit->text(), text.left(width));
    }

    void badInputIsStoredAsEntered_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("column");
        QTest::newRow("empty number") << "DBEdit1"
                                      << ""
                                      << "ogrencino";
        QTest::newRow("repeated number") << "DBEdit1"
                                         << "2022101002"
                                         << "ogrencino";
    }
    void badInputIsStoredAsEntered()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, column);
        RegisterFixture f;
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        f.retype(box, text);
        f.press("Post");
        QVERIFY(f.session.dialogs.shown.isEmpty());
        const QVariant stored = f.stored(id, column);
        QVERIFY(!stored.isNull());
        QCOMPARE(stored.toString(), text);
    }

    // The row stays as typed, in edit state, and nothing reaches the database.
    void endBeforeStartIsRefused()
    {
        RegisterFixture f;
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        f.find<controls::DbDateEdit>("DBDateEdit2")->setDate(QDate(2026, 1, 3));
        f.press("Post");
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error),
                 QStringList("Öğrenci kaydedilmedi: Bitiş tarihi (03.01.2026) başlangıçtan "
                             "(15.01.2026) önce olamaz."));
        QCOMPARE(f.students()->state(), db::Dataset::State::Edit);
        QCOMPARE(f.stored(id, "bitistarihi").toString(), QStringLiteral("2026-02-14"));
    }

    void longTextIsCutNotRefused_data()
    {
        QTest::addColumn<bool>("inGrid");
        QTest::addColumn<int>("gridColumn");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        QTest::newRow("first name box") << false << 1 << "DBEdit2"
                                        << "adi" << 50;
        QTest::newRow("number box") << false << 0 << "DBEdit1"
                                    << "ogrencino" << 10;
        QTest::newRow("institution cell") << true << 11 << ""
                                          << "stajyeri" << 150;
        QTest::newRow("province cell") << true << 10 << ""
                                       << "stajili" << 50;
    }
    void longTextIsCutNotRefused()
    {
        QFETCH(bool, inGrid);
        QFETCH(int, gridColumn);
        QFETCH(QString, box);
        QFETCH(QString, column);
        QFETCH(int, width);
        RegisterFixture f;
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        QString text;
        while (text.size() < width + 12)
            text += QStringLiteral("Çığ ");
        if (inGrid)
            typeIntoCell(f, gridColumn, text);
        else
            f.retype(box, text);
        f.press("Post");
        QVERIFY(f.session.dialogs.shown.isEmpty());
        QCOMPARE(f.stored(id, column).toString(), text.left(width));
        QCOMPARE(f.gridColumn(gridColumn).at(0), text.left(width));
    }

    void refusedChangeStaysPending()
    {
        RegisterFixture f;
        f.session.refuseChanges(TestSession::Change::Update, QStringLiteral("ogrenci"),
                                QStringLiteral("numara reddedildi"),
                                QStringLiteral("NEW.ogrencino = 'RET'"));
        f.search(0, QStringLiteral("ahmet"));
        const int id = f.students()->value("idogrenci").toInt();
        f.retype("DBEdit1", QStringLiteral("RET"));
        f.press("Post");
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 1);
        QVERIFY(f.session.dialogs.lastText().contains("numara reddedildi"));
        QCOMPARE(f.students()->state(), db::Dataset::State::Edit);
        QCOMPARE(f.find<QLineEdit>("DBEdit1")->text(), QStringLiteral("RET"));

        // a new search does not throw the change away, nor does closing
        f.search(1, QStringLiteral("ş"));
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 2);
        QCOMPARE(f.students()->procedure(), QStringLiteral("OgrenciGetirAdi"));
        QCOMPARE(f.students()->text("ogrencino"), QStringLiteral("RET"));
        f.pressClose();
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 3);
        QVERIFY(f.window->isVisible());

        // corrected, it is stored on closing
        f.retype("DBEdit1", QStringLiteral("2022101099"));
        f.pressClose();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.stored(id, "ogrencino").toString(), QStringLiteral("2022101099"));
    }
};

QTEST_MAIN(TstRegisterEditing)
#include "tst_registerediting.moc"
