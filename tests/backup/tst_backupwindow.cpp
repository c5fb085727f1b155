// The backup menu as an administrator uses it: "Yedekten Geri Yükle" lists the copies and restores
// the chosen one after the question, ending the program; a file that is no copy is refused and
// nothing changes; "Yedek Al" writes a copy where the user says. Also the copy a monthly run takes
// first, and a failing one that is told once while the runs go on.

#include "app/tfrmana.h"
#include "app/windowregistry.h"
#include "backup/tfrmyedekgeriyukle.h"
#include "backupfixture.h"
#include "db/passwordhash.h"
#include "monthly/tfrmpuantaj.h"

#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QTreeWidget>

using namespace zelvo;

using namespace zelvo::monthly;

namespace {

struct WindowFixture : BackupFixture {
    ui::WindowCatalog catalog;
    std::unique_ptr<app::TFrmAna> main;

    WindowFixture()
    {
        app::registerAllWindows(catalog);
        main = std::make_unique<app::TFrmAna>(session.connection, session.dialogs, catalog);
        main->show();
    }
    ~WindowFixture()
    {
        if (auto* window = restoreWindow())
            delete window;
    }
    void loginAs(int authority)
    {
        session.setup().insertRow("kullanici", {{"kullanici", "yonetici"},
                                                {"sifre", db::hashPassword("Gizli.26")},
                                                {"adsoy", "Deniz Yönetici"},
                                                {"birimkodu", "01"},
                                                {"yetkitipi", authority}});
        main->findChild<QLineEdit*>("Edit1")->setText("yonetici");
        main->findChild<QLineEdit*>("Edit2")->setText("Gizli.26");
        QTest::mouseClick(main->findChild<QToolButton*>("SpeedButton9"), Qt::LeftButton);
        QVERIFY(main->isLoggedIn());
    }
    QAction* backupMenu() const { return main->findChild<QAction*>("MenuYedeklemeItem"); }
    // Opens "Yedekleme" on the menu bar and clicks the item, as a user does with the mouse.
    void chooseFromMenu(const QString& itemName)
    {
        QMenuBar* bar = main->menuBar();
        QTRY_VERIFY(bar->height() > 0); // laid out anew once the login showed its items
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(backupMenu()).center());
        auto* menu = main->findChild<QMenu*>("MenuYedekleme");
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        auto* item = main->findChild<QAction*>(itemName);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    }
    backup::TFrmYedekGeriYukle* restoreWindow() const
    {
        return main->findChild<backup::TFrmYedekGeriYukle*>();
    }
    QStringList listed() const
    {
        QStringList rows;
        auto* list = restoreWindow()->findChild<QTreeWidget*>("ListYedekler");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows << QStringList{item->text(0), item->text(1), item->text(2)}.join('|');
        }
        return rows;
    }
    void clickRow(int row)
    {
        auto* list = restoreWindow()->findChild<QTreeWidget*>("ListYedekler");
        const QRect place = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    }
    void click(const QString& button)
    {
        QTest::mouseClick(restoreWindow()->findChild<QToolButton*>(button), Qt::LeftButton);
    }
    QList<ScriptedDialogs::Kind> kindsShown() const
    {
        QList<ScriptedDialogs::Kind> kinds;
        for (const auto& shown : session.dialogs.shown)
            kinds << shown.kind;
        return kinds;
    }
};

using Kind = ScriptedDialogs::Kind;

