#include "admin/tfrmsifre.h"
#include "adminwindowtest.h"
#include "db/passwordhash.h"
#include "ui/look.h"

#include <QLabel>
#include <QLineEdit>

using namespace zelvo;

using namespace adminwindowtest;

namespace {

const QString wrongCurrent = QStringLiteral("Mevcut şifrenizi yanlış girdiniz.");
const QString tooShort =
    QStringLiteral("En az 5 karakter uzunlukta olması gereken yeni şifrenizi giriniz!");
const QString tooLong = QStringLiteral("Yeni şifreniz en fazla 10 karakter olabilir.");
const QString mismatch =
    QStringLiteral("Yeni şifreyi olarak her iki kutucuğada aynı bilgiyi girmelisiniz.!");
const QString changed = QStringLiteral("Şifreniz başarıyla değiştirildi.");

QString storedHash(TestSession& session)
{
    return session.scalar(QStringLiteral("SELECT sifre FROM kullanici WHERE kullanici='admin'"))
        .toString();
}

// Types into the three boxes as the user does, each emptied first.
void fill(QWidget& window, const QString& current, const QString& fresh, const QString& again)
{
    const QList<QPair<const char*, QString>> boxes = {
        {"Edit1", current}, {"Edit2", fresh}, {"Edit3", again}};
    for (const auto& [name, text] : boxes) {
        auto* box = control<QLineEdit>(window, name);
        box->clear();
        box->setFocus();
        typeText(box, text);
    }
}

// No box, caption or message of the window shows a stored hash.
void showsNoHash(const QWidget& window, const ScriptedDialogs& dialogs)
{
    for (const QLineEdit* box : window.findChildren<QLineEdit*>())
        QVERIFY(!box->text().contains(QLatin1String("$argon2")));
    for (const QLabel* label : window.findChildren<QLabel*>())
        QVERIFY(!label->text().contains(QLatin1String("$argon2")));
    for (const ScriptedDialogs::Shown& shown : dialogs.shown)
        QVERIFY(!shown.text.contains(QLatin1String("$argon2")));
}

} // namespace

