#include "admin/tfrmisyeri.h"
#include "adminwindowtest.h"
#include "controls/boundcontrols.h"
#include "ui/look.h"

#include <QLabel>

using namespace zelvo;

using namespace adminwindowtest;

namespace {

QString workplaceColumn(TestSession& session, const QString& column, const QString& unit = "01")
{
    return session
        .scalar(QStringLiteral("SELECT %1 FROM isyeri WHERE birimkodu=@u").arg(column),
                {{QStringLiteral("@u"), unit}})
        .toString();
}

} // namespace

class TstFrmisyeri : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::look::installFontSubstitutions(); }

    void boxesShowTheUnitsWorkplace_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("maxLength");
        QTest::newRow("name") << "DBEdit1"
                              << "İşyeri Adı :"
                              << "birimadi" << 593 << 70;
        QTest::newRow("address") << "DBEdit2"
                                 << "Adres :"
                                 << "isyeriadres" << 592 << 70;
        QTest::newRow("control") << "DBEdit3"
                                 << "Kontrol No :"
                                 << "kontrolno" << 250 << 2;
        QTest::newRow("subcontractor") << "DBEdit4"
                                       << "Aracı No :"
                                       << "isyeriaracino" << 250 << 3;
        QTest::newRow("tax") << "DBEdit5"
                             << "Vergi No :"
                             << "isyerivergino" << 250 << 20;
        QTest::newRow("registration") << "DBEdit6"
                                      << "İşyeri Sicil No :"
                                      << "isyerisicil" << 250 << 50;
    }
    void boxesShowTheUnitsWorkplace()
    {
        QFETCH(QString, box);
        QFETCH(QString, label);
        QFETCH(QString, column);
        QFETCH(int, width);
        QFETCH(int, maxLength);
        TestSession session;
        admin::TFrmisyeri window(*session.context);
        window.show();
        QVERIFY(!session.mainWindow.isVisible());

        auto* edit = control<controls::DbEdit>(window, qPrintable(box));
        QCOMPARE(edit->text(), workplaceColumn(session, column));
        QVERIFY(!edit->text().isEmpty());
        QCOMPARE(edit->width(), width);
        QCOMPARE(edit->maxLength(), maxLength);
        QCOMPARE(edit->toolTip(), QStringLiteral("Aynı Kurum Numarası sadece 1 kişiye "
                                                 "verilebilir.\nKurum No boş geçilemez."));
        QLabel* caption = nullptr;
        for (QLabel* l : window.findChildren<QLabel*>())
            if (l->buddy() == edit)
                caption = l;
        QVERIFY(caption);
        QCOMPARE(caption->text(), label);
        QVERIFY(caption->font().bold());
        QCOMPARE(caption->font().pixelSize(), 13);
        QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }

    void layoutAndHeading()
    {
        TestSession session;
        admin::TFrmisyeri window(*session.context);
        window.show();
        QCOMPARE(window.objectName(), QStringLiteral("Frmisyeri"));
        QCOMPARE(window.size(), QSize(770, 353));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        auto* heading = control<QLabel>(window, "Heading");
        QCOMPARE(heading->text(), QStringLiteral("İşyeri Bilgileri Girişi"));
        QCOMPARE(heading->font().pixelSize(), 21);
        const QImage shot = screenshot(window, QStringLiteral("TFrmisyeri"));
        QCOMPARE(shot.size(), window.size());
    }

    void changeIsStoredOnlyByClosing()
    {
        TestSession session;
        const QString before = workplaceColumn(session, QStringLiteral("isyeriadres"));
        auto* window = new admin::TFrmisyeri(*session.context);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        auto* address = control<controls::DbEdit>(*window, "DBEdit2");
        address->selectAll();
        typeText(address, QStringLiteral("Atatürk Bulvarı No:5 Çankaya"));
        auto* name = control<controls::DbEdit>(*window, "DBEdit1");
        name->end(false);
        typeText(name, QStringLiteral(" Ek"));

        QCOMPARE(workplaceColumn(session, QStringLiteral("isyeriadres")), before);
        QCOMPARE(control<db::Dataset>(*window, "SpGetir")->state(), db::Dataset::State::Edit);

        QPointer<QWidget> alive(window);
        click(*window, "SpeedButton29");
        QCOMPARE(workplaceColumn(session, QStringLiteral("isyeriadres")),
                 QStringLiteral("Atatürk Bulvarı No:5 Çankaya"));
        QVERIFY(workplaceColumn(session, QStringLiteral("birimadi")).endsWith(" Ek"));
        QVERIFY(session.mainWindow.isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());
    }

    void closingWithoutChangeWritesNothing()
    {
        TestSession session;
        countWrites(session, QStringLiteral("isyeri"));
        admin::TFrmisyeri window(*session.context);
        window.show();
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QCOMPARE(session.scalar(QStringLiteral("SELECT count(*) FROM writes")).toInt(), 0);
    }

    void unitWithoutWorkplaceShowsEmptyBoxes()
    {
        TestSession session;
        addUnit(session, QStringLiteral("02"), QStringLiteral("Fen Fakültesi Dekanlığı"));
        session.login->setValue(QStringLiteral("birimkodu"), QStringLiteral("02"));
        session.login->post();
        admin::TFrmisyeri window(*session.context);
        window.show();
        for (int i = 1; i <= 6; ++i) {
            auto* box =
                control<controls::DbEdit>(window, qPrintable(QStringLiteral("DBEdit%1").arg(i)));
            QVERIFY(box->text().isEmpty());
            QVERIFY(!box->isEnabled()); // nothing typed here could be stored
        }
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QCOMPARE(session.scalar(QStringLiteral("SELECT count(*) FROM isyeri")).toInt(), 1);
    }

    void refusedChangeKeepsTheWindowOpen()
    {
        TestSession session;
        admin::TFrmisyeri window(*session.context);
        window.show();
        auto* tax = control<controls::DbEdit>(window, "DBEdit5");
        tax->selectAll();
        typeText(tax, QStringLiteral("9876543210"));
        refuseUpdates(session, QStringLiteral("isyeri"), QStringLiteral("isyeri kilitli"));

        click(window, "SpeedButton29");
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error),
                 QStringList{QStringLiteral("isyeri kilitli.")});
        QVERIFY(window.isVisible());
        QVERIFY(!session.mainWindow.isVisible());
        auto* spGetir = control<db::Dataset>(window, "SpGetir");
        QCOMPARE(spGetir->state(), db::Dataset::State::Edit);
        QCOMPARE(tax->text(), QStringLiteral("9876543210"));
        QCOMPARE(workplaceColumn(session, QStringLiteral("isyerivergino")),
                 QStringLiteral("1234567890"));

        acceptUpdates(session, QStringLiteral("isyeri"));
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QCOMPARE(workplaceColumn(session, QStringLiteral("isyerivergino")),
                 QStringLiteral("9876543210"));
    }
};

QTEST_MAIN(TstFrmisyeri)
#include "tst_frmisyeri.moc"