// With ZELVO_SCREENSHOT_DIR set, keeps a picture of the window there to look at.
void keepPicture(QWidget& window, const QString& name)
{
    const QString dir = qEnvironmentVariable("ZELVO_SCREENSHOT_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace

class TstBackupWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey)); }

    void menuForAdministratorsOnly_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("shown");
        QTest::newRow("administrator") << 1 << true;
        QTest::newRow("staff") << 2 << false;
    }
    void menuForAdministratorsOnly()
    {
        QFETCH(int, authority);
        QFETCH(bool, shown);
        WindowFixture f;
        QVERIFY(!f.backupMenu()->isVisible());
        f.loginAs(authority);
        QCOMPARE(f.backupMenu()->isVisible(), shown);
        QCOMPARE(f.backupMenu()->text(), "Yedekleme");
    }

    void restoreTheChosenCopyThenTheProgramEnds()
    {
        WindowFixture f;
        f.addStudents(1, 3);
        f.service->takeCopy(backup::BackupKind::Daily);
        f.clock = f.clock.addSecs(3600);
        f.addStudents(4, 2);
        f.service->takeCopy(backup::BackupKind::BeforeRun);
        f.session.setup().execute("DELETE FROM ogrenci WHERE ogrencino IN ('S1', 'S4')");
        const QStringList now = f.students();
        f.loginAs(1);
        f.chooseFromMenu("MenuYedektenGeriYukle");
        QVERIFY(f.restoreWindow() && f.restoreWindow()->isVisible());
        QCOMPARE(f.listed(),
                 (QStringList{"14.03.2026|10:30:05|İşlem öncesi", "14.03.2026|09:30:05|Günlük"}));
        f.clickRow(1);
        keepPicture(*f.restoreWindow(), "yedekten-geri-yukle");
        f.session.dialogs.clear();
        f.session.dialogs.answers = {true};
        f.clock = f.clock.addSecs(600);
        f.click("BtnGeriYukle");

        QCOMPARE(f.kindsShown(), (QList<Kind>{Kind::Question, Kind::Message}));
        QVERIFY(f.session.dialogs.shown[0].text.startsWith(
            "14.03.2026 09:30:05 tarihli günlük yedek geri yüklenecek."));
        QVERIFY(f.session.dialogs.lastText().contains("Program şimdi kapanacak"));
        QVERIFY(!f.main->isVisible());
        QVERIFY(!f.session.connection.isOpen());
        QCOMPARE(BackupFixture::studentsIn(f.databasePath), (QStringList{"S1", "S2", "S3"}));
        const QString safety =
            QDir(f.backupsPath()).filePath("zelvo-geri-yukleme-oncesi-2026-03-14-104005.db");
        QVERIFY(f.session.dialogs.lastText().contains(QDir::toNativeSeparators(safety)));
        QCOMPARE(BackupFixture::studentsIn(safety), now);
    }

    void refusedOrDeclinedChangesNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QList<ScriptedDialogs::Kind>>("shown");
        QTest::newRow("a text file from elsewhere")
            << "notlar.db" << true << QList<Kind>{Kind::Open, Kind::Error};
        QTest::newRow("a good copy, declined at the question")
            << "kopya.db" << false << QList<Kind>{Kind::Open, Kind::Question};
    }
    void refusedOrDeclinedChangesNothing()
    {
        QFETCH(QString, file);
        QFETCH(bool, confirm);
        QFETCH(QList<ScriptedDialogs::Kind>, shown);
        WindowFixture f;
        f.addStudents(1, 2);
        const QString chosen = f.dir.filePath(file);
        if (file == "kopya.db") {
            f.service->copies().writeCopy(chosen);
        } else {
            QFile text(chosen);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("öğrenci listesi\n");
        }
        f.addStudents(3, 1);
        f.loginAs(1);
        f.chooseFromMenu("MenuYedektenGeriYukle");
        f.session.dialogs.clear();
        f.session.dialogs.openAnswers = {chosen};
        f.session.dialogs.answers = {confirm};
        f.click("BtnDosyadan");

        QCOMPARE(f.kindsShown(), shown);
        if (shown.last() == Kind::Error)
            QVERIFY(f.session.dialogs.lastText().contains("bir Zelvo yedeği değil"));
        QVERIFY(f.restoreWindow()->isVisible());
        QVERIFY(f.session.connection.isOpen());
        QCOMPARE(f.students(), (QStringList{"S1", "S2", "S3"}));
        QVERIFY(f.service->folder().copies().isEmpty()); // no safety copy was needed
    }

    void manualCopyWhereTheUserSays_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("told");
        QTest::newRow("a file on a stick, replacing an older one") << "usb/yedek.db"
                                                                   << "Yedek alındı";
        QTest::newRow("the database file itself") << "zelvo.db"
                                                  << "kendisine yazılamaz";
    }
    void manualCopyWhereTheUserSays()
    {
        QFETCH(QString, target);
        QFETCH(QString, told);
        WindowFixture f;
        f.addStudents(1, 4);
        const QString path = f.dir.filePath(target);
        QDir().mkpath(QFileInfo(path).path());
        if (!QFileInfo::exists(path)) {
            QFile older(path);
            QVERIFY(older.open(QIODevice::WriteOnly));
            older.write("eski yedek");
        }
        f.loginAs(1);
        f.session.dialogs.clear();
        f.session.dialogs.saveAnswers = {path};
        f.chooseFromMenu("MenuYedekAl");
        QCOMPARE(f.session.dialogs.texts(Kind::Save), QStringList{"Yedek Al"});
        QVERIFY(f.session.dialogs.lastProposedName.startsWith("zelvo-yedek-"));
        QVERIFY2(f.session.dialogs.lastText().contains(told),
                 qPrintable(f.session.dialogs.lastText()));
        QCOMPARE(f.session.dialogs.texts(Kind::Message).isEmpty(), told != "Yedek alındı");
        QCOMPARE(BackupFixture::studentsIn(path), (QStringList{"S1", "S2", "S3", "S4"}));
        QCOMPARE(BackupFixture::filesIn(QFileInfo(path).path()).filter(".part"), QStringList());
    }

    void monthlyRunTakesACopyFirst_data()
    {
        QTest::addColumn<bool>("folderUsable");
        QTest::newRow("usable folder: one copy, then none within the hour") << true;
        QTest::newRow("unusable folder: told once, the runs go on") << false;
    }
    void monthlyRunTakesACopyFirst()
    {
        QFETCH(bool, folderUsable);
        BackupFixture f;
        f.addStudents(1, 2);
        if (!folderUsable) {
            QFile file(f.dir.filePath("dosya"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            f.startService(f.dir.filePath("dosya/backups"));
        }
        TFrmPuantaj window(*f.session.context, &f.session.mainWindow);
        window.show();
        for (int run = 0; run < 2; ++run) {
            QTest::mouseClick(window.findChild<QWidget*>("Month3"), Qt::LeftButton);
            QTest::mouseClick(window.findChild<QToolButton*>("SpeedButton5"), Qt::LeftButton);
            f.clock = f.clock.addSecs(300);
        }
        window.close();
        QCOMPARE(f.session.setup().query("SELECT count(*) FROM Puantaj").rows[0][0].toInt(), 2);
        QCOMPARE(f.session.dialogs.texts(Kind::Error), QStringList());
        const QStringList warnings = f.session.dialogs.texts(Kind::Message);
        QCOMPARE(warnings.size(), folderUsable ? 0 : 1);
        const QList<backup::BackupFile> copies = f.service->folder().copies();
        QCOMPARE(copies.size(), folderUsable ? 1 : 0);
        if (folderUsable)
            QCOMPARE(copies[0].kind, backup::BackupKind::BeforeRun);
    }
};

QTEST_MAIN(TstBackupWindow)
#include "tst_backupwindow.moc"
