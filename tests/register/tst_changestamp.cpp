#include "register/changestamp.h"

#include <QTest>

using namespace zelvo;

using studentregister::ChangeKind;
using studentregister::changeStamp;

class TstChangeStamp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stamp_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<ChangeKind>("kind");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("expected");

        const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
        const QLocale german(QLocale::German, QLocale::Germany);
        const QString trDate = turkish.toString(QDate(2026, 3, 7), QLocale::ShortFormat);
        const QString deDate = german.toString(QDate(2026, 3, 7), QLocale::ShortFormat);

        QTest::newRow("new row, short names")
            << turkish << ChangeKind::FirstEntry << "ab"
            << "C D" << QString(trDate + " 09:05:03 İLK EKLEMEab C D");
        QTest::newRow("changed row, short names")
            << turkish << ChangeKind::Change << "ab"
            << "C D" << QString(trDate + " 09:05:03 DEĞİŞİKLİKab C D");
        QTest::newRow("another locale's forms")
            << german << ChangeKind::Change << "x"
            << "Y" << QString(deDate + " 09:05:03 DEĞİŞİKLİKx Y");
        QTest::newRow("empty login row") << turkish << ChangeKind::FirstEntry << ""
                                         << "" << QString(trDate + " 09:05:03 İLK EKLEME ");
    }
    void stamp()
    {
        QFETCH(QLocale, locale);
        QFETCH(ChangeKind, kind);
        QFETCH(QString, user);
        QFETCH(QString, fullName);
        QFETCH(QString, expected);
        QCOMPARE(changeStamp(QDate(2026, 3, 7), QTime(9, 5, 3), kind, user, fullName, locale),
                 expected);
    }

    // The long time as the locale writes it, but never with a zone name: the clock it reads
    // has none.
    void longTimeCarriesNoZone_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("time");
        QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey) << "14:30:05";
        QTest::newRow("C") << QLocale::c() << "14:30:05";
        QTest::newRow("English, zone last")
            << QLocale(QLocale::English, QLocale::UnitedStates) << "2:30:05 PM";
        QTest::newRow("Chinese, zone first")
            << QLocale(QLocale::Chinese, QLocale::China) << "14:30:05";
        QTest::newRow("Bulgarian, quoted text kept")
            << QLocale(QLocale::Bulgarian, QLocale::Bulgaria) << "14:30:05 ч.";
    }
    void longTimeCarriesNoZone()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, time);
        const QString stamp =
            changeStamp(QDate(2026, 3, 7), QTime(14, 30, 5), ChangeKind::Change, "u", "N", locale);
        QVERIFY2(!stamp.contains(QLatin1String("UTC")), qPrintable(stamp));
        const QString expected = locale.toString(QDate(2026, 3, 7), QLocale::ShortFormat) + ' ' +
                                 time + " DEĞİŞİKLİKu N";
        QCOMPARE(stamp, expected);
    }

    void longStampIsCutToTheColumn()
    {
        const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
        const QString name = QStringLiteral("Muhammed Mustafa Abdurrahman Karaosmanoğlu");
        const QString stamp = changeStamp(QDate(2026, 11, 30), QTime(14, 30, 0), ChangeKind::Change,
                                          "kullanici1", name, turkish);
        QCOMPARE(stamp.size(), 50);
        const QString whole = turkish.toString(QDate(2026, 11, 30), QLocale::ShortFormat) +
                              " 14:30:00 DEĞİŞİKLİKkullanici1 " + name;
        QVERIFY(whole.size() > 50);
        QCOMPARE(stamp, whole.left(50));
    }
};

QTEST_APPLESS_MAIN(TstChangeStamp)
#include "tst_changestamp.moc"
