// Step (1) of the declaration window: the rows it stores for a month, entry and exit days,
// premium base texts, editions and units, and what happens when a run cannot finish.

#include "declwindowfixture.h"

#include <QLabel>

using namespace zelvo;

namespace {

struct Expected {
    QString entry;
    QString exit;
    QString reason;
};

} // namespace

Q_DECLARE_METATYPE(Expected)

class TstDeclPreparation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entryAndExitDays_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<Expected>("expected");

        const QDate before(2012, 1, 2);
        const QDate after(2012, 9, 30);
        QTest::newRow("starts on the 15th")
            << 3 << QDate(2012, 3, 15) << after << Expected{"1503", "", ""};
        QTest::newRow("starts on the 14th")
            << 3 << QDate(2012, 3, 14) << after << Expected{"", "", ""};
        QTest::newRow("ends on the 14th of the next month")
            << 3 << before << QDate(2012, 4, 14) << Expected{"", "1404", "04"};
        QTest::newRow("ends on the 15th of the next month")
            << 3 << before << QDate(2012, 4, 15) << Expected{"", "", ""};
        QTest::newRow("starts and ends inside")
            << 3 << QDate(2012, 3, 20) << QDate(2012, 4, 3) << Expected{"2003", "0304", "04"};
        QTest::newRow("no end date")
            << 3 << QDate(2012, 3, 20) << QDate() << Expected{"2003", "", ""};
        QTest::newRow("no dates at all") << 3 << QDate() << QDate() << Expected{"", "", ""};
        QTest::newRow("December, entry on 10 January")
            << 12 << QDate(2013, 1, 10) << QDate(2013, 5, 1) << Expected{"1001", "", ""};
        QTest::newRow("December, exit on 14 January")
            << 12 << before << QDate(2013, 1, 14) << Expected{"", "1401", "04"};
        QTest::newRow("December, exit on 15 January")
            << 12 << before << QDate(2013, 1, 15) << Expected{"", "", ""};
        QTest::newRow("December, entry on 14 December")
            << 12 << QDate(2012, 12, 14) << QDate(2013, 5, 1) << Expected{"", "", ""};
        QTest::newRow("February, exit on 14 March of a leap year")
            << 2 << before << QDate(2012, 3, 14) << Expected{"", "1403", "04"};
    }
    void entryAndExitDays()
    {
        QFETCH(int, month);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(Expected, expected);
        DeclFixture f;
        StudentData s{QStringLiteral("S1")};
        s.start = start;
        s.end = end;
        const int id = f.addStudent(s);
        f.addAccrual(id, month);
        f.open();
        f.prepare(month);
        QCOMPARE(f.errors(), QStringList());
        QCOMPARE(f.stored(id, month, "girisgun").toString(), expected.entry);
        QCOMPARE(f.stored(id, month, "cikisgun").toString(), expected.exit);
        QCOMPARE(f.stored(id, month, "istencikisnedeni").toString(), expected.reason);
        QCOMPARE(f.stored(id, month, "baslangictarihi").toString(),
                 start.isValid() ? start.toString(Qt::ISODate) : QString());
        QCOMPARE(f.stored(id, month, "bitistarihi").toString(),
                 end.isValid() ? end.toString(Qt::ISODate) : QString());
        QVERIFY(f.offered());
    }

    void premiumBase_data()
    {
        QTest::addColumn<QVariant>("earnings");
        QTest::addColumn<QString>("pek");
        QTest::addColumn<QString>("sil1");
        QTest::newRow("1500") << QVariant(QStringLiteral("1500.00")) << "1500"
                              << "1500.00";
        QTest::newRow("1500,5") << QVariant(QStringLiteral("1500.50")) << "1500,5"
                                << "1500.50";
        QTest::newRow("1500,25") << QVariant(QStringLiteral("1500.25")) << "1500,25"
                                 << "1500.25";
        QTest::newRow("0") << QVariant(0) << "0"
                           << "0.00";
        QTest::newRow("0,07") << QVariant(QStringLiteral("0.07")) << "0,07"
                              << "0.07";
        QTest::newRow("a large amount") << QVariant(QStringLiteral("1234567.89")) << "1234567,89"
                                        << "1234567.89";
    }
    void premiumBase()
    {
        QFETCH(QVariant, earnings);
        QFETCH(QString, pek);
        QFETCH(QString, sil1);
        DeclFixture f;
        const int id = f.addStudent({QStringLiteral("S1")});
        f.addAccrual(id, 5, earnings);
        f.open();
        f.prepare(5);
        QCOMPARE(f.stored(id, 5, "pek").toString(), pek);
        QCOMPARE(f.stored(id, 5, "sil1").toString(), sil1);
    }

    void rowCarriesStudentAndAccrual()
    {
        DeclFixture f;
        StudentData s{QStringLiteral("2012001")};
        s.name = QStringLiteral("Işıl");
        s.surname = QStringLiteral("Çağlayan");
        s.formerSurname = QStringLiteral("Öztürk");
        const int id = f.addStudent(s);
        f.addAccrual(id, 4, QStringLiteral("886.50"), 26);
        f.open();
        f.prepare(4);
        const db::ResultRows rows = f.session.setup().query(
            QStringLiteral("select yil, ay, birimkodu, idogrenci, ogrencino, adi, soyadi, "
                           "ilksoyadi, ssksicilno, tckimlikno, gun, isveren, isci from Xml"));
        QCOMPARE(rows.rows.size(), 1);
        const QVector<QVariant>& row = rows.rows.first();
        const QVariantList expected = {"2012",
                                       4,
                                       "01",
                                       id,
                                       "2012001",
                                       "Işıl",
                                       "Çağlayan",
                                       "Öztürk",
                                       QStringLiteral("9%1").arg(id, 9, 10, QLatin1Char('0')),
                                       QStringLiteral("1%1").arg(id, 10, 10, QLatin1Char('0')),
                                       26,
                                       20.5,
                                       1.25};
        for (int c = 0; c < expected.size(); ++c)
            QCOMPARE(row.at(c).toString(), expected.at(c).toString());
    }

    void rowsFollowStudentNumbers()
    {
        DeclFixture f;
        for (const char* number : {"300", "100", "200"})
            f.addAccrual(f.addStudent({QString::fromLatin1(number)}), 6);
        f.open();
        f.prepare(6);
        const QStringList rows = f.storedRows(6);
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows.at(0).startsWith("100:"));
        QVERIFY(rows.at(1).startsWith("200:"));
        QVERIFY(rows.at(2).startsWith("300:"));
        // the grid shows the stored rows, the first one current
        QCOMPARE(f.grid()->model()->rowCount(), 3);
        QCOMPARE(f.grid()->model()->index(0, 2).data().toString(), QStringLiteral("100"));
        QCOMPARE(f.grid()->dataset()->currentIndex(), 0);
    }

    void twoRunsLeaveOneSet()
    {
        DeclFixture f;
        const int a = f.addStudent({QStringLiteral("A")});
        const int b = f.addStudent({QStringLiteral("B")});
        f.addAccrual(a, 7);
        f.addAccrual(b, 7);
        f.open();
        f.prepare(7);
        f.press("SpeedButton1");
        QCOMPARE(f.count("select count(*) from Xml"), 2);
        QCOMPARE(f.count("select count(distinct idogrenci) from Xml where ay=7"), 2);
        QCOMPARE(f.errors(), QStringList());
    }

    void monthWithoutAccrual()
    {
        DeclFixture f;
        const int standard = f.addStudent({QStringLiteral("A")});
        StudentData g{QStringLiteral("G")};
        g.gss = true;
        const int gss = f.addStudent(g);
        f.addAccrual(standard, 8);
        f.addAccrual(gss, 8);
        f.open();
        f.prepare(8);
        f.open(true);
        f.prepare(8);
        QCOMPARE(f.count("select count(*) from Xml where ay=8"), 2);
        // the standard accrual of the month is gone: step (1) removes the old rows and says so
        f.session.setup().execute(QStringLiteral("delete from Tahakkuk where idogrenci=@id"),
                                  {{"@id", standard}});
        f.open();
        f.prepare(8);
        QCOMPARE(f.count("select count(*) from Xml where idogrenci=@id", {{"@id", standard}}), 0);
        QCOMPARE(f.count("select count(*) from Xml where idogrenci=@id", {{"@id", gss}}), 1);
        QCOMPARE(f.messages(), QStringList{noRowsText});
        QVERIFY(f.nothingOffered());
    }

    void editions_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::newRow("standard") << false;
        QTest::newRow("GSS") << true;
    }
    void editions()
    {
        QFETCH(bool, gss);
        DeclFixture f;
        StudentData own{QStringLiteral("OWN")};
        own.gss = gss;
        StudentData other{QStringLiteral("OTHER")};
        other.gss = !gss;
        const int ownId = f.addStudent(own);
        const int otherId = f.addStudent(other);
        f.addAccrual(ownId, 9);
        f.addAccrual(otherId, 9);
        // the other edition's row of the month, prepared earlier, with a premium base of its own
        f.open(!gss);
        f.prepare(9);
        f.session.setup().execute(QStringLiteral("update Xml set pek='X' where idogrenci=@id"),
                                  {{"@id", otherId}});
        f.open(gss);
        f.prepare(9);
        f.press("SpeedButton1");
        QCOMPARE(f.count("select count(*) from Xml where idogrenci=@id", {{"@id", ownId}}), 1);
        QCOMPARE(f.stored(otherId, 9, "pek").toString(), QStringLiteral("X"));
        QCOMPARE(f.grid()->model()->rowCount(), 1);
        QCOMPARE(f.grid()->model()->index(0, 2).data().toString(), own.number);
    }

    void unitComparedAsText()
    {
        // Unit "01" is the login row's; "1" and "10" are other units whose codes would equal
        // it or each other as numbers.
        DeclFixture f;
        const int ours = f.addStudent({QStringLiteral("A")});
        StudentData one{QStringLiteral("B")};
        one.unit = QStringLiteral("1");
        const int unitOne = f.addStudent(one);
        StudentData ten{QStringLiteral("C")};
        ten.unit = QStringLiteral("10");
        const int unitTen = f.addStudent(ten);
        f.addAccrual(ours, 10);
        f.addAccrual(unitOne, 10, QStringLiteral("1000.00"), 30, QStringLiteral("1"));
        f.addAccrual(unitTen, 10, QStringLiteral("1000.00"), 30, QStringLiteral("10"));
        f.session.setup().execute(
            QStringLiteral("insert into Xml (idogrenci, yil, ay, birimkodu, pek) values "
                           "(@b, '2012', 10, '1', 'eski'), (@c, '2012', 10, '10', 'eski')"),
            {{"@b", unitOne}, {"@c", unitTen}});
        f.open();
        f.prepare(10);
        QCOMPARE(f.stored(ours, 10, "birimkodu").toString(), QStringLiteral("01"));
        QCOMPARE(f.stored(unitOne, 10, "pek").toString(), QStringLiteral("eski"));
        QCOMPARE(f.stored(unitTen, 10, "pek").toString(), QStringLiteral("eski"));
        QCOMPARE(f.count("select count(*) from Xml"), 3);
        QCOMPARE(f.grid()->model()->rowCount(), 1);
    }

    void unitOfTheLoginRowAtTheMomentOfUse()
    {
        DeclFixture f;
        f.session.setup().execute(QStringLiteral(
            "insert into kullanici (kullanici, sifre, adsoy, birimkodu, yetkitipi) values "
            "('u12', 'p', 'Birim 12', '12', 0)"));
        f.session.setup().execute(
            QStringLiteral("insert into isyeri (birimkodu, birimadi) values ('12', 'Birim 12')"));
        StudentData s{QStringLiteral("A")};
        s.unit = QStringLiteral("12");
        const int id = f.addStudent(s);
        f.addAccrual(id, 11, QStringLiteral("1000.00"), 30, QStringLiteral("12"));
        f.open();
        f.session.relogin(QStringLiteral("u12"), QStringLiteral("p"));
        f.prepare(11);
        QCOMPARE(f.stored(id, 11, "birimkodu").toString(), QStringLiteral("12"));
    }

    void yearThatIsNoWholeNumber_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("month");
        QTest::newRow("letters in March") << "20x2" << 3;
        QTest::newRow("letters in December") << "20x2" << 12;
        QTest::newRow("empty in June") << "" << 6;
        QTest::newRow("blank in December") << " 201" << 12;
    }
    void yearThatIsNoWholeNumber()
    {
        QFETCH(QString, year);
        QFETCH(int, month);
        DeclFixture f;
        const int id = f.addStudent({QStringLiteral("A")});
        f.addAccrual(id, month);
        f.open();
        f.prepare(month);
        const QStringList before = f.storedRows(month);
        QCOMPARE(before.size(), 1);

        f.session.setup().execute(QStringLiteral("update Parametre set aktifyil=@y"),
                                  {{"@y", year}});
        f.open();
        QCOMPARE(f.find<QLineEdit>("Edit1")->text(), year);
        f.prepare(month);
        QCOMPARE(f.errors(),
                 QStringList{QStringLiteral("'%1' geçerli bir tam sayı değil.").arg(year)});
        QCOMPARE(f.storedRows(month), before);
        QVERIFY(f.nothingOffered());
    }

    void errorInTheMiddleRollsBack()
    {
        DeclFixture f;
        QList<int> ids;
        for (const char* number : {"S1", "S2", "S3", "S4"}) {
            ids << f.addStudent({QString::fromLatin1(number)});
            f.addAccrual(ids.last(), 3, QStringLiteral("1000.00"));
        }
        f.open();
        f.prepare(3);
        const QStringList before = f.storedRows(3);
        QCOMPARE(before.size(), 4);

        // the accrual changes, and the server refuses the third student's declaration row
        f.session.setup().execute(QStringLiteral("update Tahakkuk set kazanc=2000"));
        f.session.refuseInserts(QStringLiteral("Xml"), QStringLiteral("NEW.ogrencino = 'S3'"),
                                QStringLiteral("S3 reddedildi"));
        f.press("SpeedButton1");
        QCOMPARE(f.errors(), QStringList{QStringLiteral("S3 reddedildi.")});
        QCOMPARE(f.storedRows(3), before);
        QVERIFY(f.button("SpeedButton2")->isHidden());
        QVERIFY(f.button("SpeedButton11")->isHidden());
        // the grid stays as it was, over the rows that are still stored
        QVERIFY(!f.grid()->isHidden());
        QCOMPARE(f.grid()->model()->rowCount(), 4);
        QVERIFY(!f.session.connection.inTransaction());

        // once the server accepts the rows again, the month is replaced as a whole
        f.session.stopRefusingInserts(QStringLiteral("Xml"));
        f.press("SpeedButton1");
        QCOMPARE(f.count("select count(*) from Xml where pek='2000'"), 4);
        QVERIFY(f.offered());
    }

    void monthClickHidesTheRows()
    {
        DeclFixture f;
        const int id = f.addStudent({QStringLiteral("A")});
        f.addAccrual(id, 2);
        f.open();
        QVERIFY(f.nothingOffered());
        f.prepare(2);
        QVERIFY(f.offered());
        const QStringList stored = f.storedRows(2);
        f.chooseMonth(5);
        QVERIFY(f.nothingOffered());
        QVERIFY(f.find<QToolButton>("SpeedButton1")->isVisible());
        QCOMPARE(f.storedRows(2), stored);
        QCOMPARE(f.session.dialogs.shown.size(), 0);
    }
};

QTEST_MAIN(TstDeclPreparation)
#include "tst_declpreparation.moc"
