#pragma once

// A fresh database per test, built from the server scripts (in memory, or on the test
// cluster when the suite runs against PostgreSQL), and the few helpers the server tests share:
// adding students, calling procedures, reading columns.

#include "db/connection.h"
#include "testbackend.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QVariant>
#include <memory>

namespace servertest {

struct NewStudent {
    QString ogrencino;
    QString adi;
    QString soyadi;
    QVariant baslangic; // QDate, or null
    QVariant bitis;     // QDate, or null
    QString statu = QStringLiteral("1");
    int gss = 0;
    QString birimkodu = QStringLiteral("01");
    QString ilksoyadi = {};
    QString stajili = {};
    QString stajyeri = {};
};

// The position of a column in a result, by name and regardless of letter case; -1 if missing.
inline int columnOf(const zelvo::db::ResultRows& rows, const QString& name)
{
    for (int c = 0; c < rows.columns.size(); ++c)
        if (rows.columns.at(c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

// One field of one row; a missing column or row is recorded as a test failure.
inline QVariant field(const zelvo::db::ResultRows& rows, int row, const QString& name)
{
    const int c = columnOf(rows, name);
    if (c < 0) {
        QTest::qFail(qPrintable(QStringLiteral("column %1 missing from [%2]")
                                    .arg(name, rows.columns.join(QLatin1Char(',')))),
                     __FILE__, __LINE__);
        return {};
    }
    if (row < 0 || row >= rows.rows.size()) {
        QTest::qFail(
            qPrintable(QStringLiteral("row %1 missing (%2 rows)").arg(row).arg(rows.rows.size())),
            __FILE__, __LINE__);
        return {};
    }
    return rows.rows.at(row).at(c);
}

// The values of one column over all rows, as text.
inline QStringList columnTexts(const zelvo::db::ResultRows& rows, const QString& name)
{
    QStringList texts;
    for (int r = 0; r < rows.rows.size(); ++r)
        texts << field(rows, r, name).toString();
    return texts;
}

class ServerFixture {
public:
    ServerFixture() : conn(std::make_unique<zelvo::db::Connection>())
    {
        pgtest::openTestDatabase(*conn, database);
    }

    QString addStudent(const NewStudent& s)
    {
        const QVariant id = conn->insertRow(
            QStringLiteral("ogrenci"),
            {{QStringLiteral("ogrencino"), s.ogrencino},
             {QStringLiteral("adi"), s.adi},
             {QStringLiteral("soyadi"), s.soyadi},
             {QStringLiteral("ilksoyadi"), s.ilksoyadi.isEmpty() ? QVariant() : s.ilksoyadi},
             {QStringLiteral("tckimlikno"), QStringLiteral("10000000146")},
             {QStringLiteral("ssksicilno"), QStringLiteral("10000000146")},
             {QStringLiteral("statu"), s.statu},
             {QStringLiteral("baslangictarihi"), s.baslangic},
             {QStringLiteral("bitistarihi"), s.bitis},
             {QStringLiteral("gss"), s.gss},
             {QStringLiteral("stajili"), s.stajili.isEmpty() ? QVariant() : s.stajili},
             {QStringLiteral("stajyeri"), s.stajyeri.isEmpty() ? QVariant() : s.stajyeri},
             {QStringLiteral("birimkodu"), s.birimkodu}});
        return id.toString();
    }

    // Calls a procedure with positional arguments named @key1, @key2, ... (or the given names).
    // A server error is recorded as a test failure and gives an empty result.
    zelvo::db::ResultRows call(const QString& name, const QVariantList& args,
                               const QStringList& names = {})
    {
        try {
            return callOrThrow(name, args, names);
        } catch (const zelvo::db::DbError& e) {
            QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(name, e.text())), __FILE__,
                         __LINE__);
            return {};
        }
    }

    zelvo::db::ResultRows callOrThrow(const QString& name, const QVariantList& args,
                                      const QStringList& names = {})
    {
        zelvo::db::Params params;
        for (int i = 0; i < args.size(); ++i)
            params.append({names.value(i, QStringLiteral("@key%1").arg(i + 1)), args.at(i)});
        return conn->callProcedure(name, params);
    }

    // Stores one accrual row the way the accrual window does.
    void addAccrual(const QString& idogrenci, const QString& yil, int ay, int gun,
                    const QString& birim, const QVariant& kazanc, const QString& edition = {})
    {
        call(QStringLiteral("Tahakkukekle") + edition,
             {idogrenci, yil, ay, gun, birim, kazanc, kazanc}, accrualParamNames());
    }

    static QStringList accrualParamNames()
    {
        return {QStringLiteral("@idogrenci"), QStringLiteral("@yil"),
                QStringLiteral("@ay"),        QStringLiteral("@gun"),
                QStringLiteral("@birimkodu"), QStringLiteral("@kazanc"),
                QStringLiteral("@matrah")};
    }

    QVariant insertTimesheet(const QString& idogrenci, const QString& yil, int ay, int gun,
                             const QString& birim = QStringLiteral("01"))
    {
        return conn->insertRow(QStringLiteral("Puantaj"),
                               {{QStringLiteral("idogrenci"), idogrenci.toInt()},
                                {QStringLiteral("yil"), yil},
                                {QStringLiteral("ay"), ay},
                                {QStringLiteral("gun"), gun},
                                {QStringLiteral("birimkodu"), birim}});
    }

    QVariant insertDeclaration(const QString& idogrenci, const QString& yil, int ay, int gun,
                               const QString& ogrencino, const QString& adi, const QString& soyadi,
                               const QString& birim = QStringLiteral("01"))
    {
        return conn->insertRow(QStringLiteral("Xml"),
                               {{QStringLiteral("idogrenci"), idogrenci.toInt()},
                                {QStringLiteral("yil"), yil},
                                {QStringLiteral("ay"), ay},
                                {QStringLiteral("birimkodu"), birim},
                                {QStringLiteral("ogrencino"), ogrencino},
                                {QStringLiteral("adi"), adi},
                                {QStringLiteral("soyadi"), soyadi},
                                {QStringLiteral("gun"), gun},
                                {QStringLiteral("pek"), QStringLiteral("1500,5")},
                                {QStringLiteral("sil1"), QStringLiteral("1500.50")}});
    }

    int count(const QString& sql, const zelvo::db::Params& params = {})
    {
        return conn->query(sql, params).rows.value(0).value(0).toInt();
    }

    // the server database, when there is one: goes after the connection
    std::unique_ptr<pgtest::TestDatabase> database;
    std::unique_ptr<zelvo::db::Connection> conn;
};

} // namespace servertest
