#include "admin/tfrmsifre.h"
#include "app/startup.h"
#include "app/tfrmana.h"
#include "app/windowregistry.h"
#include "backup/backupfolder.h"
#include "db/passwordhash.h"
#include "db/serveraccount.h"
#include "testsession.h"
#include "ui/childwindow.h"
#include "ui/look.h"

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace zelvo;

namespace {

// A child window that counts its activations and offers a box of each kind.
class ProbeWindow : public ui::ChildWindow {
public:
    ProbeWindow(ui::AppContext& context, QWidget* owner)
        : ChildWindow(context, QStringLiteral("FrmProbe"), QSize(300, 200), owner)
    {
        createCloseButton(this);
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit1"));
    }
    int activations = 0;
    QLineEdit* edit;

protected:
    void activate() override { ++activations; }
};

// On a server the login signs in to the test database with the typed credentials.
void signInThroughServer(app::TFrmAna& main, const TestSession& session)
{
    if (session.serverDatabase)
        main.setServerSignIn(pgtest::testAddress(session.serverDatabase->name()));
}

struct Fixture {
    TestSession session;
    ui::WindowCatalog catalog;
    std::unique_ptr<app::TFrmAna> main;
    Fixture()
    {
        catalog.add(QStringLiteral("TFrmPSicil"),
                    [](ui::AppContext& c, QWidget* owner) { return new ProbeWindow(c, owner); });
        main = std::make_unique<app::TFrmAna>(session.connection, session.dialogs, catalog);
        signInThroughServer(*main, session);
        main->show();
    }
    QToolButton* button(const QString& caption)
    {
        for (QToolButton* b : main->findChildren<QToolButton*>())
            if (b->text() == caption)
                return b;
        return nullptr;
    }
    void login(const QString& user, const QString& password)
    {
        main->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(user);
        main->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(password);
        QTest::mouseClick(connectButton(), Qt::LeftButton);
    }
    QToolButton* connectButton() const
    {
        return main->findChild<QToolButton*>(QStringLiteral("SpeedButton9"));
    }
    // On a server the password is the user's login role's, as the installer gives it.
    void addUser(const QString& user, const QString& password, const QVariant& authority = 2)
    {
        const bool server = session.serverDatabase != nullptr;
        session.setup().insertRow(QStringLiteral("kullanici"),
                                  {{"kullanici", user},
                                   {"sifre", server ? QVariant() : db::hashPassword(password)},
                                   {"adsoy", QStringLiteral("Ayşe Memur")},
                                   {"birimkodu", QStringLiteral("01")},
                                   {"yetkitipi", authority}});
        if (server)
            db::setServerUserPassword(session.setup(), user, password);
    }
    bool menuVisible(const QString& name)
    {
        for (QAction* a : main->menuBar()->actions())
            if (a->objectName() == name)
                return a->isVisible();
        return false;
    }
    ProbeWindow* openProbe()
    {
        QTest::mouseClick(button(QStringLiteral("1-Öğrenciler")), Qt::LeftButton);
        return main->findChild<ProbeWindow*>();
    }
};

// With ZELVO_SCREENSHOT_DIR set, keeps a picture of the window there to look at.
void keepPicture(QWidget& window, const QString& name)
{
    const QString dir = qEnvironmentVariable("ZELVO_SCREENSHOT_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

const QStringList toolCaptions = {"1-Öğrenciler", "2-Puantaj", "3-Taahhuk", "Liste-1", "Liste-2",
                                  "XML dosyası",  "İşyeri",    "Şifre",     "Program"};

} // namespace

class TstMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void picturesAreDecodedThroughTheJpegPlugin()
    {
        QVERIFY2(QImageReader::supportedImageFormats().contains("jpeg"),
                 "Qt's JPEG plugin is missing");
        for (const char* name : {"splash", "ogrenciler", "kapat", "baglan", "about"}) {
            const QPixmap pixmap = ui::look::picture(QString::fromLatin1(name));
            QVERIFY(!pixmap.isNull());
        }
        QCOMPARE(ui::look::picture(QStringLiteral("splash")).size(), QSize(800, 526));
        QCOMPARE(ui::look::picture(QStringLiteral("puantaj")).size(), QSize(32, 32));
    }

    void startsLoggedOut()
    {
        Fixture f;
        QCOMPARE(f.main->size(), QSize(1100, 773));
        for (const QString& caption : toolCaptions)
            QVERIFY2(!f.button(caption)->isEnabled(), qPrintable(caption));
        QVERIFY(f.button(QStringLiteral("Kapat"))->isEnabled());
        QVERIFY(!f.menuVisible(QStringLiteral("MenuTemelParametreler")));
        QVERIFY(!f.menuVisible(QStringLiteral("MenuBirimDegistir")));
        QVERIFY(!f.menuVisible(QStringLiteral("MenuGssItem")));
        auto* user = f.main->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        QCOMPARE(user->echoMode(), QLineEdit::Password); // the user name is masked too
    }

    void wrongCredentialsThenRetry()
    {
        Fixture f;
        f.login(QStringLiteral("admin"), QStringLiteral("ADMIN")); // exact match only
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Message),
                 QStringList{QStringLiteral("Yanlış kullanıcı adı veya şifre girdiniz")});
        QVERIFY(!f.main->isLoggedIn());
        QVERIFY(f.main->findChild<QWidget*>(QStringLiteral("Panel3"))->isVisible());
        QCOMPARE(f.main->findChild<QLineEdit*>(QStringLiteral("Edit2"))->text(),
                 QStringLiteral("ADMIN")); // the boxes stay as they were
        QVERIFY(!f.button(QStringLiteral("1-Öğrenciler"))->isEnabled());

