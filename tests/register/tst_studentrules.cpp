// The rules of a student row, each kind of fault once, with the text that names the field.

#include "register/studentrules.h"

#include <QTest>

using namespace zelvo::studentregister;
using namespace Qt::StringLiterals;

class TstStudentRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void identityNumbers_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("valid");
        // numbers of the demonstration data
        for (const char* n : {"25881399814", "79879730998", "21417075344", "74556815180"})
            QTest::newRow(n) << QString::fromLatin1(n) << true;
        QTest::newRow("tenth digit off") << u"25881399804"_s << false;
        QTest::newRow("eleventh digit off") << u"25881399813"_s << false;
        // (1+0+0+0+0)*7 - (9+9+9+9) = -29: the remainder that counts is 1, not -9
        QTest::newRow("negative difference") << u"19090909018"_s << true;
        QTest::newRow("first 0") << u"05881399814"_s << false;
        QTest::newRow("letter") << u"2588139981A"_s << false;
        QTest::newRow("Arabic digits") << u"٢٥٨٨١٣٩٩٨١٤"_s << false;
        QTest::newRow("12 digits") << u"258813998140"_s << false;
    }
    void identityNumbers()
    {
        QFETCH(QString, number);
        QFETCH(bool, valid);
        QCOMPARE(isValidIdentityNumber(number), valid);
    }

    void violations_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected"); // empty: no fault
        QTest::addColumn<bool>("identityOnly");
        QTest::newRow("fine") << u"adi"_s << QVariant(u"Çağrı"_s) << QString() << false;
        QTest::newRow("emoji") << u"adi"_s << QVariant(u"Ali😀ș"_s)
                               << u"Adı Türkçe Windows karakter kümesinde (1254) bulunmayan "
                                  u"karakter içeriyor: 😀 (U+1F600), ș (U+0219)."_s
                               << false;
        QTest::newRow("tab") << u"soyadi"_s << QVariant(u"Öz\ttürk"_s)
                             << u"Soyadı kontrol karakteri içeriyor (U+0009)."_s << false;
        QTest::newRow("too long") << u"ilksoyadi"_s << QVariant(QString(500, u'a'))
                                  << u"İlk / Eski soyadı en çok 50 karakter olabilir (500 "
                                     u"karakter yazıldı)."_s
                                  << false;
        QTest::newRow("check digits") << u"tckimlikno"_s << QVariant(u"12345678901"_s)
                                      << u"T.C. Kimlik No doğrulama haneleri tutmuyor "
                                         u"(12345678901)"_s
                                      << true;
        QTest::newRow("identity too long") << u"tckimlikno"_s << QVariant(u"123456789012"_s)
                                           << u"T.C. Kimlik No en çok 11 karakter olabilir (12 "
                                              u"karakter yazıldı)."_s
                                           << false;
        QTest::newRow("unknown status")
            << u"statu"_s << QVariant(u"9"_s)
            << u"Statü (9) durum tablosunda yok; 1, 2, 3 olabilir."_s << false;
        QTest::newRow("end before start")
            << u"bitistarihi"_s << QVariant(QDate(2026, 2, 1))
            << u"Bitiş tarihi (01.02.2026) başlangıçtan (03.02.2026) önce olamaz."_s << false;
        QTest::newRow("end as stored text")
            << u"bitistarihi"_s << QVariant(u"2026-02-03"_s) << QString() << false;
    }
    void violations()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QFETCH(bool, identityOnly);
        StudentValues row = {{u"adi"_s, u"Ayşe"_s},
                             {u"tckimlikno"_s, u"25881399814"_s},
                             {u"statu"_s, u"1"_s},
                             {u"baslangictarihi"_s, QDate(2026, 2, 3)},
                             {u"bitistarihi"_s, QDate(2026, 3, 3)}};
        row.insert(column, value);
        const QList<RuleViolation> found = checkStudent(row, {u"1"_s, u"2"_s, u"3"_s}, true);
        if (expected.isEmpty()) {
            QCOMPARE(found, QList<RuleViolation>());
            return;
        }
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().text, expected);
        QCOMPARE(found.first().column, column);
        QCOMPARE(found.first().identityOnly, identityOnly);
    }

    // The register may hold a student whose identity number is not known yet; a file may not.
    void emptyIdentity()
    {
        const StudentValues row = {{u"tckimlikno"_s, QString()}};
        QVERIFY(checkStudent(row, {}, false).isEmpty());
        QCOMPARE(checkStudent(row, {}, true).value(0).text, u"T.C. Kimlik No boş"_s);
    }
};

QTEST_GUILESS_MAIN(TstStudentRules)
#include "tst_studentrules.moc"
