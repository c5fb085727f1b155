#include "admin/tfrmhakkinda.h"
#include "adminwindowtest.h"
#include "ui/look.h"

#include <QLabel>
#include <QToolButton>

using namespace zelvo;

using namespace adminwindowtest;

namespace {

QStringList labelTexts(const QWidget& window)
{
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts;
}

const QLabel* labelStartingWith(const QWidget& window, const QString& start)
{
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->text().startsWith(start))
            return label;
    return nullptr;
}

} // namespace

class TstFrmHakkinda : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { ui::look::installFontSubstitutions(); }

    void framedResizableAndLeavesTheMainWindow()
    {
        TestSession session;
        admin::TFrmHakkinda window(*session.context);
        window.show();
        QVERIFY(session.mainWindow.isVisible());
        QCOMPARE(window.objectName(), QStringLiteral("FrmHakkinda"));
        QCOMPARE(window.size(), QSize(1108, 770));
        QVERIFY(!(window.windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window.windowTitle().isEmpty());
        QVERIFY(window.minimumSize() != window.maximumSize());
        QCOMPARE(window.palette().color(QPalette::Window), QColor(232, 233, 254));
        auto* picture = control<QLabel>(window, "Image1");
        QVERIFY(!picture->pixmap().isNull());
        QVERIFY(picture->hasScaledContents());

        window.resize(900, 600);
        QCOMPARE(window.size(), QSize(900, 600));
        window.resize(1108, 770);
        const QImage shot = screenshot(window, QStringLiteral("TFrmHakkinda"));
        QCOMPARE(shot.size(), window.size());
    }

    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::newRow("purpose 1") << "Bu program öğrencilerin zorunlu stajları nedeniyle "
                                      "kurumumuzca ödenen sosyal güvenlik kesintilerinin takibi"
                                   << 11 << true;
        QTest::newRow("purpose 2")
            << "ve kesintilerin Sosyal Güvenlik Kurumuna iletilmesi amacıyla; Personel Daire "
               "Başkanlığı koordinatörlüğünde"
            << 11 << true;
        QTest::newRow("purpose 3")
            << "Bilgi İşlem Daire Başkanlığı tarafından hazırlanmıştır.... (Mart-2010)" << 11
            << true;
        QTest::newRow("author heading") << "Analiz-Tasarım ve Yazılım: " << 11 << true;
        QTest::newRow("contributors heading")
            << "Programın Analiz aşamasına katkıda bulunanlar:" << 11 << true;
        QTest::newRow("closing note")
            << "Program hakkında her türlü yardım ve desteği bu sayfada isimleri belirtilen "
               "kişilere ulaşarak alabilirsiniz."
            << 11 << true;
    }
    void texts()
    {
        QFETCH(QString, text);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        TestSession session;
        admin::TFrmHakkinda window(*session.context);
        window.show();
        const QStringList shown = labelTexts(window);
        QVERIFY2(shown.contains(text), qPrintable(shown.join(QLatin1Char('\n'))));
        const QLabel* label = labelStartingWith(window, text);
        QCOMPARE(label->font().pixelSize(), pixelSize);
        QCOMPARE(label->font().bold(), bold);
        QVERIFY(label->isVisible());
    }

    void creditsNameDepartmentsWithExtensions()
    {
        TestSession session;
        admin::TFrmHakkinda window(*session.context);
        window.show();
        QStringList credits;
        for (const QLabel* label : window.findChildren<QLabel*>())
            if (label->font().pixelSize() == 13)
                credits << label->text();
        QCOMPARE(credits.size(), 3);
        for (const QString& credit : credits) {
            QVERIFY2(credit.contains(QStringLiteral("Başkanlığı")), qPrintable(credit));
            QVERIFY2(credit.contains(QRegularExpression(QStringLiteral("Dahili: \\d{4}"))),
                     qPrintable(credit));
        }
        // the closing note in navy
        const QLabel* note = labelStartingWith(window, QStringLiteral("Program hakkında"));
        QCOMPARE(note->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    }

    void kapatCloses()
    {
        TestSession session;
        admin::TFrmHakkinda window(*session.context);
        window.show();
        auto* close = control<QToolButton>(window, "SpeedButton29");
        QCOMPARE(close->text(), QStringLiteral("Kapat"));
        QCOMPARE(close->size(), QSize(100, 57));
        QCOMPARE(close->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(close->mapTo(&window, QPoint()).x() > window.width() / 2);
        click(window, "SpeedButton29");
        QVERIFY(!window.isVisible());
        QVERIFY(session.mainWindow.isVisible());
        QVERIFY(session.dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(TstFrmHakkinda)
#include "tst_frmhakkinda.moc"
