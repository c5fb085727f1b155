#include "controls/boundcontrols.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "testsession.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace zelvo;

using controls::DbGrid;
using controls::DbNavigator;
using controls::GridColumn;

namespace {

struct Students {
    TestSession session;
    db::Dataset dataset{session.connection};
    Students()
    {
        for (int i = 1; i <= 25; ++i)
            session.addStudent(QStringLiteral("N%1").arg(i, 3, 10, QLatin1Char('0')),
                               QStringLiteral("Ad%1").arg(i), QStringLiteral("Soyad%1").arg(i),
                               QDate(2026, 1, 15), QDate(2026, 2, 14), i % 2 == 0);
        dataset.setProcedure(QStringLiteral("OgrenciGetirOgrenciNo"));
        dataset.addParam(QStringLiteral("@key1"), QStringLiteral("01"));
        dataset.addParam(QStringLiteral("@key2"), QString());
        dataset.open();
    }
    QString stored(int id, const char* column)
    {
        return session
            .scalar(QStringLiteral("SELECT %1 FROM ogrenci WHERE idogrenci=@i")
                        .arg(QLatin1String(column)),
                    {{"@i", id}})
            .toString();
    }
};

QVector<GridColumn> columns()
{
    return {{QStringLiteral("ogrencino"), QStringLiteral("Numarası"), 10},
            {QStringLiteral("adi"), QStringLiteral("Adı"), 15},
            {QStringLiteral("baslangictarihi"), QStringLiteral("Başlangıç Tarihi"), 10,
             QStringLiteral("DD-MM-YYYY")},
            {QStringLiteral("gss"), QStringLiteral("GSS Ödenecek"), 5, {}, Qt::AlignCenter, true}};
}

} // namespace

class TstControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void gridShowsFormatsAndFollowsTheDataset()
    {
        Students s;
        DbGrid grid;
        grid.setColumns(columns());
        grid.setDataset(&s.dataset);
        grid.show();
        auto* model = grid.datasetModel();
        QCOMPARE(model->rowCount(), 25);
        QCOMPARE(model->data(model->index(0, 2), Qt::DisplayRole).toString(),
                 QStringLiteral("15-01-2026"));
        QCOMPARE(model->data(model->index(1, 3), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Başlangıç\nTarihi")); // two-line title
        QCOMPARE(grid.palette().color(QPalette::AlternateBase), QColor(207, 216, 222));
        QCOMPARE(grid.palette().color(QPalette::Highlight), QColor(0, 0, 160));

        s.dataset.moveTo(7);
        QCOMPARE(grid.currentIndex().row(), 7);
        grid.setCurrentIndex(model->index(3, 0));
        QCOMPARE(s.dataset.currentIndex(), 3);
    }

    void gridPostsAChangedRowWhenTheCurrentRowMoves()
    {
        Students s;
        DbGrid grid;
        grid.setColumns(columns());
        grid.setDataset(&s.dataset);
        grid.show();
        auto* model = grid.datasetModel();
        const int id = s.dataset.value(QStringLiteral("idogrenci")).toInt();
        QVERIFY(model->setData(model->index(0, 1), QStringLiteral("Şükrü"), Qt::EditRole));
        QCOMPARE(s.dataset.state(), db::Dataset::State::Edit);
        QCOMPARE(s.stored(id, "adi"), QStringLiteral("Ad1")); // not yet stored
        grid.setCurrentIndex(model->index(1, 1));
        QCOMPARE(s.dataset.state(), db::Dataset::State::Browse);
        QCOMPARE(s.stored(id, "adi"), QStringLiteral("Şükrü"));

        // check-box cells store 0 / 1
        QVERIFY(model->setData(model->index(1, 3), int(Qt::Unchecked), Qt::CheckStateRole));
        s.dataset.post();
        QCOMPARE(s.stored(s.dataset.value(QStringLiteral("idogrenci")).toInt(), "gss"),
                 QStringLiteral("0"));
    }

    void openEditorIsCommittedBeforeAnythingElse()
    {
        Students s;
        DbGrid grid;
        grid.setColumns(columns());
        grid.setDataset(&s.dataset);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const int id = s.dataset.value(QStringLiteral("idogrenci")).toInt();
        const QModelIndex cell = grid.datasetModel()->index(0, 1);
        grid.setCurrentIndex(cell);
        grid.edit(cell);
        auto* editor = grid.findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("Yazılıyor"));
        grid.commitEditor(); // e.g. before the window closes
        s.dataset.postIfChanged();
        QCOMPARE(s.stored(id, "adi"), QStringLiteral("Yazılıyor"));
    }

    void navigatorFollowsTheState()
    {
        Students s;
        DbNavigator nav({DbNavigator::Button::First, DbNavigator::Button::Prior,
                         DbNavigator::Button::Forward10, DbNavigator::Button::Post,
                         DbNavigator::Button::Back10, DbNavigator::Button::Next,
                         DbNavigator::Button::Last, DbNavigator::Button::Insert});
        auto enabled = [&](DbNavigator::Button b) { return nav.button(b)->isEnabled(); };
        QVERIFY(!enabled(DbNavigator::Button::Next)); // no dataset yet
        nav.setDataset(&s.dataset);
        QVERIFY(!enabled(DbNavigator::Button::First));
        QVERIFY(!enabled(DbNavigator::Button::Prior));
        QVERIFY(enabled(DbNavigator::Button::Next));
        QVERIFY(!enabled(DbNavigator::Button::Post));
        QVERIFY(enabled(DbNavigator::Button::Insert));

        QTest::mouseClick(nav.button(DbNavigator::Button::Forward10), Qt::LeftButton);
        QCOMPARE(s.dataset.currentIndex(), 10);
        QTest::mouseClick(nav.button(DbNavigator::Button::Last), Qt::LeftButton);
        QCOMPARE(s.dataset.currentIndex(), 24);
        QVERIFY(!enabled(DbNavigator::Button::Next));
        QVERIFY(!enabled(DbNavigator::Button::Forward10));
        QTest::mouseClick(nav.button(DbNavigator::Button::Back10), Qt::LeftButton);
        QCOMPARE(s.dataset.currentIndex(), 14);

        s.dataset.setValue(QStringLiteral("adi"), QStringLiteral("Değişti"));
        QVERIFY(enabled(DbNavigator::Button::Post));
        QTest::mouseClick(nav.button(DbNavigator::Button::Post), Qt::LeftButton);
        QCOMPARE(s.dataset.state(), db::Dataset::State::Browse);
        QVERIFY(!enabled(DbNavigator::Button::Post));

        s.dataset.setReadOnly(true);
        nav.updateButtons();
        QVERIFY(!enabled(DbNavigator::Button::Insert));
        QVERIFY(!enabled(DbNavigator::Button::Post));

        s.dataset.close();
        QVERIFY(!enabled(DbNavigator::Button::First));
        QVERIFY(!enabled(DbNavigator::Button::Last));
    }

    void navigatorReportsDatabaseErrors()
    {
        Students s;
        DbNavigator nav({DbNavigator::Button::Post});
        nav.setDataset(&s.dataset);
        QStringList errors;
        connect(&nav, &DbNavigator::databaseError, this, [&](const QString& t) { errors << t; });
        s.session.refuseChanges(TestSession::Change::Update, QStringLiteral("ogrenci"),
                                QStringLiteral("kayıt reddedildi"));
        s.dataset.setValue(QStringLiteral("adi"), QStringLiteral("X"));
        QTest::mouseClick(nav.button(DbNavigator::Button::Post), Qt::LeftButton);
        QCOMPARE(errors, QStringList{QStringLiteral("kayıt reddedildi")});
        QCOMPARE(s.dataset.state(), db::Dataset::State::Edit); // the change is still pending
    }

    void boundControlsShowAndWriteTheCurrentRow()
    {
        Students s;
        controls::DbEdit edit;
        controls::DbCheckBox gss(QStringLiteral("GSS"));
        controls::DbDateEdit start;
        controls::DbRadioGroup status(QStringLiteral("Statüsü"), {"A", "P", "T"}, {"1", "2", "3"});
        edit.bind(&s.dataset, QStringLiteral("adi"));
        gss.bind(&s.dataset, QStringLiteral("gss"));
        start.bind(&s.dataset, QStringLiteral("baslangictarihi"));
        status.bind(&s.dataset, QStringLiteral("statu"));
        QCOMPARE(edit.text(), QStringLiteral("Ad1"));
        QVERIFY(!gss.isChecked());
        QCOMPARE(start.shownDate(), QDate(2026, 1, 15));
        QVERIFY(status.item(0)->isChecked());
        s.dataset.next(); // the search orders by surname: "Soyad10" follows "Soyad1"
        QCOMPARE(edit.text(), QStringLiteral("Ad10"));
        QVERIFY(gss.isChecked());

        edit.setFocus();
        edit.end(false);
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QStringLiteral("ğ"),
                            Qt::NoModifier);
        QCOMPARE(s.dataset.state(), db::Dataset::State::Edit);
        QCOMPARE(s.dataset.text(QStringLiteral("adi")), QStringLiteral("Ad10ğ"));
        status.item(2)->click();
        QCOMPARE(s.dataset.text(QStringLiteral("statu")), QStringLiteral("3"));
        start.setShownDate(QDate());
        QVERIFY(s.dataset.value(QStringLiteral("baslangictarihi")).toDate().isNull());
        s.dataset.post();
        const int id = s.dataset.value(QStringLiteral("idogrenci")).toInt();
        QCOMPARE(s.stored(id, "adi"), QStringLiteral("Ad10ğ"));
        QCOMPARE(s.stored(id, "statu"), QStringLiteral("3"));
        QVERIFY(s.session
                    .scalar(QStringLiteral("SELECT baslangictarihi FROM ogrenci WHERE "
                                           "idogrenci=@i"),
                            {{"@i", id}})
                    .isNull());
    }

    void lookupShowsNamesAndStoresKeys()
    {
        Students s;
        db::Dataset statuses(s.session.connection);
        statuses.setSql(QStringLiteral("select * from statu "));
        statuses.open();
        controls::DbLookupCombo lookup;
        lookup.setLookup(&statuses, QStringLiteral("kodu"), QStringLiteral("adi"));
        lookup.bind(&s.dataset, QStringLiteral("statu"));
        QCOMPARE(lookup.count(), 3);
        QCOMPARE(lookup.currentData().toString(), QStringLiteral("1"));
        lookup.setCurrentIndex(1);
        Q_EMIT lookup.activated(1);
        QCOMPARE(s.dataset.text(QStringLiteral("statu")), QStringLiteral("2"));
    }
};

QTEST_MAIN(TstControls)
#include "tst_controls.moc"
