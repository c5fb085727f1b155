// The month's chain through the windows, as a user meets it on the demonstration data: a
// student's end date changed after March was computed is shown in every window's `AyDurumu`,
// listed by the check and asked about before a list or the XML file is made (No makes
// nothing); after the steps are run again nothing is asked and the file holds the new days.
// Also: a run reads the wage at the moment it runs, and a run waiting for another workstation
// says so and, refused, shows the month's stored rows again.

#include "controls/dbgrid.h"
#include "declaration/tfrmxml.h"
#include "lists/tfrmliste.h"
#include "monthly/tfrmpuantaj.h"
#include "monthly/tfrmtahakkuk.h"
#include "report/previewdialog.h"
#include "testsession.h"

#include "screenshot.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace zelvo;

namespace {

const QString Leaving = QStringLiteral("2022101008"); // 1 March to 30 April 2026

// The student's element of the XML file, found by the identity number.
QByteArray elementOf(const QByteArray& xml)
{
    const qsizetype at = xml.indexOf("TCKNO=\"88809320840\"");
    return at < 0 ? QByteArray() : xml.mid(at, xml.indexOf("/>", at) - at);
}

struct ChainFixture {
    TestSession session;
    QTemporaryDir dir;
    QStringList previews;

    ChainFixture()
    {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        session.loadDemo();
        session.dialogs.onModal = [this](QDialog& dialog) {
            if (auto* preview = qobject_cast<report::PreviewDialog*>(&dialog)) {
                QStringList texts;
                for (int p = 0; p < preview->report().pageCount(); ++p)
                    texts << preview->report().pageTexts(p);
                previews << texts.join(QLatin1Char('\n'));
            }
        };
    }
    template <typename Window, typename... Extra>
    std::unique_ptr<Window> open(int month, const Extra&... extra)
    {
        auto window = std::make_unique<Window>(*session.context, &session.mainWindow, extra...);
        window->show();
        QTest::mouseClick(
            window->template findChild<QRadioButton*>(QStringLiteral("Month%1").arg(month)),
            Qt::LeftButton);
        return window;
    }
    static void press(QWidget& window, const char* name)
    {
        QTest::mouseClick(window.findChild<QToolButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }
    static QString monthState(QWidget& window)
    {
        return window.findChild<QLabel*>(QStringLiteral("AyDurumu"))->text();
    }
    void computeMarch()
    {
        press(*open<monthly::TFrmPuantaj>(3), "SpeedButton5");
        press(*open<monthly::TFrmTahakkuk>(3), "SpeedButton5");
    }
    QStringList questions() const { return session.dialogs.texts(ScriptedDialogs::Kind::Question); }
    QByteArray writeXml(QWidget& window)
    {
        const QString path = dir.filePath(QStringLiteral("bildirge.xml"));
        QFile::remove(path);
        session.dialogs.saveAnswers << path;
        press(window, "SpeedButton2");
        session.dialogs.saveAnswers.clear();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

class TstDeclChain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void staleMonthIsShownCheckedAndAsked()
    {
        ChainFixture f;
        f.computeMarch();
        auto xml = f.open<declaration::TFrmxml>(3);
        f.press(*xml, "SpeedButton1");
        QVERIFY2(!f.monthState(*xml).contains(QStringLiteral("güncel değil")),
                 qPrintable(f.monthState(*xml)));
        const QByteArray before = f.writeXml(*xml);
        QCOMPARE(f.questions(), QStringList());
        const QByteArray leaving = elementOf(before);
        QVERIFY2(leaving.contains("PEK=\"33030.00\"") && leaving.contains("GUN=\"30\""),
                 leaving.constData());

        f.session.setup().execute(
            QStringLiteral("update ogrenci set bitistarihi='2026-03-20' where ogrencino=@no"),
            {{QStringLiteral("@no"), Leaving}});
        // (1) again: the declaration rows are made from an accrual of the old end date
        f.press(*xml, "SpeedButton1");
        QVERIFY2(f.monthState(*xml).contains(
                     QStringLiteral("güncel değil</b> (öğrenci kaydı değişti: 1 öğrenci)")),
                 qPrintable(f.monthState(*xml)));
        keepScreenshot(*xml, QStringLiteral("TFrmxml-stale-month"));
        f.press(*xml, "SpeedButton12");
        QCOMPARE(f.previews.size(), 1);
        QVERIFY2(f.previews.first().contains(QStringLiteral("Puantaj güncel değil")) &&
                     f.previews.first().contains(QStringLiteral("Tahakkuk güncel değil")),
                 qPrintable(f.previews.first()));

        f.session.dialogs.clear();
        f.session.dialogs.answers << false;
        QCOMPARE(f.writeXml(*xml), QByteArray());
        QVERIFY2(f.questions().last().startsWith(
                     QStringLiteral("Puantaj güncel değil: öğrenci kaydı değişti: 1 öğrenci.")),
                 qPrintable(f.questions().last()));
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Save).isEmpty());

        auto list = f.open<lists::TFrmListe>(3, lists::ListVariant::liste1());
        QVERIFY(f.monthState(*list).contains(QStringLiteral("güncel değil")));
        f.session.dialogs.answers << false;
        f.press(*list, "SpeedButton5");
        QVERIFY(f.questions().last().startsWith(QStringLiteral("Puantaj güncel değil")));
        QVERIFY(list->findChild<controls::DbGrid*>(QStringLiteral("wwDBGrid1"))->isHidden());
        QCOMPARE(f.previews.size(), 1);

        // the steps run again in order: nothing is asked, the file holds six days
        f.computeMarch();
        f.press(*xml, "SpeedButton1");
        f.session.dialogs.clear();
        const QByteArray after = f.writeXml(*xml);
        QCOMPARE(f.questions(), QStringList());
        const QByteArray left = elementOf(after);
        QVERIFY2(left.contains("PEK=\"6606.00\"") && left.contains("GUN=\"6\"") &&
                     left.contains("CIKISGUN=\"2003\""),
                 left.constData());
    }

