#include "admin/tfrmbirimdegistir.h"
#include "admin/tfrmisyeri.h"
#include "admin/tfrmsifre.h"
#include "adminwindowtest.h"
#include "controls/boundcontrols.h"
#include "db/passwordhash.h"
#include "ui/look.h"

#include <QLabel>
#include <QLineEdit>

using namespace zelvo;

using namespace adminwindowtest;

namespace {

const QString engineering = QStringLiteral("Mühendislik Fakültesi Dekanlığı");
const QString science = QStringLiteral("Fen Fakültesi Dekanlığı");
const QString economics = QStringLiteral("İktisadi ve İdari Bilimler Fakültesi Dekanlığı");

void addUnits(TestSession& session)
{
    addUnit(session, QStringLiteral("02"), science);
    addUnit(session, QStringLiteral("03"), economics);
}

QString storedUnit(TestSession& session)
{
    return session.scalar(QStringLiteral("SELECT birimkodu FROM kullanici WHERE kullanici='admin'"))
        .toString();
}

QString storedHash(TestSession& session)
{
    return session.scalar(QStringLiteral("SELECT sifre FROM kullanici WHERE kullanici='admin'"))
        .toString();
}

// Chooses a unit in the box as the keyboard does: one step down the list.
void chooseNext(QWidget& window)
{
    QTest::keyClick(control<controls::DbLookupCombo>(window, "DBLookupComboBox1"), Qt::Key_Down);
}

} // namespace

