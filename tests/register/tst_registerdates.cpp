// Dates typed into the register's date boxes and grid cells: every form staff type is stored as
// an ISO date, a text that is not a date is refused and keeps the row unstored, an emptied date
// is no date, and a date only opened and left changes nothing.

#include "controls/boundcontrols.h"
#include "controls/datefield.h"
#include "registerfixture.h"

#include <QCalendarWidget>
#include <QTableView>

using namespace zelvo;

using namespace Qt::StringLiterals;

namespace {

const QString ahmet = QStringLiteral("2022101001"); // 15-01-2026 to 14-02-2026
const QString irmak = QStringLiteral("2022101015"); // no dates
constexpr int startColumn = 6;
constexpr int endColumn = 7;

// Replaces the text of a box or an open cell editor by typing, as the keyboard does.
void retypeDate(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Lists every student of the unit and makes the one with `number` current.
void showAmongAll(RegisterFixture& f, const QString& number)
{
    f.search(2, QString());
    const int row = f.gridColumn(0).indexOf(number);
    QVERIFY(row >= 0);
    f.grid()->setCurrentIndex(f.grid()->model()->index(row, 0));
}

// Opens the editor of a cell of the current row with F2.
QLineEdit* openCell(RegisterFixture& f, int column)
{
    QCoreApplication::processEvents(); // an editor closed by Enter goes first
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    controls::DbGrid* grid = f.grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(f.students()->currentIndex(), column));
    QTest::keyClick(grid, Qt::Key_F2);
    return grid->viewport()->findChild<QLineEdit*>();
}

// Types a date where the test says: the start date box, or the start date cell (Enter ends it).
void typeStartDate(RegisterFixture& f, bool inGrid, const QString& text)
{
    if (!inGrid) {
        retypeDate(f.find<controls::DbDateEdit>("DBDateEdit1"), text);
        QTest::keyClick(f.find<controls::DbDateEdit>("DBDateEdit1"), Qt::Key_Tab);
        return;
    }
    QLineEdit* cell = openCell(f, startColumn);
    QVERIFY(qobject_cast<controls::DateField*>(cell));
    retypeDate(cell, text);
    QTest::keyClick(cell, Qt::Key_Return);
}

void addStudent(RegisterFixture& f)
{
    f.press("Insert");
    QLineEdit* number = openCell(f, 0);
    QVERIFY(number);
    QTest::keyClicks(number, QStringLiteral("2026999001"));
    QTest::keyClick(number, Qt::Key_Return);
    QCoreApplication::processEvents(); // Enter commits and closes the editor right after
}

QString refusal(const QString& field, const QString& typed)
{
    return u"%1: \"%2\" geçerli bir tarih değil. Tarihi GG.AA.YYYY biçiminde girin."_s.arg(field,
                                                                                           typed);
}

} // namespace

