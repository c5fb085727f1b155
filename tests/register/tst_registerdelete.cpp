// Deleting a student from the register: the question, the student and its monthly rows on Yes,
// nothing on No, and the truthful outcomes when there is nothing to delete or the server refuses.

#include "registerfixture.h"
#include "ui/dialogservice.h"

#include <QMessageBox>
#include <QTimer>

using namespace zelvo;

namespace {

const QString questionTail = QStringLiteral(
    "İsimli öğrenciye ait daha önceki tüm kayıtlar (Puantaj-Tahakkuk-XML bilgileri) silinecek "
    "emin misiniz?");

// A timesheet, accrual and declaration row of the student for a month.
void addMonthlyRows(TestSession& session, int student, int month)
{
    const QList<QPair<QString, QVariant>> common = {
        {"idogrenci", student}, {"yil", "2026"}, {"ay", month}, {"birimkodu", "01"}};
    session.setup().insertRow("Puantaj", common + QList<QPair<QString, QVariant>>{
                                                      {"gun", 30}, {"gun1", 30}, {"gun2", 0}});
    session.setup().insertRow("Tahakkuk",
                              common + QList<QPair<QString, QVariant>>{{"gun", 30},
                                                                       {"kazanc", "1000.00"},
                                                                       {"matrah", "1000.00"},
                                                                       {"isveren", "10.00"},
                                                                       {"isci", "0.00"}});
    session.setup().insertRow(
        "Xml", common + QList<QPair<QString, QVariant>>{{"gun", 30}, {"pek", "1000,00"}});
}

int monthlyRows(RegisterFixture& f, int student)
{
    int rows = 0;
    for (const char* table : {"Puantaj", "Tahakkuk", "Xml"})
        rows += f.session
                    .scalar(QStringLiteral("select count(*) from %1 where idogrenci=@id")
                                .arg(QLatin1String(table)),
                            {{"@id", student}})
                    .toInt();
    return rows;
}

void selectStudent(RegisterFixture& f, const QString& number)
{
    const int row = f.gridColumn(0).indexOf(number);
    QVERIFY2(row >= 0, qPrintable(number));
    f.grid()->setCurrentIndex(f.grid()->model()->index(row, 0));
    QCOMPARE(f.students()->text("ogrencino"), number);
}

} // namespace

