// Row versions: two workstations on one database read the same row through the procedures the
// windows use; the second to store it is refused with a message naming who changed it, and the
// first change stands. A row deleted meanwhile is refused too; one workstation storing the same
// row again and again is never refused.

#include "db/dataset.h"
#include "db/signedinuser.h"
#include "testbackend.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvo;

namespace {

const QString Changed = QStringLiteral("Bu kayıt siz açtıktan sonra başka bir kullanıcı tarafından "
                                       "değiştirildi. Değişikliğiniz kaydedilmedi.");
const QString Deleted = QStringLiteral("Bu kayıt siz açtıktan sonra başka bir kullanıcı tarafından "
                                       "silindi. Değişikliğiniz kaydedilmedi.");

struct Workstations {
    QTemporaryDir folder;
    std::unique_ptr<pgtest::TestDatabase> database;
    db::Connection a;
    db::Connection b;

    Workstations()
    {
        pgtest::openTestDatabase(a, database, pgtest::Backend::Requested,
                                 folder.filePath(QStringLiteral("zelvo.db")));
        pgtest::openSecondWorkstation(b, a, database.get());
        db::recordSignedInUser(a, QStringLiteral("ayse"));
    }
    bool embedded() const { return a.backendName() == QLatin1String("sqlite"); }
    QString author()
    {
        return embedded() ? QStringLiteral("ayse")
                          : a.query(QStringLiteral("SELECT session_user")).rows[0][0].toString();
    }
    QVariant scalar(const QString& sql, const QVariant& key)
    {
        return a.query(sql, {{QStringLiteral("@k"), key}}).rows.value(0).value(0);
    }
};

// The row of `table` each case stores, and the call that reads it as its window does.
struct Row {
    QString procedure;
    db::Params params;
    QVariant key;
};

Row rowOf(Workstations& w, const QString& table)
{
    if (table == QLatin1String("parametre"))
        return {QStringLiteral("ParametreGetir"), {}, {}};
    if (table == QLatin1String("isyeri"))
        return {
            QStringLiteral("isyerigetir"), {{QStringLiteral("@key1"), QStringLiteral("01")}}, {}};
    if (table == QLatin1String("kullanici"))
        return {QStringLiteral("BireyGetirLogin"),
                {{QStringLiteral("@Key1"), QStringLiteral("admin")}},
                {}};
    const QVariant student = w.a.insertRow(QStringLiteral("ogrenci"),
                                           {{QStringLiteral("ogrencino"), QStringLiteral("77")},
                                            {QStringLiteral("adi"), QStringLiteral("Ece")},
                                            {QStringLiteral("birimkodu"), QStringLiteral("01")}});
    if (table == QLatin1String("ogrenci"))
        return {QStringLiteral("OgrenciGetirOgrenciNo"),
                {{QStringLiteral("@key1"), QStringLiteral("01")},
                 {QStringLiteral("@key2"), QStringLiteral("77")}},
                student};
    w.a.insertRow(QStringLiteral("puantaj"), {{QStringLiteral("idogrenci"), student},
                                              {QStringLiteral("yil"), QStringLiteral("2026")},
                                              {QStringLiteral("ay"), 3},
                                              {QStringLiteral("gun"), 10},
                                              {QStringLiteral("birimkodu"), QStringLiteral("01")}});
    return {QStringLiteral("PuantajOzel"),
            {{QStringLiteral("@key1"), QStringLiteral("2026")},
             {QStringLiteral("@key2"), 3},
             {QStringLiteral("@key3"), student.toString()}},
            {}};
}

void openRow(db::Dataset& d, const Row& row)
{
    d.prepareCall(row.procedure, row.params);
    d.open();
    QVERIFY(!d.isEmpty());
    QVERIFY(d.hasColumn(db::RowVersionColumn));
}

void store(db::Dataset& d, const QString& column, const QVariant& value)
{
    d.setValue(column, value);
    d.post();
}

} // namespace

class TstServerRowVersion : public QObject {
    Q_OBJECT

    std::unique_ptr<Workstations> w;

    QVariant stored(const db::Dataset& d, const QString& column)
    {
        return w->scalar(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = @k")
                             .arg(column, d.writeTarget().table, d.writeTarget().keyColumn),
                         d.value(d.writeTarget().keyColumn));
    }

private Q_SLOTS:
    void init() { w = std::make_unique<Workstations>(); }
    void cleanup() { w.reset(); }

