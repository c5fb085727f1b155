#include "db/dataset.h"
#include "monthly/periodselector.h"
#include "testsession.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace zelvo;

using namespace zelvo::monthly;

class TstPeriodSelector : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void selectorLoadsTheActiveYear()
    {
        TestSession session;
        PeriodSelector selector(QStringLiteral("2012"));
        QCOMPARE(selector.yearText(), QStringLiteral("2012"));
        QCOMPARE(selector.month(), 1);
        QVERIFY(selector.yearBox()->isReadOnly());
        QCOMPARE(selector.yearBox()->maxLength(), 4);
        db::Dataset parameters(session.connection);
        selector.loadYear(parameters);
        QCOMPARE(selector.yearText(), QStringLiteral("2026"));

        session.setup().execute(QStringLiteral("UPDATE Parametre SET aktifyil='2027'"));
        selector.loadYear(parameters); // read again at every activation
        QCOMPARE(selector.yearText(), QStringLiteral("2027"));

        session.setup().execute(QStringLiteral("DELETE FROM Parametre"));
        selector.loadYear(parameters);
        QCOMPARE(selector.yearText(), QString());
    }

    void monthClicks()
    {
        PeriodSelector selector(QStringLiteral("2008"));
        QList<int> clicked;
        connect(&selector, &PeriodSelector::monthClicked, this, [&](int m) { clicked << m; });
        auto* december = selector.findChild<QRadioButton*>(QStringLiteral("Month12"));
        QCOMPARE(december->text(), QStringLiteral("Aralık"));
        QTest::mouseClick(december, Qt::LeftButton);
        QCOMPARE(clicked, QList<int>{12});
        QCOMPARE(selector.period().endDmy(), QStringLiteral("14-01-2009"));
    }
};

QTEST_MAIN(TstPeriodSelector)
#include "tst_periodselector.moc"