        f.login(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(f.main->isLoggedIn());
        QVERIFY(!f.main->findChild<QWidget*>(QStringLiteral("Panel3"))->isVisible());
        QCOMPARE(f.main->context().unitCode(), QStringLiteral("01"));
    }

    void enterDoesNotLogIn()
    {
        Fixture f;
        auto* password = f.main->findChild<QLineEdit*>(QStringLiteral("Edit2"));
        f.main->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("admin"));
        password->setText(QStringLiteral("admin"));
        QTest::keyClick(password, Qt::Key_Return);
        QVERIFY(!f.main->isLoggedIn());
    }

    void buttonsAreEnabledInOrder()
    {
        Fixture f;
        QStringList order;
        for (const QString& caption : toolCaptions) {
            QToolButton* b = f.button(caption);
            struct Recorder : QObject {
                QStringList* order;
                QString caption;
                bool eventFilter(QObject* o, QEvent* e) override
                {
                    if (e->type() == QEvent::EnabledChange && static_cast<QWidget*>(o)->isEnabled())
                        order->append(caption);
                    return false;
                }
            };
            auto* r = new Recorder;
            r->setParent(b);
            r->order = &order;
            r->caption = caption;
            b->installEventFilter(r);
        }
        f.login(QStringLiteral("admin"), QStringLiteral("admin"));
        QCOMPARE(order, QStringList({"İşyeri", "XML dosyası", "3-Taahhuk", "Liste-1",
                                     "1-Öğrenciler", "2-Puantaj", "Şifre", "Liste-2", "Program"}));
    }

    void menusFollowAuthority_data()
    {
        QTest::addColumn<QVariant>("authority");
        QTest::addColumn<bool>("administrator");
        QTest::newRow("1") << QVariant(1) << true;
        QTest::newRow("2") << QVariant(2) << false;
        QTest::newRow("empty") << QVariant() << false;
    }
    void menusFollowAuthority()
    {
        QFETCH(QVariant, authority);
        QFETCH(bool, administrator);
        Fixture f;
        f.addUser(QStringLiteral("memur"), QStringLiteral("12345"), authority);
        f.login(QStringLiteral("memur"), QStringLiteral("12345"));
        QVERIFY(f.main->isLoggedIn());
        QCOMPARE(f.menuVisible(QStringLiteral("MenuTemelParametreler")), administrator);
        QCOMPARE(f.menuVisible(QStringLiteral("MenuBirimDegistir")), administrator);
        QVERIFY(f.menuVisible(QStringLiteral("MenuGssItem")));
    }

    void severalLoginRowsTakeTheFirst()
    {
        if (pgtest::serverBackendRequested())
            QSKIP("a server's row policies show a user their own login row only");
        TestSession session;
        db::Connection& connection = session.connection;
        // a server whose login procedure answers with several rows, newest first
        connection.insertRow(QStringLiteral("kullanici"),
                             {{"kullanici", QStringLiteral("ikinci")},
                              {"sifre", db::hashPassword(QStringLiteral("b"))},
                              {"birimkodu", QStringLiteral("07")},
                              {"yetkitipi", 2}});
        if (connection.backendName() == QLatin1String("sqlite"))
            connection.execute(QStringLiteral(
                "UPDATE zelvo_procedure SET body='SELECT * FROM kullanici WHERE @Key1 = "
                "@Key1 ORDER BY idkullanici DESC' WHERE name='BireyGetirLogin'"));
        else
            connection.applyScript(QStringLiteral(
                "DROP FUNCTION BireyGetirLogin(text); "
                "CREATE FUNCTION BireyGetirLogin(key1 text) RETURNS TABLE "
                "(idkullanici integer, kullanici varchar, sifre varchar, adsoy varchar, birimkodu "
                "varchar, email varchar, yetkitipi integer) LANGUAGE sql AS $$ SELECT "
                "k.idkullanici, k.kullanici, k.sifre, k.adsoy, k.birimkodu, k.email, k.yetkitipi "
                "FROM kullanici k WHERE key1 = key1 ORDER BY k.idkullanici DESC $$"));
        connection.forgetSchema(); // the session's own login read the procedure before
        ui::WindowCatalog catalog;
        app::TFrmAna main(connection, session.dialogs, catalog);
        main.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("a"));
        main.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("b"));
        QTest::mouseClick(main.findChild<QToolButton*>(QStringLiteral("SpeedButton9")),
                          Qt::LeftButton);
        QVERIFY(main.isLoggedIn());
        QCOMPARE(main.context().unitCode(), QStringLiteral("07"));
        QCOMPARE(main.context().userName(), QStringLiteral("ikinci"));
    }

    // An unknown user, a wrong password and a password stored as typed (never compared) all
    // get the same message, and nothing else changes.
    void refusedLoginsLookAlike_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::newRow("wrong password") << "admin"
                                        << "ADMIN";
        QTest::newRow("unknown user") << "yok"
                                      << "admin";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("stored as typed") << "eski"
                                         << "12345";
    }
    void refusedLoginsLookAlike()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        Fixture f;
        f.session.setup().execute(
            QStringLiteral("INSERT INTO kullanici (kullanici, sifre) VALUES ('eski', '12345')"));
        f.login(user, password);
        QCOMPARE(f.session.dialogs.shown.size(), 1);
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Message),
                 QStringList{QStringLiteral("Yanlış kullanıcı adı veya şifre girdiniz")});
        QVERIFY(!f.main->isLoggedIn());
        QVERIFY(!f.main->loginDataset().isOpen());
        QCOMPARE(f.main->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), user);
        QCOMPARE(f.main->findChild<QLineEdit*>(QStringLiteral("Edit2"))->text(), password);
        QVERIFY(f.connectButton()->isEnabled()); // the first failures cost no waiting
    }

    // The seeded administrator's password is in the README: logging in with it asks for a new
    // one and opens the password window, which may be closed without a change.
    void defaultAdministratorIsAskedForANewPassword()
    {
        Fixture f;
        f.catalog.add(QStringLiteral("TFrmsifre"), [](ui::AppContext& c, QWidget* owner) {
            return new admin::TFrmsifre(c, owner);
        });
        f.login(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(f.main->isLoggedIn());
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Message),
                 QStringList{QStringLiteral("Varsayılan yönetici şifresiyle giriş yaptınız. "
                                            "Güvenliğiniz için lütfen yeni bir şifre "
                                            "belirleyiniz.")});
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Modal),
                 QStringList{QStringLiteral("Frmsifre")});
        auto* window = f.main->findChild<admin::TFrmsifre*>();
        QVERIFY(window && window->isVisible());
        keepPicture(*window, QStringLiteral("TFrmsifre-ilk-giris"));
        QTest::mouseClick(window->closeButton(), Qt::LeftButton);
        QVERIFY(f.main->isVisible());
        QVERIFY(f.main->isLoggedIn());
        // the seeded administrator's role is shared by the test databases of the cluster: its
        // password stays; a change on a server is the password window's test
        if (f.session.serverDatabase)
            return;
        QVERIFY(db::verifyPassword(f.main->loginDataset().text(QStringLiteral("sifre")),
                                   QStringLiteral("admin")));

        // the user chooses a new one after all; the next run asks no more
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::mouseClick(f.button(QStringLiteral("Şifre")), Qt::LeftButton);
        window = f.main->findChild<admin::TFrmsifre*>();
        QVERIFY(window);
        QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("Edit1")), "admin");
        QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("Edit2")), "Yeni.2026");
        QTest::keyClicks(window->findChild<QLineEdit*>(QStringLiteral("Edit3")), "Yeni.2026");
        QTest::mouseClick(window->findChild<QToolButton*>(QStringLiteral("SpeedButton1")),
                          Qt::LeftButton);
        QCOMPARE(f.session.dialogs.lastText(), QStringLiteral("Şifreniz başarıyla değiştirildi."));

        ScriptedDialogs dialogs;
        app::TFrmAna nextRun(f.session.connection, dialogs, f.catalog);
        nextRun.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("admin"));
        nextRun.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("admin"));
        QTest::mouseClick(nextRun.findChild<QToolButton*>(QStringLiteral("SpeedButton9")),
                          Qt::LeftButton);
        QVERIFY(!nextRun.isLoggedIn());
        nextRun.findChild<QLineEdit*>(QStringLiteral("Edit2"))
            ->setText(QStringLiteral("Yeni.2026"));
        QTest::mouseClick(nextRun.findChild<QToolButton*>(QStringLiteral("SpeedButton9")),
                          Qt::LeftButton);
        QVERIFY(nextRun.isLoggedIn());
        QCOMPARE(dialogs.texts(ScriptedDialogs::Kind::Message),
                 QStringList{QStringLiteral("Yanlış kullanıcı adı veya şifre girdiniz")});
        QVERIFY(dialogs.texts(ScriptedDialogs::Kind::Modal).isEmpty());
    }

    void throttleWaitsGrow_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("wait");
        const QList<QPair<int, int>> waits = {{0, 0}, {4, 0},  {5, 1},   {6, 2},   {7, 4},
                                              {8, 8}, {9, 16}, {10, 30}, {11, 30}, {500, 30}};
        for (const auto& [failures, wait] : waits)
            QTest::addRow("%d failures", failures) << failures << wait;
    }
    void throttleWaitsGrow()
    {
        QFETCH(int, failures);
        QFETCH(int, wait);
        QCOMPARE(app::LoginThrottle::waitAfter(failures).count(), wait);
    }

    // After five failures in a row each attempt waits, the button off and the seconds counted
    // down under the login panel; a login after the wait starts the count afresh.
    void failedLoginsInARowSlowDown()
    {
        using namespace std::chrono_literals;
        Fixture f;
        auto now = std::chrono::steady_clock::now();
        f.main->loginThrottle().setClock([&now] { return now; });
        auto* label = f.main->findChild<QLabel*>(QStringLiteral("LabelBekleme"));
        QVERIFY(label);
        for (int i = 0; i < 4; ++i)
            f.login(QStringLiteral("admin"), QStringLiteral("yanlış"));
        QVERIFY(f.connectButton()->isEnabled());
        QVERIFY(label->isHidden());

        f.login(QStringLiteral("admin"), QStringLiteral("yanlış"));
        QVERIFY(!f.connectButton()->isEnabled());
        QVERIFY(label->isVisible());
        QVERIFY2(label->text().contains(QLatin1String(" 1 saniye")), qPrintable(label->text()));
        keepPicture(*f.main, QStringLiteral("TFrmAna-bekleme"));
        f.login(QStringLiteral("admin"), QStringLiteral("admin")); // the button does not react
        QVERIFY(!f.main->isLoggedIn());
        QCOMPARE(f.session.dialogs.shown.size(), 5);

        now += 1s;
        QTRY_VERIFY(f.connectButton()->isEnabled());
        QVERIFY(label->isHidden());
        f.login(QStringLiteral("yok"), QStringLiteral("admin")); // unknown users count too
        QVERIFY(label->text().contains(QLatin1String(" 2 saniye")));
        now += 1s;
        QTRY_VERIFY(label->text().contains(QLatin1String(" 1 saniye")));
        QVERIFY(!f.connectButton()->isEnabled());
        now += 1s;
        QTRY_VERIFY(f.connectButton()->isEnabled());

        f.login(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(f.main->isLoggedIn());
        QCOMPARE(f.main->loginThrottle().failuresInARow(), 0);
    }

    void childWindowConventions()
    {
        Fixture f;
        f.login(QStringLiteral("admin"), QStringLiteral("admin"));
        ProbeWindow* first = f.openProbe();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QVERIFY(!f.main->isVisible()); // hidden while the child is open
        QCOMPARE(first->activations, 1);
        QCOMPARE(first->parent(), f.main.get());
        QVERIFY(first->windowFlags() & Qt::FramelessWindowHint);
        first->edit->setText(QStringLiteral("yazıldı"));

        first->message(QStringLiteral("Bilgi"));
        QCOMPARE(first->activations, 2); // re-run after its own message box
        first->ask(QStringLiteral("Emin misiniz?"));
        QCOMPARE(first->activations, 3);
        first->showError(QStringLiteral("disk dolu"));
        QCOMPARE(first->activations, 3); // not after an error box
        QCOMPARE(f.session.dialogs.lastText(), QStringLiteral("disk dolu."));

        QTest::mouseClick(first->closeButton(), Qt::LeftButton);
        QVERIFY(f.main->isVisible());
        QTest::qWait(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        ProbeWindow* second = f.openProbe();
        QVERIFY(second);
        QCOMPARE(second->activations, 1);
        QVERIFY(second->edit->text().isEmpty()); // a fresh instance
        second->close();
    }

    // Every tool button and menu item of an administrator opens a window of the program's own
    // catalogue, never the "not ready" message.
    void everyButtonAndMenuItemOpensAWindow()
    {
        TestSession session;
        ui::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        app::TFrmAna main(session.connection, session.dialogs, catalog);
        signInThroughServer(main, session);
        main.show();
        main.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("admin"));
        main.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("admin"));
        QTest::mouseClick(main.findChild<QToolButton*>(QStringLiteral("SpeedButton9")),
                          Qt::LeftButton);
        QStringList opened;
        session.dialogs.onModal = [&opened](QDialog& window) { opened << window.objectName(); };
        int expected = 0;
        for (QToolButton* button : main.findChildren<QToolButton*>()) {
            if (!toolCaptions.contains(button->text()))
                continue;
            session.dialogs.clear();
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY2(
                session.dialogs.texts(ScriptedDialogs::Kind::Message).isEmpty(),
                qPrintable(button->text() + QStringLiteral(": ") + session.dialogs.lastText()));
            QCOMPARE(opened.size(), ++expected);
        }
        QCOMPARE(expected, toolCaptions.size());
        for (QAction* item : main.menuBar()->findChildren<QAction*>()) {
            if (item->menu() || item->text().isEmpty() ||
                item->objectName() == QLatin1String("MenuYedekAl"))
                continue; // the manual copy asks for a file and opens no window
            session.dialogs.clear();
            item->trigger();
            QVERIFY2(session.dialogs.texts(ScriptedDialogs::Kind::Message).isEmpty(),
                     qPrintable(item->text() + QStringLiteral(": ") + session.dialogs.lastText()));
            QCOMPARE(opened.size(), ++expected);
        }
        QVERIFY(expected >= toolCaptions.size() + 8); // two menu items, restore, five GSS windows
    }

    // On a server the login opens the connection: a server that does not answer has its own
    // message, not the refusal's, and costs no throttled attempt.
    void unreachableServerAtLogin()
    {
        if (!pgtest::serverBackendRequested())
            QSKIP("the login of a server");
        Fixture f;
        const QTemporaryDir nowhere; // a socket folder with no server in it
        db::ServerAddress address = pgtest::testAddress(f.session.serverDatabase->name());
        address.host = nowhere.path();
        f.main->setServerSignIn(address);
        f.login(QStringLiteral("admin"), QStringLiteral("admin"));
        QVERIFY(!f.main->isLoggedIn());
        QVERIFY2(f.session.dialogs.lastText().contains(QStringLiteral("sunucusuna ulaşılamadı")),
                 qPrintable(f.session.dialogs.lastText()));
        QCOMPARE(f.main->loginThrottle().failuresInARow(), 0);
    }

    void unknownWindowSaysSo()
    {
        Fixture f;
        f.login(QStringLiteral("admin"), QStringLiteral("admin"));
        f.session.dialogs.clear();
        f.main->openWindow(QStringLiteral("TFrmYok"));
        QCOMPARE(f.session.dialogs.shown.size(), 1);
        QVERIFY(f.session.dialogs.lastText().contains(QLatin1String("TFrmYok")));
    }

    void unreachableDatabaseEndsWithTheErrorBox()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("zelvo.ini"));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (pgtest::serverBackendRequested()) // a socket folder with no server in it
            f.write("[database]\nkind=postgresql\nname=zelvo\nuser=zelvo\nhost=" +
                    dir.path().toUtf8() + "\n");
        else
            f.write("[database]\nkind=sqlite\nfile=" + dir.filePath("yok.db").toUtf8() + "\n");
        f.close();
        ScriptedDialogs dialogs;
        db::Connection connection;
        QVERIFY(!app::openDatabase(connection, dialogs, ini));
        QCOMPARE(dialogs.texts(ScriptedDialogs::Kind::Error).size(), 1);
        QVERIFY(dialogs.lastText().endsWith(QLatin1Char('.')) ||
                dialogs.lastText().endsWith(QLatin1Char(')')));
        if (pgtest::serverBackendRequested())
            QVERIFY2(dialogs.lastText().contains(QStringLiteral("sunucusuna ulaşılamadı")),
                     qPrintable(dialogs.lastText()));
        QVERIFY(!connection.isOpen());
    }

    // A damaged embedded file at the start: the error names the newest copy to put in its place.
    void damagedFileNamesTheNewestCopy()
    {
        if (pgtest::serverBackendRequested())
            QSKIP("a file of the embedded database");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("zelvo.db"));
        {
            db::Connection make;
            make.openSqlite(file);
        }
        const backup::BackupFolder folder(file, QString());
        folder.create();
        const QDateTime taken(QDate(2026, 3, 14), QTime(9, 30, 5));
        const QString copy = folder.newCopyPath(backup::BackupKind::Daily, taken);
        QVERIFY(QFile::copy(file, copy));
        QFile damaged(file);
        QVERIFY(damaged.open(QIODevice::ReadWrite) && damaged.seek(100));
        damaged.write(QByteArray(3000, '\x5a'));
        damaged.close();
        const QString ini = dir.filePath(QStringLiteral("zelvo.ini"));
        QFile settings(ini);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[database]\nkind=sqlite\nfile=" + file.toUtf8() + "\n");
        settings.close();
        ScriptedDialogs dialogs;
        db::Connection connection;
        QVERIFY(!app::openDatabase(connection, dialogs, ini));
        QVERIFY2(dialogs.lastText().contains(QStringLiteral("Veritabanı dosyası bozuk")) &&
                     dialogs.lastText().contains(copy + QStringLiteral(" (14.03.2026 09:30)")),
                 qPrintable(dialogs.lastText()));
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