    // The accrual window was open before the wage changed; its run prices with the new wage.
    void runReadsTheWageItRunsWith()
    {
        ChainFixture f;
        f.press(*f.open<monthly::TFrmPuantaj>(3), "SpeedButton5");
        auto accrual = f.open<monthly::TFrmTahakkuk>(3);
        f.session.setup().execute(QStringLiteral("update Parametre set au03=36000.00"));
        f.press(*accrual, "SpeedButton5");
        QCOMPARE(f.session
                     .scalar(QStringLiteral("select kazanc from Tahakkuk t join ogrenci o on "
                                            "o.idogrenci=t.idogrenci where o.ogrencino=@no"),
                             {{QStringLiteral("@no"), Leaving}})
                     .toDouble(),
                 36000.0);
        QVERIFY(!f.monthState(*accrual).contains(QStringLiteral("güncel değil")));
    }

    void waitingIsShownAndRefusalShowsStoredRows_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("name");
        QTest::newRow("timesheet") << "timesheet"
                                   << "Puantaj hesabı"
                                   << "puantaj";
        QTest::newRow("accrual") << "accrual"
                                 << "Tahakkuk hesabı"
                                 << "tahakkuk";
        QTest::newRow("declaration") << "declaration"
                                     << "Bildirge hazırlığı (1. adım)"
                                     << "bildirge";
    }
    void waitingIsShownAndRefusalShowsStoredRows()
    {
        QFETCH(QString, window);
        QFETCH(QString, step);
        QFETCH(QString, name);
        ChainFixture f;
        if (f.session.connection.backendName() != QLatin1String("postgresql"))
            QSKIP("one program writes an embedded file at a time: nothing to wait for");
        f.computeMarch();
        std::unique_ptr<QWidget> shown;
        if (window == QLatin1String("timesheet"))
            shown = f.open<monthly::TFrmPuantaj>(3);
        else if (window == QLatin1String("accrual"))
            shown = f.open<monthly::TFrmTahakkuk>(3);
        else
            shown = f.open<declaration::TFrmxml>(3);
        if (window == QLatin1String("declaration"))
            f.press(*shown, "SpeedButton1");

        db::Connection other;
        other.openPostgres(pgtest::testAddress(f.session.serverDatabase->name()));
        db::Transaction running(other);
        other.lockStep(step, QStringLiteral("birim 01, 2026/3"));
        f.session.connection.setStepWaitMs(300);

        QStringList seen; // what the window said whenever events were processed
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            const QCursor* cursor = QApplication::overrideCursor();
            if (cursor && cursor->shape() == Qt::WaitCursor)
                seen << f.monthState(*shown);
        });
        look.start(0);
        f.session.dialogs.clear();
        f.press(*shown, window == QLatin1String("declaration") ? "SpeedButton1" : "SpeedButton5");
        look.stop();
        QVERIFY2(seen.contains(QStringLiteral("Başka bir iş istasyonu bu ayın %1 hesabını "
                                              "yapıyor; bekleniyor…")
                                   .arg(name)),
                 qPrintable(seen.join(QLatin1Char('\n'))));
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 1);
        QVERIFY(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).first().startsWith(step));
        auto* grid = shown->findChild<controls::DbGrid*>(QStringLiteral("wwDBGrid1"));
        QVERIFY(!grid->isHidden());
        QVERIFY(grid->dataset()->recordCount() > 0);
    }
};

QTEST_MAIN(TstDeclChain)
#include "tst_declchain.moc"
