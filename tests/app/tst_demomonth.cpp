#include "app/demodatabase.h"
#include "declaration/tfrmxmlgss.h"
#include "monthly/tfrmpuantajgss.h"
#include "monthly/tfrmtahakkukgss.h"
#include "testsession.h"

#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace zelvo;

using namespace zelvo::monthly;

using declaration::TFrmxml;
using declaration::TFrmxmlgss;

// The demonstration database carries a whole month: January's timesheet, accrual and declaration
// file are made from it in both editions through the windows, as a user trying it would.
class TstDemoMonth : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void januaryThroughTheDeclaration_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::addColumn<int>("insured");
        // Yılmaz, Çağlayan, Şahin and Öztürk are in January's period (Ilgaz is passive) ...
        QTest::newRow("standard") << false << 4;
        // ... and Arslan and Kaya of the general health insurance (Işık is passive).
        QTest::newRow("GSS") << true << 2;
    }
    void januaryThroughTheDeclaration()
    {
        QFETCH(bool, gss);
        QFETCH(int, insured);
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        QTemporaryDir dir;
        TestSession session;
        app::openDemoDatabase(session.connection, dir.filePath(QStringLiteral("zelvo-demo.db")));
        session.relogin(QStringLiteral("personel"), QStringLiteral("zelvo2026"));

        run<TFrmPuantaj, TFrmPuantajgss>(session, gss, "SpeedButton5");
        run<TFrmTahakkuk, TFrmTahakkukGss>(session, gss, "SpeedButton5");
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error), QStringList());
        QCOMPARE(session
                     .scalar(QStringLiteral("select count(*) from Tahakkuk t join ogrenci o "
                                            "on o.idogrenci=t.idogrenci where t.yil='2026' "
                                            "and t.ay=1 and o.gss=@gss"),
                             {{QStringLiteral("@gss"), gss ? 1 : 0}})
                     .toInt(),
                 insured);

        const QString xml = dir.filePath(QStringLiteral("bildirge.xml"));
        session.dialogs.saveAnswers << xml;
        run<TFrmxml, TFrmxmlgss>(session, gss, "SpeedButton1", "SpeedButton2");
        QCOMPARE(session.dialogs.texts(ScriptedDialogs::Kind::Error), QStringList());
        QFile file(xml);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("<SIGORTALI "), insured);
        QVERIFY(bytes.contains("DONEMAY=\"01\" DONEMYIL=\"2026\""));
    }

private:
    // Opens the edition's window, picks January and presses the buttons in turn.
    template <typename Standard, typename Gss>
    static void run(TestSession& session, bool gss, const char* button, const char* then = nullptr)
    {
        std::unique_ptr<Standard> window(gss ? new Gss(*session.context, &session.mainWindow)
                                             : new Standard(*session.context, &session.mainWindow));
        window->show();
        QTest::mouseClick(window->template findChild<QRadioButton*>(QStringLiteral("Month1")),
                          Qt::LeftButton);
        for (const char* name : {button, then}) {
            if (!name)
                continue;
            auto* pressed = window->template findChild<QToolButton*>(QString::fromLatin1(name));
            QVERIFY2(pressed && pressed->isVisible(), name);
            QTest::mouseClick(pressed, Qt::LeftButton);
        }
        window->close();
    }
};

QTEST_MAIN(TstDemoMonth)
#include "tst_demomonth.moc"
