#include "core/turkishtext.h"

#include <QTest>

using namespace zelvo;

using namespace Qt::StringLiterals;

class TstTurkishText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void caseChanges_data()
    {
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::newRow("dotless pair") << u"ışık"_s << u"IŞIK"_s;
        QTest::newRow("dotted pair") << u"istanbul"_s << u"İSTANBUL"_s;
        QTest::newRow("both in one word") << u"ılıcaiçi"_s << u"ILICAİÇİ"_s;
        QTest::newRow("other letters") << u"çğöşü quiz"_s << u"ÇĞÖŞÜ QUİZ"_s;
        QTest::newRow("digits and signs") << u"12/b-ş"_s << u"12/B-Ş"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void caseChanges()
    {
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QCOMPARE(core::turkishUpper(lower), upper);
        QCOMPARE(core::turkishLower(upper), lower);
    }

    void foldingMatchesWhateverCaseWasTyped()
    {
        // a search typed in any case finds the same name
        const QString stored = u"IŞIL İNCE"_s;
        QCOMPARE(core::turkishLower(stored), core::turkishLower(u"ışıl ince"_s));
        QVERIFY(core::turkishLower(stored) != core::turkishLower(u"isil ince"_s));
    }

    void monthNames()
    {
        QStringList names;
        for (int m = 0; m <= 13; ++m)
            names << core::turkishMonthName(m);
        QCOMPARE(names, QStringList({QString(), u"Ocak"_s, u"Şubat"_s, u"Mart"_s, u"Nisan"_s,
                                     u"Mayıs"_s, u"Haziran"_s, u"Temmuz"_s, u"Ağustos"_s,
                                     u"Eylül"_s, u"Ekim"_s, u"Kasım"_s, u"Aralık"_s, QString()}));
        QCOMPARE(core::turkishLocale().language(), QLocale::Turkish);
    }
};

QTEST_GUILESS_MAIN(TstTurkishText)
#include "tst_turkishtext.moc"