class TstFrmsifre : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::look::installFontSubstitutions(); }

    void layout()
    {
        TestSession session;
        admin::TFrmsifre window(*session.context);
        window.show();
        QVERIFY(!session.mainWindow.isVisible());
        QCOMPARE(window.objectName(), QStringLiteral("Frmsifre"));
        QCOMPARE(window.size(), QSize(510, 178));
        QCOMPARE(control<QLabel>(window, "Heading")->text(), QStringLiteral("Şifre Değiştirme"));
        const QStringList captions = {"Mevcut Şifrenizi Giriniz :", "Yeni Şifrenizi Giriniz :",
                                      "Yeni Şifrenizi Tekrar Giriniz :"};
        for (int i = 0; i < 3; ++i) {
            auto* box = control<QLineEdit>(window, qPrintable(QStringLiteral("Edit%1").arg(i + 1)));
            QCOMPARE(box->echoMode(), QLineEdit::Password);
            QLabel* caption = nullptr;
            for (QLabel* l : window.findChildren<QLabel*>())
                if (l->buddy() == box)
                    caption = l;
            QVERIFY(caption);
            QCOMPARE(caption->text(), captions.at(i));
        }
        auto* ok = control<QAbstractButton>(window, "SpeedButton1");
        QCOMPARE(ok->text(), QStringLiteral("Tamam"));
        QCOMPARE(ok->font().pixelSize(), 19);
        QVERIFY(ok->font().bold());
        auto* close = control<QAbstractButton>(window, "SpeedButton29");
        QVERIFY(close->mapTo(&window, QPoint()).y() < ok->mapTo(&window, QPoint()).y());
        const QImage shot = screenshot(window, QStringLiteral("TFrmsifre"));
        QCOMPARE(shot.size(), window.size());
    }

    void checksInTheirOrder_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("shown");
        QTest::newRow("other letter case") << "ADMIN"
                                           << "yeni1"
                                           << "yeni1" << wrongCurrent;
        QTest::newRow("trailing blank") << "admin "
                                        << "yeni1"
                                        << "yeni1" << wrongCurrent;
        QTest::newRow("wrong and too short") << "x"
                                             << "abc"
                                             << "abc" << wrongCurrent;
        QTest::newRow("4 agreeing") << "admin"
                                    << "abcd"
                                    << "abcd" << tooShort;
        QTest::newRow("4 differing") << "admin"
                                     << "abcd"
                                     << "wxyz" << tooShort;
        QTest::newRow("empty") << "admin"
                               << ""
                               << "" << tooShort;
        QTest::newRow("11 characters") << "admin"
                                       << "abcdefghijk"
                                       << "abcdefghijk" << tooLong;
        QTest::newRow("11 differing") << "admin"
                                      << "abcdefghijk"
                                      << "abcde" << tooLong;
        QTest::newRow("differing") << "admin"
                                   << "abcde"
                                   << "abcdE" << mismatch;
        QTest::newRow("second too long") << "admin"
                                         << "abcde"
                                         << "abcdefghijk" << mismatch;
        QTest::newRow("5 characters") << "admin"
                                      << "abcde"
                                      << "abcde" << changed;
        QTest::newRow("10 characters") << "admin"
                                       << "abcdefghij"
                                       << "abcdefghij" << changed;
        QTest::newRow("Turkish letters") << "admin"
                                         << "şığüöç"
                                         << "şığüöç" << changed;
    }
    void checksInTheirOrder()
    {
        QFETCH(QString, current);
        QFETCH(QString, fresh);
        QFETCH(QString, again);
        QFETCH(QString, shown);
        TestSession session;
        const QString seeded = storedHash(session);
        admin::TFrmsifre window(*session.context);
        window.show();
        fill(window, current, fresh, again);
        QCOMPARE(control<QLineEdit>(window, "Edit2")->text(), fresh);
        click(window, "SpeedButton1");

        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Message), QStringList{shown});
        QVERIFY(session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
        showsNoHash(window, session.dialogs);
        if (shown == changed) {
            // the new password's hash, with a salt of its own; never the password itself
            const QString stored = storedHash(session);
            QVERIFY(db::isPasswordHash(stored));
            QVERIFY(stored != seeded);
            QVERIFY(db::verifyPassword(stored, fresh));
            QVERIFY(!db::verifyPassword(stored, QStringLiteral("admin")));
            QCOMPARE(session.login->text(QStringLiteral("sifre")), stored);
            QCOMPARE(session.login->state(), db::Dataset::State::Browse);
            QVERIFY(!window.isVisible());
            QVERIFY(session.mainWindow.isVisible());
            return;
        }
        QCOMPARE(storedHash(session), seeded);
        QCOMPARE(session.login->text(QStringLiteral("sifre")), seeded);
        QCOMPARE(session.login->state(), db::Dataset::State::Browse);
        QVERIFY(window.isVisible());
        // only the current password's box is emptied, and only when it was wrong
        QCOMPARE(control<QLineEdit>(window, "Edit1")->text(),
                 shown == wrongCurrent ? QString() : current);
        QCOMPARE(control<QLineEdit>(window, "Edit2")->text(), fresh);
        QCOMPARE(control<QLineEdit>(window, "Edit3")->text(), again);
    }

    void aSecondChangeNeedsTheNewPassword()
    {
        TestSession session;
        {
            admin::TFrmsifre first(*session.context);
            first.show();
            fill(first, QStringLiteral("admin"), QStringLiteral("yeni12"),
                 QStringLiteral("yeni12"));
            click(first, "SpeedButton1");
            QCOMPARE(session.dialogs.lastText(), changed);
        }
        admin::TFrmsifre second(*session.context);
        second.show();
        fill(second, QStringLiteral("admin"), QStringLiteral("ikinci3"), QStringLiteral("ikinci3"));
        click(second, "SpeedButton1");
        QCOMPARE(session.dialogs.lastText(), wrongCurrent);
        QVERIFY(second.isVisible());

        typeText(control<QLineEdit>(second, "Edit1"), QStringLiteral("yeni12"));
        click(second, "SpeedButton1");
        QCOMPARE(session.dialogs.lastText(), changed);
        QVERIFY(!second.isVisible());
        QVERIFY(db::verifyPassword(storedHash(session), QStringLiteral("ikinci3")));
        QVERIFY(!db::verifyPassword(storedHash(session), QStringLiteral("yeni12")));
    }

    // A refused store leaves the login row with the password the server still holds.
    void refusedChangeKeepsTheWindowOpen()
    {
        TestSession session;
        const QString seeded = storedHash(session);
        admin::TFrmsifre window(*session.context);
        window.show();
        refuseUpdates(session, QStringLiteral("kullanici"), QStringLiteral("kullanici kilitli"));
        fill(window, QStringLiteral("admin"), QStringLiteral("yeni12"), QStringLiteral("yeni12"));
        click(window, "SpeedButton1");
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error),
                 QStringList{QStringLiteral("kullanici kilitli.")});
        QVERIFY(session.dialogs.texts(ScriptedDialogs::Kind::Message).isEmpty());
        QVERIFY(window.isVisible());
        QCOMPARE(session.login->text(QStringLiteral("sifre")), seeded);
        QCOMPARE(session.login->state(), db::Dataset::State::Browse);

        acceptUpdates(session, QStringLiteral("kullanici"));
        click(window, "SpeedButton1"); // the same entries, now accepted
        QCOMPARE(session.dialogs.lastText(), changed);
        QVERIFY(db::verifyPassword(storedHash(session), QStringLiteral("yeni12")));
    }

    void closeButtonShowsTheMainWindow()
    {
        TestSession session;
        const QString seeded = storedHash(session);
        admin::TFrmsifre window(*session.context);
        window.show();
        fill(window, QStringLiteral("admin"), QStringLiteral("yeni12"), QStringLiteral("yeni12"));
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QVERIFY(session.mainWindow.isVisible());
        QCOMPARE(storedHash(session), seeded);
        QVERIFY(session.dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(TstFrmsifre)
#include "tst_frmsifre.moc"