class TstRegisterDelete : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void monthlyTablesCascadeFromTheStudent_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("Puantaj") << "Puantaj";
        QTest::newRow("Tahakkuk") << "Tahakkuk";
        QTest::newRow("Xml") << "Xml";
    }
    void monthlyTablesCascadeFromTheStudent()
    {
        QFETCH(QString, table);
        TestSession session;
        const int id =
            session.addStudent("2022101099", "Ali", "Işık", QDate(2026, 1, 1), QDate(2026, 12, 31));
        addMonthlyRows(session, id, 1);
        const QString rowsOfTheStudent =
            QStringLiteral("select count(*) from %1 where idogrenci=%2").arg(table).arg(id);
        QCOMPARE(session.scalar(rowsOfTheStudent).toInt(), 1);
        // the database itself removes them with the student, whoever deletes it
        session.setup().execute(QStringLiteral("delete from ogrenci where idogrenci=@id"),
                                {{"@id", id}});
        QCOMPARE(session.scalar(rowsOfTheStudent).toInt(), 0);
    }

    void yesDeletesTheStudentAndItsMonthlyRows()
    {
        RegisterFixture f;
        const int sahin = f.idOf("2022101003");
        const int yilmaz = f.idOf("2022101001");
        for (int month : {1, 2}) {
            addMonthlyRows(f.session, sahin, month);
            addMonthlyRows(f.session, yilmaz, month);
        }
        f.search(1, QString());
        selectStudent(f, "2022101003");
        f.session.dialogs.answers = {true};
        f.pressDelete();

        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Question),
                 QStringList{"2022101003 İbrahim Şahin\r" + questionTail});
        QCOMPARE(f.messages(), QStringList{"Öğrenciye ait bilgiler SİLİNDİ"});
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
        QCOMPARE(f.count("select count(*) from ogrenci where ogrencino='2022101003'"), 0);
        QCOMPARE(monthlyRows(f, sahin), 0);
        QCOMPARE(monthlyRows(f, yilmaz), 6); // another student's rows stay
        QCOMPARE(f.count("select count(*) from ogrenci"), 20);
        // the list was opened again with the same call
        QCOMPARE(f.students()->procedure(), QStringLiteral("OgrenciGetirSoyAdi"));
        QCOMPARE(f.gridColumn(0).size(), 20);
        QVERIFY(!f.gridColumn(0).contains("2022101003"));
        QVERIFY(!f.find<db::Dataset>("QrSil")->isOpen());
        QCOMPARE(f.checkedCriterion(), 0);
        QVERIFY(f.searchBox()->hasFocus());
    }

    void noChangesNothing()
    {
        RegisterFixture f;
        const int sahin = f.idOf("2022101003");
        addMonthlyRows(f.session, sahin, 3);
        f.search(2, QStringLiteral("2022101003"));
        f.session.dialogs.answers = {false};
        f.pressDelete();
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Question).size(), 1);
        QCOMPARE(f.messages(), QStringList{"Silmekten VAZGEÇTİNİZ."});
        QCOMPARE(f.count("select count(*) from ogrenci"), 21);
        QCOMPARE(monthlyRows(f, sahin), 3);
        QCOMPARE(f.gridColumn(0), QStringList{"2022101003"});
        QCOMPARE(f.checkedCriterion(), 0); // activation ran after the boxes
        QVERIFY(f.searchBox()->hasFocus());
    }

    void questionUsesTheShownValuesAndEmptyParts()
    {
        RegisterFixture f(false);
        f.session.addStudent(QString(), QStringLiteral("Işık"), QString(), {}, {});
        f.search(0, QStringLiteral("IŞIK"));
        f.session.dialogs.answers = {false};
        f.pressDelete();
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Question),
                 QStringList{" Işık \r" + questionTail});
    }

    void nothingToDeleteIsSaid_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("before any search") << "none";
        QTest::newRow("after an empty search") << "empty";
        QTest::newRow("on a new row") << "new";
    }
    void nothingToDeleteIsSaid()
    {
        QFETCH(QString, situation);
        RegisterFixture f;
        if (situation == "empty")
            f.search(0, QStringLiteral("Xavier"));
        if (situation == "new") {
            f.search(0, QStringLiteral("ahmet"));
            f.press("Insert");
            f.retype("DBEdit2", QStringLiteral("Yeni"));
        }
        f.session.dialogs.clear();
        f.pressDelete();
        QCOMPARE(f.messages(), QStringList{"Silinecek öğrenci seçilmedi."});
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Question).isEmpty());
        QCOMPARE(f.count("select count(*) from ogrenci"), 21);
        if (situation == "new") // the new row is left as it was
            QCOMPARE(f.students()->state(), db::Dataset::State::Insert);
    }

    void studentAlreadyGoneIsNotReportedAsDeleted()
    {
        RegisterFixture f;
        f.search(1, QStringLiteral("şah"));
        const int sahin = f.students()->value("idogrenci").toInt();
        // someone else removes the student meanwhile
        f.session.setup().execute(QStringLiteral("delete from ogrenci where idogrenci=@id"),
                                  {{"@id", sahin}});
        f.session.dialogs.answers = {true};
        f.pressDelete();
        QCOMPARE(f.messages(), QStringList{"Öğrenci bulunamadı; silinmedi."});
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
        QCOMPARE(f.count("select count(*) from ogrenci"), 20);
        QCOMPARE(f.grid()->model()->rowCount(), 0); // the list shows what is there
    }

    void refusedDeletionIsReportedAsTheError()
    {
        RegisterFixture f;
        f.session.refuseChanges(TestSession::Change::Delete, QStringLiteral("ogrenci"),
                                QStringLiteral("silme yetkiniz yok"));
        const int sahin = f.idOf("2022101003");
        addMonthlyRows(f.session, sahin, 1);
        f.search(2, QStringLiteral("2022101003"));
        f.session.dialogs.answers = {true};
        f.pressDelete();
        const QStringList errors = f.session.dialogs.texts(ScriptedDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains("silme yetkiniz yok"), qPrintable(errors.first()));
        QVERIFY(f.messages().isEmpty()); // never "SİLİNDİ"
        QCOMPARE(f.count("select count(*) from ogrenci where ogrencino='2022101003'"), 1);
        QCOMPARE(monthlyRows(f, sahin), 3);
        QCOMPARE(f.gridColumn(0), QStringList{"2022101003"});
        QVERIFY(!f.find<db::Dataset>("QrSil")->isOpen());
    }

    void questionBoxHasNoIconAndYesIsTheDefault_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("Enter answers Yes") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape answers No") << int(Qt::Key_Escape) << false;
    }
    void questionBoxHasNoIconAndYesIsTheDefault()
    {
        QFETCH(int, key);
        QFETCH(bool, deleted);
        RegisterFixture f;
        f.search(2, QStringLiteral("2022101003"));
        f.window->close();

        // the same window on the real dialog service
        ui::DialogService dialogs;
        ui::AppContext context{f.session.connection, *f.session.login, dialogs,
                               &f.session.mainWindow};
        studentregister::TFrmPSicil window(context);
        window.show();
        window.findChild<QLineEdit*>("Edit1")->setText("2022101003");
        QTest::mouseClick(window.findChild<QRadioButton*>("Item2"), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QToolButton*>("SpeedButton5"), Qt::LeftButton);

        struct Seen {
            QMessageBox::Icon icon;
            QString text;
            QString defaultButton;
        };
        QList<Seen> seen;
        QTimer answerer;
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.append({box->icon(), box->text(),
                         box->defaultButton() ? box->defaultButton()->text() : QString()});
            QTest::keyClick(box, seen.size() == 1 ? Qt::Key(key) : Qt::Key_Return);
        });
        answerer.start(20);
        QTest::mouseClick(window.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        answerer.stop();

        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen.at(0).icon, QMessageBox::NoIcon);
        QCOMPARE(seen.at(0).text, "2022101003 İbrahim Şahin\r" + questionTail);
        QCOMPARE(seen.at(0).defaultButton, QStringLiteral("Evet"));
        QCOMPARE(seen.at(1).text, deleted ? QStringLiteral("Öğrenciye ait bilgiler SİLİNDİ")
                                          : QStringLiteral("Silmekten VAZGEÇTİNİZ."));
        QCOMPARE(f.count("select count(*) from ogrenci where ogrencino='2022101003'"),
                 deleted ? 0 : 1);
        window.close();
    }
};

QTEST_MAIN(TstRegisterDelete)
#include "tst_registerdelete.moc"
