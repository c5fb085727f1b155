// The date columns hold ISO dates or nothing, whoever writes them: plain SQL that puts anything
// else there is refused by the database itself.

#include "serverfixture.h"

using namespace zelvo;

using namespace Qt::StringLiterals;

namespace {

struct DateColumn {
    const char* table;
    const char* column;
};

const DateColumn dateColumns[] = {
    {"ogrenci", "baslangictarihi"}, {"ogrenci", "bitistarihi"}, {"ogrenci", "aktarmatarihi"},
    {"Xml", "baslangictarihi"},     {"Xml", "bitistarihi"},
};

} // namespace

class TstServerDates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dateColumnsTakeOnlyIsoDates_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value"); // an SQL literal
        QTest::addColumn<bool>("taken");
        const std::pair<const char*, bool> values[] = {
            {"'2024-02-29'", true},  {"NULL", true},
            {"'04-05-2026'", false}, {"'2026-02-30'", false},
            {"'2026-13-01'", false}, {"'20260301'", false},
            {"''", false},           {"'2026-03-01 00:00:00'", false},
        };
        for (const DateColumn& c : dateColumns)
            for (const auto& [value, taken] : values)
                QTest::addRow("%s.%s = %s", c.table, c.column, value)
                    << QString::fromLatin1(c.table) << QString::fromLatin1(c.column)
                    << QString::fromLatin1(value) << taken;
    }
    void dateColumnsTakeOnlyIsoDates()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(bool, taken);
        servertest::ServerFixture f;
        const QString student = f.addStudent({u"1"_s, u"Ali"_s, u"Veli"_s, {}, {}});
        QVERIFY(!student.isEmpty());
        f.conn->execute(
            u"INSERT INTO Xml (idogrenci, yil, ay) VALUES (%1, '2026', 2)"_s.arg(student));
        // a new row with the value, and an existing row changed to it
        const QString insert =
            table == "ogrenci"_L1
                ? u"INSERT INTO ogrenci (ogrencino, %1) VALUES ('2', %2)"_s.arg(column, value)
                : u"INSERT INTO Xml (idogrenci, yil, ay, %1) VALUES (%3, '2026', 3, %2)"_s.arg(
                      column, value, student);
        const QString update = u"UPDATE %1 SET %2 = %3"_s.arg(table, column, value);
        for (const QString& sql : {insert, update}) {
            QString refusal;
            try {
                f.conn->execute(sql);
            } catch (const db::DbError& e) {
                refusal = e.text();
            }
            if (taken)
                QCOMPARE(refusal, QString());
            else
                QVERIFY2(refusal.contains("CHECK constraint failed"_L1), qPrintable(sql));
        }
        const db::ResultRows stored =
            f.conn->query(u"SELECT count(*) FROM %1 WHERE %2 IS NOT "
                          u"NULL AND date(julianday(%2)) IS NOT %2"_s.arg(table, column));
        QCOMPARE(stored.rows.value(0).value(0).toInt(), 0);
    }
};

QTEST_APPLESS_MAIN(TstServerDates)
#include "tst_server_dates.moc"
