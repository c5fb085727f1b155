// The register's "Geçmiş" button: the current student's recorded changes in a read-only window,
// newest first, as the database recorded them.

#include "register/tfrmgecmis.h"
#include "registerfixture.h"

#include <QTableWidget>

using namespace zelvo;

class TstRegisterHistory : public QObject {
    Q_OBJECT

    struct Shown {
        QStringList actions;
        QStringList authors;
        QStringList changes;
        bool editable = true;
    };

    static Shown showHistory(RegisterFixture& f)
    {
        Shown shown;
        f.session.dialogs.onModal = [&shown](QDialog& dialog) {
            auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("GridGecmis"));
            QVERIFY(table);
            shown.editable = table->editTriggers() != QAbstractItemView::NoEditTriggers;
            for (int r = 0; r < table->rowCount(); ++r) {
                shown.authors << table->item(r, 1)->text();
                shown.actions << table->item(r, 2)->text();
                shown.changes << table->item(r, 3)->text();
            }
        };
        QTest::mouseClick(f.find<QPushButton>(QStringLiteral("ButtonGecmis")), Qt::LeftButton);
        f.session.dialogs.onModal = nullptr;
        return shown;
    }

private Q_SLOTS:
    void historyOfTheCurrentStudent_data()
    {
        QTest::addColumn<QStringList>("edits"); // box=text, each posted on its own
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("changes"); // a line each row's text must hold
        QTest::newRow("as loaded")
            << QStringList{} << QStringList{"ekleme"} << QStringList{"adi: İbrahim"};
        QTest::newRow("two changes, newest first")
            << QStringList{"DBEdit2=Veli", "DBEdit3=Kara"}
            << QStringList{"değişiklik", "değişiklik", "ekleme"}
            << QStringList{"soyadi: Şahin → Kara", "adi: İbrahim → Veli", "soyadi: Şahin"};
    }
    void historyOfTheCurrentStudent()
    {
        QFETCH(QStringList, edits);
        QFETCH(QStringList, changes);
        RegisterFixture f;
        f.search(2, QStringLiteral("2022101003"));
        for (const QString& edit : edits) {
            f.retype(edit.section(QLatin1Char('='), 0, 0), edit.section(QLatin1Char('='), 1));
            f.press(QStringLiteral("Post"));
        }
        const Shown shown = showHistory(f);
        QTEST(shown.actions, "actions");
        QCOMPARE(shown.changes.size(), changes.size());
        for (int r = 0; r < changes.size(); ++r)
            QVERIFY2(shown.changes.at(r).split(QLatin1Char('\n')).contains(changes.at(r)),
                     qPrintable(shown.changes.at(r)));
        // the changes are the signed-in user's (on a server the login role of that name); the
        // demonstration students were loaded by the installer
        QStringList authors(edits.size(), QStringLiteral("admin"));
        authors << (f.session.serverDatabase ? QStringLiteral("zelvo") : QStringLiteral("admin"));
        QCOMPARE(shown.authors, authors);
        QVERIFY(!shown.editable);
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
    }

    void withoutStudentItSaysSo()
    {
        RegisterFixture f;
        QTest::mouseClick(f.find<QPushButton>(QStringLiteral("ButtonGecmis")), Qt::LeftButton);
        QCOMPARE(f.messages(), QStringList{"Geçmişi gösterilecek öğrenci seçilmedi."});
    }
};

QTEST_MAIN(TstRegisterHistory)
#include "tst_registerhistory.moc"
