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

class TstServerAudit : public QObject {
    Q_OBJECT

    std::unique_ptr<ServerFixture> f;
    QString id;

    static QJsonObject json(const QVariant& text)
    {
        return QJsonDocument::fromJson(text.toString().toUtf8()).object();
    }
    // the server's role, or on the embedded database the user who signed in
    QString author()
    {
        return f->conn->backendName() == QLatin1String("sqlite")
                   ? QStringLiteral("ayse")
                   : f->conn->query(QStringLiteral("SELECT session_user")).rows[0][0].toString();
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
        QTest::addColumn<QStringList>("record"); // rows; action, adi before, adi after
        QTest::newRow("insert") << QString() << QStringList{"ekleme", "", "Ali"};
        QTest::newRow("update") << "UPDATE ogrenci SET adi = 'Veli' WHERE idogrenci = @id"
                                << QStringList{"2", "değişiklik", "Ali", "Veli"};
        QTest::newRow("unchanged row stored")
            << "UPDATE ogrenci SET adi = 'Ali' WHERE idogrenci = @id"
            << QStringList{"ekleme", "", "Ali"};
        QTest::newRow("delete") << "DELETE FROM ogrenci WHERE idogrenci = @id"
                                << QStringList{"2", "silme", "Ali", ""};
    }
    void studentChange()
    {
        QFETCH(QString, statement);
        QFETCH(QStringList, record);
        if (!statement.isEmpty())
            f->conn->execute(statement, {{QStringLiteral("@id"), id.toInt()}});
        const db::ResultRows history = f->call(QStringLiteral("DegisiklikGetir"), {id.toInt()});
        QCOMPARE(QString::number(history.rows.size()), record.size() > 3 ? record[0] : "1");
        const QString adi = QStringLiteral("adi");
        QCOMPARE(QStringList({field(history, 0, "islem").toString(),
                              json(field(history, 0, "eski")).value(adi).toString(),
                              json(field(history, 0, "yeni")).value(adi).toString()}),
                 record.mid(record.size() - 3));
        QCOMPARE(field(history, 0, "kim").toString(), author());
    }

    void userRowHoldsNoPasswordHash()
    {
        f->conn->execute(QStringLiteral("UPDATE kullanici SET adsoy = 'Ayşe Demir'"));
        const db::ResultRows rows = f->conn->query(
            QStringLiteral("SELECT eski, yeni FROM degisiklik WHERE tablo = 'kullanici'"));
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(json(rows.rows[0][1]).value(QStringLiteral("adsoy")).toString(), "Ayşe Demir");
        QVERIFY(!(rows.rows[0][0].toString() + rows.rows[0][1].toString()).contains("argon2"));
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
        f->conn->execute(QStringLiteral("UPDATE ogrenci SET gss = @g"), {{"@g", gss}});
        const QStringList ids = {id, f->addStudent({"2", "Ece", "Tan", {}, {}, "1", gss}),
                                 f->addStudent({"3", "Can", "Er", {}, {}, "1", gss})};
        const QVariantList month = {QStringLiteral("2026"), 3, QStringLiteral("01")};
        db::Transaction run(*f->conn);
        if (table == QLatin1String("puantaj"))
            f->call("PuantajYaz", month + QVariantList{QStringLiteral("[[%1,30],[%2,30],[%3,20]]")
                                                           .arg(ids[0], ids[1], ids[2])});
        else if (table == QLatin1String("tahakkuk"))
            f->call("TahakkukekleListe",
                    month + QVariantList{QStringLiteral("[[\"%1\",30,9,9],[\"%2\",30,9,9],"
                                                        "[\"%3\",20,6,6]]")
                                             .arg(ids[0], ids[1], ids[2])});
        else
            for (const QStringList& batch : {ids.mid(0, 2), ids.mid(2)}) {
                QVector<QVector<QVariant>> rows;
                for (const QString& student : batch)
                    rows << QVector<QVariant>{student.toInt()} + month.toVector();
                f->conn->insertRows("Xml", {"idogrenci", "yil", "ay", "birimkodu"}, rows);
            }
        run.commit();
        const db::ResultRows records = f->conn->query(
            QStringLiteral("SELECT birimkodu, anahtar, kim, yeni FROM degisiklik WHERE tablo = @t"),
            {{QStringLiteral("@t"), table}});
        QCOMPARE(records.rows.size(), 1);
        QCOMPARE(QStringList({field(records, 0, "birimkodu").toString(),
                              field(records, 0, "anahtar").toString(),
                              field(records, 0, "kim").toString()}),
                 QStringList({"01", "2026-03", author()}));
        const QJsonObject what = json(field(records, 0, "yeni"));
        QTEST(what.value(QStringLiteral("adim")).toString(), "step");
        QCOMPARE(what.value(QStringLiteral("yil")).toString(), QStringLiteral("2026"));
        QCOMPARE(what.value(QStringLiteral("ay")).toInt(), 3);
        QCOMPARE(what.value(QStringLiteral("gss")).toInt(), gss);
        QCOMPARE(what.value(QStringLiteral("satir")).toInt(), 3);
    }
};

QTEST_GUILESS_MAIN(TstServerAudit)
#include "tst_server_audit.moc"
