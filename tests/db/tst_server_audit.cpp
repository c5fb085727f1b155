// The record of changes the database keeps by itself: a change of a student gives one row with
// the values before and after, read back newest first; a monthly run gives one row naming its
// step, unit, month, edition and the rows it stored, however many statements stored them.

#include "db/signedinuser.h"
#include "serverfixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace zelvo;
using namespace servertest;

namespace {

QJsonObject json(const QVariant& text)
{
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

} // namespace

class TstServerAudit : public QObject {
    Q_OBJECT

    std::unique_ptr<ServerFixture> f;
    QString id;

    // the name the record gives the author of a change: the server's role, or the user who
    // signed in to the program
    QString author()
    {
        if (f->conn->backendName() == QLatin1String("sqlite"))
            return QStringLiteral("ayse");
        return f->conn->query(QStringLiteral("SELECT session_user"))
            .rows.value(0)
            .value(0)
            .toString();
    }

    db::ResultRows runRecord(const QString& table)
    {
        return f->conn->query(QStringLiteral("SELECT birimkodu, anahtar, kim, yeni FROM degisiklik "
                                             "WHERE tablo = @t ORDER BY iddegisiklik"),
                              {{QStringLiteral("@t"), table}});
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<ServerFixture>();
        db::recordSignedInUser(*f->conn, QStringLiteral("ayse"));
        id = f->addStudent({"2023001", "Ali", "Kaya", QDate(2026, 3, 1), QDate(2026, 4, 30)});
    }
    void cleanup() { f.reset(); }

    void studentChange_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("records"); // after the one of the insert
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("before"); // adi in eski, "-" without eski
        QTest::addColumn<QString>("after");  // adi in yeni, "-" without yeni
        QTest::newRow("insert") << QString() << 1 << "ekleme"
                                << "-"
                                << "Ali";
        QTest::newRow("update") << "UPDATE ogrenci SET adi = 'Veli' WHERE idogrenci = @id" << 2
                                << "değişiklik"
                                << "Ali"
                                << "Veli";
        QTest::newRow("unchanged row stored")
            << "UPDATE ogrenci SET adi = 'Ali' WHERE idogrenci = @id" << 1 << "ekleme"
            << "-"
            << "Ali";
        QTest::newRow("delete") << "DELETE FROM ogrenci WHERE idogrenci = @id" << 2 << "silme"
                                << "Ali"
                                << "-";
    }
    void studentChange()
    {
        QFETCH(QString, statement);
        if (!statement.isEmpty())
            f->conn->execute(statement, {{QStringLiteral("@id"), id.toInt()}});
        const db::ResultRows history = f->call(QStringLiteral("DegisiklikGetir"), {id.toInt()});
        QTEST(int(history.rows.size()), "records");
        QTEST(field(history, 0, "islem").toString(), "action");
        QCOMPARE(field(history, 0, "kim").toString(), author());
        const auto adi = [&](const char* column) {
            const QVariant value = field(history, 0, QString::fromLatin1(column));
            return value.isNull() ? QStringLiteral("-")
                                  : json(value).value(QStringLiteral("adi")).toString();
        };
        QTEST(adi("eski"), "before");
        QTEST(adi("yeni"), "after");
        QVERIFY(!field(history, 0, "zaman").toString().isEmpty());
    }

    void userRowHoldsNoPasswordHash()
    {
        f->conn->execute(QStringLiteral("UPDATE kullanici SET adsoy = 'Ayşe Demir'"));
        const db::ResultRows rows = f->conn->query(
            QStringLiteral("SELECT eski, yeni FROM degisiklik WHERE tablo = 'kullanici'"));
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(json(rows.rows[0][1]).value(QStringLiteral("adsoy")).toString(),
                 QStringLiteral("Ayşe Demir"));
        for (const QVariant& side : rows.rows[0])
            QVERIFY(!side.toString().contains(QLatin1String("argon2")));
    }

    void monthlyRun_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("gss");
        QTest::newRow("timesheet") << "puantaj"
                                   << "Puantaj hesabı" << 0;
        QTest::newRow("accrual") << "tahakkuk"
                                 << "Tahakkuk hesabı" << 0;
        QTest::newRow("declaration, two batches") << "xml"
                                                  << "Bildirge hazırlığı (1. adım)" << 0;
        QTest::newRow("declaration, GSS") << "xml"
                                          << "Bildirge hazırlığı (1. adım)" << 1;
    }
    void monthlyRun()
    {
        QFETCH(QString, table);
        QFETCH(int, gss);
        const QString second = f->addStudent({"2023002", "Ece", "Tan", QDate(2026, 3, 1),
                                              QDate(2026, 4, 30), QStringLiteral("1"), gss});
        const QString third = f->addStudent({"2023003", "Can", "Er", QDate(2026, 3, 1),
                                             QDate(2026, 4, 30), QStringLiteral("1"), gss});
        if (gss == 1)
            f->conn->execute(QStringLiteral("UPDATE ogrenci SET gss = 1"));
        db::Transaction run(*f->conn);
        if (table == QLatin1String("puantaj")) {
            f->call(QStringLiteral("PuantajYaz"),
                    {QStringLiteral("2026"), 3, QStringLiteral("01"),
                     QStringLiteral("[[%1,30],[%2,30],[%3,20]]").arg(id, second, third)});
        } else if (table == QLatin1String("tahakkuk")) {
            f->call(QStringLiteral("TahakkukekleListe"),
                    {QStringLiteral("2026"), 3, QStringLiteral("01"),
                     QStringLiteral("[[\"%1\",30,100,100],[\"%2\",30,100,100],[\"%3\",20,80,80]]")
                         .arg(id, second, third)});
        } else {
            const QStringList columns = {QStringLiteral("idogrenci"), QStringLiteral("yil"),
                                         QStringLiteral("ay"), QStringLiteral("birimkodu")};
            f->conn->insertRows(
                QStringLiteral("Xml"), columns,
                {{id.toInt(), QStringLiteral("2026"), 3, QStringLiteral("01")},
                 {second.toInt(), QStringLiteral("2026"), 3, QStringLiteral("01")}});
            f->conn->insertRows(QStringLiteral("Xml"), columns,
                                {{third.toInt(), QStringLiteral("2026"), 3, QStringLiteral("01")}});
        }
        run.commit();
        const db::ResultRows records = runRecord(table);
        QCOMPARE(records.rows.size(), 1);
        QCOMPARE(field(records, 0, "birimkodu").toString(), QStringLiteral("01"));
        QCOMPARE(field(records, 0, "anahtar").toString(), QStringLiteral("2026-03"));
        QCOMPARE(field(records, 0, "kim").toString(), author());
        const QJsonObject what = json(field(records, 0, "yeni"));
        QTEST(what.value(QStringLiteral("adim")).toString(), "step");
        QCOMPARE(what.value(QStringLiteral("yil")).toString(), QStringLiteral("2026"));
        QCOMPARE(what.value(QStringLiteral("ay")).toInt(), 3);
        QCOMPARE(what.value(QStringLiteral("gss")).toInt(), gss);
        QCOMPARE(what.value(QStringLiteral("satir")).toInt(), 3);
    }

    // A second run of the month is a record of its own.
    void everyRunIsRecorded()
    {
        for (int gun : {30, 20})
            f->call(QStringLiteral("PuantajYaz"), {QStringLiteral("2026"), 3, QStringLiteral("01"),
                                                   QStringLiteral("[[%1,%2]]").arg(id).arg(gun)});
        QCOMPARE(runRecord(QStringLiteral("puantaj")).rows.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TstServerAudit)
#include "tst_server_audit.moc"
