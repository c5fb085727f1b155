#include "admin/tfrmsifre.h"
#include "adminwindowtest.h"
#include "db/passwordhash.h"
#include "db/serveraccount.h"
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
    return session
        .scalar(QStringLiteral("SELECT sifre FROM kullanici WHERE kullanici = @u"),
                {{QStringLiteral("@u"), session.login->text(QStringLiteral("kullanici"))}})
        .toString();
}

// A session whose user's password is "admin". On a server a user of its own, since the tests
// change the password of the user's login role, which the test databases would otherwise share.
struct PasswordSession {
    TestSession session;
    PasswordSession()
    {
        if (!session.serverDatabase)
            return;
        const QString user = pgtest::uniqueUserName(u's');
        session.setup().execute(QStringLiteral("INSERT INTO kullanici (kullanici, adsoy, "
                                               "birimkodu, yetkitipi) VALUES (@u, 'Yönetici', "
                                               "'01', 1)"),
                                {{QStringLiteral("@u"), user}});
        session.relogin(user, QStringLiteral("admin"));
    }
};

// Whether the user's password is `password`: on a server the server says so (the user row holds
// no hash there), on the embedded database the stored hash.
bool passwordIs(TestSession& session, const QString& password)
{
    if (session.serverDatabase)
        return db::serverPasswordAccepted(session.connection, password);
    return db::verifyPassword(storedHash(session), password);
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
        PasswordSession own;
        TestSession& session = own.session;
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
        PasswordSession own;
        TestSession& session = own.session;
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
            QVERIFY(passwordIs(session, fresh));
            QVERIFY(!passwordIs(session, QStringLiteral("admin")));
            // the new password's hash, with a salt of its own; never the password itself. A
            // server's user row holds nothing.
            const QString stored = storedHash(session);
            QCOMPARE(db::isPasswordHash(stored), !session.serverDatabase);
            QVERIFY(stored != seeded || session.serverDatabase);
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
        PasswordSession own;
        TestSession& session = own.session;
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
        QVERIFY(passwordIs(session, QStringLiteral("ikinci3")));
        QVERIFY(!passwordIs(session, QStringLiteral("yeni12")));
    }

    // A refused store leaves the login row with the password the server still holds.
    void refusedChangeKeepsTheWindowOpen()
    {
        if (pgtest::serverBackendRequested())
            QSKIP("a server's password is its login role's: no user row is written");
        PasswordSession own;
        TestSession& session = own.session;
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
        PasswordSession own;
        TestSession& session = own.session;
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