class TstRegisterDates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typedDateIsStoredAsIso_data()
    {
        QTest::addColumn<bool>("inGrid");
        QTest::addColumn<QString>("student"); // empty: a new student
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // empty: no date, stored as NULL
        const QString february1 = u"01-02-2026"_s;
        for (const bool inGrid : {false, true}) {
            const char* where = inGrid ? "cell" : "box";
            QTest::addRow("%s, points", where) << inGrid << ahmet << u"01.02.2026"_s << february1;
            QTest::addRow("%s, slashes", where) << inGrid << ahmet << u"01/02/2026"_s << february1;
            QTest::addRow("%s, eight digits", where)
                << inGrid << ahmet << u"01022026"_s << february1;
            QTest::addRow("%s, into no date", where)
                << inGrid << irmak << u"01-02-2026"_s << february1;
            QTest::addRow("%s, new student", where)
                << inGrid << QString() << u"1.2.2026"_s << february1;
            QTest::addRow("%s, emptied", where) << inGrid << ahmet << QString() << QString();
        }
    }
    void typedDateIsStoredAsIso()
    {
        QFETCH(bool, inGrid);
        QFETCH(QString, student);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        RegisterFixture f;
        f.search(2, student.isEmpty() ? ahmet : student);
        if (student.isEmpty())
            addStudent(f);
        typeStartDate(f, inGrid, typed);
        f.press("Post");
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error), QStringList());
        const int id = f.idOf(student.isEmpty() ? QStringLiteral("2026999001") : student);
        const QVariant stored = f.stored(id, "baslangictarihi");
        QCOMPARE(stored.isNull(), shown.isEmpty());
        QCOMPARE(QDate::fromString(stored.toString(), Qt::ISODate).toString("dd-MM-yyyy"), shown);
        QCOMPARE(f.gridColumn(startColumn).at(f.students()->currentIndex()), shown);
        QCOMPARE(f.find<controls::DbDateEdit>("DBDateEdit1")->text(), shown);
    }

    void unreadableDateIsRefused_data()
    {
        QTest::addColumn<bool>("inGrid");
        QTest::addColumn<bool>("newStudent");
        QTest::addColumn<QString>("typed");
        for (const bool inGrid : {false, true}) {
            const char* where = inGrid ? "cell" : "box";
            QTest::addRow("%s, 30 February", where) << inGrid << false << u"30-02-2026"_s;
            QTest::addRow("%s, no year", where) << inGrid << false << u"12.03"_s;
            QTest::addRow("%s, words", where) << inGrid << false << u"bir Mart"_s;
            QTest::addRow("%s, new student", where) << inGrid << true << u"31.04.2026"_s;
        }
    }
    void unreadableDateIsRefused()
    {
        QFETCH(bool, inGrid);
        QFETCH(bool, newStudent);
        QFETCH(QString, typed);
        RegisterFixture f;
        showAmongAll(f, ahmet);
        if (newStudent)
            addStudent(f);
        const int row = f.students()->currentIndex();
        const auto state = f.students()->state();
        const int students = f.count("select count(*) from ogrenci");
        const QString told =
            refusal(inGrid ? u"Başlangıç Tarihi"_s : u"Staj Başlangıç Tarihi"_s, typed);
        auto errors = [&] { return f.session.dialogs.texts(ScriptedDialogs::Kind::Error); };

        typeStartDate(f, inGrid, typed); // leaving the box, or Enter in the cell
        QTRY_COMPARE(errors(), QStringList{told});
        const QPointer<QLineEdit> entry = inGrid ? f.grid()->viewport()->findChild<QLineEdit*>()
                                                 : f.find<controls::DbDateEdit>("DBDateEdit1");
        QVERIFY(entry && entry->isVisible());
        QCOMPARE(entry->text(), typed); // kept for correcting
        QCOMPARE(QApplication::focusWidget(), entry);

        // storing the row, or moving off it, is refused the same way; nothing is lost
        f.press("Post");
        f.grid()->setCurrentIndex(f.grid()->model()->index(row == 0 ? 1 : 0, 0));
        QTRY_COMPARE(errors(), QStringList({told, told, told}));
        QCOMPARE(f.students()->state(), newStudent ? state : db::Dataset::State::Edit);
        QTRY_COMPARE(f.grid()->currentIndex().row(), row);
        QCOMPARE(f.students()->currentIndex(), row);
        QCOMPARE(f.count("select count(*) from ogrenci"), students);
        QCOMPARE(f.stored(f.idOf(ahmet), "baslangictarihi").toString(), u"2026-01-15"_s);
        // the row keeps its date meanwhile, and the grid shows it
        QCOMPARE(f.gridColumn(startColumn).at(row), newStudent ? QString() : u"15-01-2026"_s);
        QVERIFY(entry && entry->isVisible());
        QCOMPARE(entry->text(), typed);

        retypeDate(entry, QStringLiteral("02.02.2026"));
        f.press("Post");
        QCOMPARE(errors().size(), 3);
        const int id = f.idOf(newStudent ? QStringLiteral("2026999001") : ahmet);
        QCOMPARE(f.stored(id, "baslangictarihi").toString(), QStringLiteral("2026-02-02"));
    }

    void dateOnlyOpenedAndLeftChangesNothing_data()
    {
        QTest::addColumn<bool>("inGrid");
        QTest::newRow("box") << false;
        QTest::newRow("cell") << true;
    }
    void dateOnlyOpenedAndLeftChangesNothing()
    {
        QFETCH(bool, inGrid);
        RegisterFixture f;
        f.search(2, irmak);
        const int id = f.idOf(irmak);
        for (int column : {startColumn, endColumn}) {
            if (inGrid) {
                QLineEdit* cell = openCell(f, column);
                QVERIFY(cell && cell->text().isEmpty()); // no 01-01-2000 waiting to be stored
                QTest::keyClick(cell, Qt::Key_Return);
            } else {
                auto* box = f.find<controls::DbDateEdit>(column == startColumn ? "DBDateEdit1"
                                                                               : "DBDateEdit2");
                box->setFocus();
                QTest::keyClick(box, Qt::Key_Tab);
            }
            QCoreApplication::processEvents();
            QCOMPARE(f.students()->state(), db::Dataset::State::Browse);
        }
        f.pressClose();
        QVERIFY(f.stored(id, "baslangictarihi").isNull());
        QVERIFY(f.stored(id, "bitistarihi").isNull());
        QVERIFY(f.stored(id, "degistiren").isNull()); // no change stamp
        QVERIFY(f.session.dialogs.shown.isEmpty());
    }

    void calendarOpensAtTheDateOrToday()
    {
        RegisterFixture f;
        f.search(2, irmak);
        auto* box = f.find<controls::DbDateEdit>("DBDateEdit1");
        auto* button = box->findChild<QToolButton*>();
        QVERIFY(button && box->calendarPopup());
        QTest::mouseClick(button, Qt::LeftButton);
        QCalendarWidget* calendar = box->calendarWidget();
        QVERIFY(calendar && calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate::currentDate());
        QTest::keyClick(calendar, Qt::Key_Escape); // closed without a pick
        QTRY_VERIFY(!calendar->isVisible());
        QCOMPARE(f.students()->state(), db::Dataset::State::Browse);

        f.search(2, ahmet);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(calendar->selectedDate(), QDate(2026, 1, 15));
        QCOMPARE(calendar->monthShown(), 1);
        auto* days = calendar->findChild<QTableView*>();
        QTest::keyClick(days, Qt::Key_Right);
        QTest::keyClick(days, Qt::Key_Return);
        QTRY_VERIFY(!calendar->isVisible());
        QCOMPARE(box->text(), QStringLiteral("16-01-2026"));
        f.press("Post");
        QCOMPARE(f.stored(f.idOf(ahmet), "baslangictarihi").toString(), u"2026-01-16"_s);
    }
};

QTEST_MAIN(TstRegisterDates)
#include "tst_registerdates.moc"
