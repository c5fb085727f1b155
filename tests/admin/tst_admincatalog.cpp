#include "adminwindowtest.h"
#include "app/windowregistry.h"
#include "ui/childwindow.h"
#include "ui/look.h"
#include "ui/windowcatalog.h"

#include <QDialog>

using namespace zelvo;

using namespace adminwindowtest;

class TstAdminCatalog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::look::installFontSubstitutions(); }

    void everyWindowIsRegistered_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("windowName");
        QTest::addColumn<bool>("hidesMainWindow");
        QTest::newRow("workplace") << "TFrmisyeri"
                                   << "Frmisyeri" << true;
        QTest::newRow("parameters") << "TFrmparametre"
                                    << "Frmparametre" << true;
        QTest::newRow("unit change") << "TFrmbirimdegistir"
                                     << "Frmbirimdegistir" << true;
        QTest::newRow("password") << "TFrmsifre"
                                  << "Frmsifre" << true;
        QTest::newRow("about") << "TFrmHakkinda"
                               << "FrmHakkinda" << false;
    }
    void everyWindowIsRegistered()
    {
        QFETCH(QString, className);
        QFETCH(QString, windowName);
        QFETCH(bool, hidesMainWindow);
        TestSession session;
        ui::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        QVERIFY(catalog.contains(className));
        QDialog* window = catalog.create(className, *session.context, &session.mainWindow);
        QVERIFY(window);
        QCOMPARE(window->objectName(), windowName);
        QCOMPARE(window->parent(), &session.mainWindow);
        QVERIFY(window->isModal());
        window->show();
        QCOMPARE(session.mainWindow.isVisible(), !hidesMainWindow);
        QVERIFY(qobject_cast<ui::ChildWindow*>(window)->closeButton());
        click(*window, "SpeedButton29");
        QVERIFY(!window->isVisible());
        QVERIFY(session.mainWindow.isVisible());
        QVERIFY(session.dialogs.shown.isEmpty());
        delete window;
    }
};

QTEST_MAIN(TstAdminCatalog)
#include "tst_admincatalog.moc"