    void rows_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("first");
        QTest::addColumn<QVariant>("second");
        QTest::addColumn<bool>("recorded"); // its changes are in degisiklik
        QTest::newRow("student") << "ogrenci"
                                 << "tckimlikno" << QVariant("10000000146")
                                 << QVariant("20000000148") << true;
        QTest::newRow("parameters") << "parametre"
                                    << "aktifyil" << QVariant("2030") << QVariant("2031") << true;
        QTest::newRow("workplace")
            << "isyeri"
            << "isyeriunvani" << QVariant("Birinci") << QVariant("İkinci") << true;
        QTest::newRow("user") << "kullanici"
                              << "adsoy" << QVariant("Ayşe Kaya") << QVariant("Ali Veli") << true;
        QTest::newRow("timesheet") << "puantaj"
                                   << "gun" << QVariant(11) << QVariant(12) << false;
    }

    void secondWriterIsRefused_data() { rows_data(); }
    void secondWriterIsRefused()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QVariant, first);
        QFETCH(QVariant, second);
        QFETCH(bool, recorded);
        const Row row = rowOf(*w, table);
        db::Dataset a(w->a), b(w->b);
        openRow(a, row);
        openRow(b, row);
        store(a, column, first);
        try {
            store(b, column, second);
            QFAIL("the second writer was not refused");
        } catch (const db::RowConflict& refusal) {
            QCOMPARE(refusal.kind(), db::RowConflict::Kind::Changed);
            // named by the newest record of the row's changes, where the table has one
            const QString named =
                QStringLiteral("değiştirildi (%1, %2 ")
                    .arg(w->author(), QDate::currentDate().toString("dd.MM.yyyy"));
            QVERIFY2(recorded ? refusal.text().contains(named) : refusal.text() == Changed,
                     qPrintable(refusal.text()));
        }
        QCOMPARE(stored(a, column), first);
        QCOMPARE(b.state(), db::Dataset::State::Edit); // what was typed is kept
        QCOMPARE(b.value(column), second);
    }

    void changeOrDeletionMeanwhile_data()
    {
        QTest::addColumn<bool>("otherDeletes");
        QTest::newRow("row deleted, then stored") << true;
        QTest::newRow("row changed, then deleted") << false;
    }
    void changeOrDeletionMeanwhile()
    {
        QFETCH(bool, otherDeletes);
        const Row row = rowOf(*w, QStringLiteral("ogrenci"));
        db::Dataset a(w->a), b(w->b);
        openRow(a, row);
        openRow(b, row);
        if (otherDeletes) {
            a.deleteCurrent();
            try {
                store(b, QStringLiteral("adi"), QStringLiteral("Efe"));
                QFAIL("a change of a deleted row was not refused");
            } catch (const db::RowConflict& refusal) {
                QCOMPARE(refusal.kind(), db::RowConflict::Kind::Deleted);
                QCOMPARE(refusal.text(), Deleted);
            }
        } else {
            store(a, QStringLiteral("adi"), QStringLiteral("Eda"));
            QVERIFY_THROWS_EXCEPTION(db::RowConflict, b.deleteCurrent());
        }
        QCOMPARE(w->scalar(QStringLiteral("SELECT adi FROM ogrenci WHERE idogrenci = @k"), row.key)
                     .toString(),
                 otherDeletes ? QString() : QStringLiteral("Eda"));
    }

    // The same screen stores its row again and again; the server's record of changes gets one
    // entry per real change and none for the version.
    void sameWorkstationStoresAgain_data() { rows_data(); }
    void sameWorkstationStoresAgain()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QVariant, first);
        QFETCH(QVariant, second);
        QFETCH(bool, recorded);
        const Row row = rowOf(*w, table);
        db::Dataset a(w->a);
        openRow(a, row);
        const QVariant key = a.value(a.writeTarget().keyColumn);
        const QString changes = QStringLiteral("SELECT count(*) FROM degisiklik WHERE tablo = '%1' "
                                               "AND anahtar = CAST(@k AS TEXT)")
                                    .arg(table);
        const int before = w->scalar(changes, key).toInt();
        const qlonglong version = a.value(db::RowVersionColumn).toLongLong();
        store(a, column, first);
        store(a, column, second);
        QCOMPARE(stored(a, column), second);
        QCOMPARE(stored(a, db::RowVersionColumn).toLongLong(), version + 2);
        QCOMPARE(w->scalar(changes, key).toInt() - before, recorded ? 2 : 0);
    }

    // Rows read without their version (an older procedure) are written by their key alone.
    void rowWithoutVersionIsWrittenByKey()
    {
        const Row row = rowOf(*w, QStringLiteral("ogrenci"));
        db::Dataset a(w->a), b(w->b);
        openRow(a, row);
        b.setSql(QStringLiteral("SELECT idogrenci, adi FROM ogrenci WHERE idogrenci = @id"),
                 {QStringLiteral("ogrenci"), QStringLiteral("idogrenci")});
        b.addParam(QStringLiteral("@id"), row.key);
        b.open();
        store(a, QStringLiteral("adi"), QStringLiteral("Eda"));
        store(b, QStringLiteral("adi"), QStringLiteral("Efe"));
        QCOMPARE(w->scalar(QStringLiteral("SELECT adi FROM ogrenci WHERE idogrenci = @k"), row.key)
                     .toString(),
                 QStringLiteral("Efe"));
    }
};

QTEST_GUILESS_MAIN(TstServerRowVersion)
#include "tst_server_rowversion.moc"
