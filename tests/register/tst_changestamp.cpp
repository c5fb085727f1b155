#include "changestamp.h"

#include <QTest>

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
        const QString trTime = turkish.toString(QTime(9, 5, 3), QLocale::LongFormat);
        const QString deDate = german.toString(QDate(2026, 3, 7), QLocale::ShortFormat);
        const QString deTime = german.toString(QTime(9, 5, 3), QLocale::LongFormat);

        QTest::newRow("new row, short names")
            << turkish << ChangeKind::FirstEntry << "ab"
            << "C D" << QString(trDate + ' ' + trTime + " İLK EKLEMEab C D").left(50);
        QTest::newRow("changed row, short names")
            << turkish << ChangeKind::Change << "ab"
            << "C D" << QString(trDate + ' ' + trTime + " DEĞİŞİKLİKab C D").left(50);
        QTest::newRow("another locale's forms")
            << german << ChangeKind::Change << "x"
            << "Y" << QString(deDate + ' ' + deTime + " DEĞİŞİKLİKx Y").left(50);
        QTest::newRow("empty login row") << turkish << ChangeKind::FirstEntry << ""
                                         << "" << QString(trDate + ' ' + trTime + " İLK EKLEME ");
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

    void longStampIsCutToTheColumn()
    {
        const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
        const QString name = QStringLiteral("Muhammed Mustafa Abdurrahman Karaosmanoğlu");
        const QString stamp = changeStamp(QDate(2026, 11, 30), QTime(14, 30, 0), ChangeKind::Change,
                                          "kullanici1", name, turkish);
        QCOMPARE(stamp.size(), 50);
        const QString whole = turkish.toString(QDate(2026, 11, 30), QLocale::ShortFormat) + ' ' +
                              turkish.toString(QTime(14, 30, 0), QLocale::LongFormat) +
                              " DEĞİŞİKLİKkullanici1 " + name;
        QVERIFY(whole.size() > 50);
        QCOMPARE(stamp, whole.left(50));
    }
};

QTEST_APPLESS_MAIN(TstChangeStamp)
#include "tst_changestamp.moc"