class TstFrmbirimdegistir : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::look::installFontSubstitutions(); }

    void listsTheUnitsAndShowsTheLoginUnit()
    {
        TestSession session;
        addUnits(session);
        admin::TFrmbirimdegistir window(*session.context);
        window.show();
        QVERIFY(!session.mainWindow.isVisible());
        QCOMPARE(window.objectName(), QStringLiteral("Frmbirimdegistir"));
        QCOMPARE(window.size(), QSize(1049, 126));
        QCOMPARE(control<QLabel>(window, "Heading")->text(),
                 QStringLiteral("Yönetici Modülü Birim Değiştirme Ekranı"));
        auto* box = control<controls::DbLookupCombo>(window, "DBLookupComboBox1");
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), engineering);
        QCOMPARE(box->itemText(2), economics);
        QCOMPARE(box->currentText(), engineering);
        QCOMPARE(box->width(), 465);
        QCOMPARE(box->maxVisibleItems(), 15);
        QVERIFY(box->font().bold());
        QCOMPARE(box->font().pixelSize(), 13);
        QCOMPARE(control<QAbstractButton>(window, "SpeedButton1")->text(), QStringLiteral("Tamam"));
        const QImage shot = screenshot(window, QStringLiteral("TFrmbirimdegistir"));
        QCOMPARE(shot.size(), window.size());
    }

    void tamamStoresTheChosenUnit()
    {
        TestSession session;
        addUnits(session);
        const QString hash = storedHash(session);
        admin::TFrmbirimdegistir window(*session.context);
        window.show();
        chooseNext(window);
        chooseNext(window);
        // in memory at once, not yet in the table
        QCOMPARE(session.context->unitCode(), QStringLiteral("03"));
        QCOMPARE(session.login->state(), db::Dataset::State::Edit);
        QCOMPARE(storedUnit(session), QStringLiteral("01"));

        click(window, "SpeedButton1");
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Message),
                 QStringList{QStringLiteral("Biriminiz, ") + economics +
                             QStringLiteral(" olarak değiştirildi.")});
        QCOMPARE(storedUnit(session), QStringLiteral("03"));
        // storing the login row for the unit leaves the password's hash exactly as it was
        QCOMPARE(storedHash(session), hash);
        QCOMPARE(session.login->text(QStringLiteral("sifre")), hash);
        QVERIFY(db::verifyPassword(storedHash(session), QStringLiteral("admin")));
        QCOMPARE(session.login->state(), db::Dataset::State::Browse);
        QVERIFY(window.isVisible());
        QCOMPARE(control<controls::DbLookupCombo>(window, "DBLookupComboBox1")->currentText(),
                 economics); // the activation ran again after the message

        click(window, "SpeedButton29");
        QCOMPARE(session.context->unitCode(), QStringLiteral("03"));
        session.relogin(QStringLiteral("admin"), QStringLiteral("admin"));
        QCOMPARE(session.context->unitCode(), QStringLiteral("03"));
    }

    void windowsOpenedAfterwardsWorkOnTheNewUnit()
    {
        TestSession session;
        addUnits(session);
        session.setup().insertRow(QStringLiteral("isyeri"),
                                  {{QStringLiteral("birimkodu"), QStringLiteral("02")},
                                   {QStringLiteral("birimadi"), QStringLiteral("Fen İşyeri")}});
        {
            admin::TFrmbirimdegistir window(*session.context);
            window.show();
            chooseNext(window);
            click(window, "SpeedButton1");
            click(window, "SpeedButton29");
        }
        admin::TFrmisyeri workplace(*session.context);
        workplace.show();
        QCOMPARE(control<QLineEdit>(workplace, "DBEdit1")->text(), QStringLiteral("Fen İşyeri"));
    }

    void tamamWithoutAChoiceShowsNothing()
    {
        TestSession session;
        addUnits(session);
        countWrites(session, QStringLiteral("kullanici"));
        admin::TFrmbirimdegistir window(*session.context);
        window.show();
        click(window, "SpeedButton1");
        QVERIFY(session.dialogs.shown.isEmpty());
        QCOMPARE(session.scalar(QStringLiteral("SELECT count(*) FROM writes")).toInt(), 0);
        QCOMPARE(session.login->state(), db::Dataset::State::Browse);
    }

    // Closing without "Tamam" gives the choice up: the login row's unit is the stored one
    // again, and a later password change does not write the unconfirmed unit.
    void closingWithoutTamamRestoresTheUnit()
    {
        TestSession session;
        addUnits(session);
        admin::TFrmbirimdegistir window(*session.context);
        window.show();
        chooseNext(window);
        QCOMPARE(session.context->unitCode(), QStringLiteral("02"));

        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QVERIFY(session.mainWindow.isVisible());
        QVERIFY(session.dialogs.shown.isEmpty());
        QCOMPARE(session.context->unitCode(), QStringLiteral("01"));
        QCOMPARE(session.login->state(), db::Dataset::State::Browse);
        QCOMPARE(storedUnit(session), QStringLiteral("01"));
        if (session.serverDatabase)
            return; // a server's password change writes no user row

        admin::TFrmsifre password(*session.context);
        password.show();
        control<QLineEdit>(password, "Edit1")->setText(QStringLiteral("admin"));
        control<QLineEdit>(password, "Edit2")->setText(QStringLiteral("gizli1"));
        control<QLineEdit>(password, "Edit3")->setText(QStringLiteral("gizli1"));
        click(password, "SpeedButton1");
        QCOMPARE(session.dialogs.lastText(), QStringLiteral("Şifreniz başarıyla değiştirildi."));
        QCOMPARE(storedUnit(session), QStringLiteral("01"));
        QVERIFY(db::verifyPassword(storedHash(session), QStringLiteral("gizli1")));
    }

    void refusedChangeStaysPendingUntilClosed()
    {
        TestSession session;
        addUnits(session);
        admin::TFrmbirimdegistir window(*session.context);
        window.show();
        chooseNext(window);
        refuseUpdates(session, QStringLiteral("kullanici"), QStringLiteral("kullanici kilitli"));
        click(window, "SpeedButton1");
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error),
                 QStringList{QStringLiteral("kullanici kilitli.")});
        QVERIFY(session.dialogs.texts(ScriptedDialogs::Kind::Message).isEmpty());
        QCOMPARE(session.login->state(), db::Dataset::State::Edit);
        QCOMPARE(session.context->unitCode(), QStringLiteral("02"));

        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QCOMPARE(session.context->unitCode(), QStringLiteral("01"));
        acceptUpdates(session, QStringLiteral("kullanici"));
        QCOMPARE(storedUnit(session), QStringLiteral("01"));
    }
};

QTEST_MAIN(TstFrmbirimdegistir)
#include "tst_frmbirimdegistir.moc"
