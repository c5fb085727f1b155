// The server database (server/postgresql) against the embedded one (server/sqlite): the same
// procedures with the same parameters, and after the same month of work on the demonstration
// data every read procedure gives the same columns and rows on both. Then what only the server
// has to prove: Turkish order in a database of any collation, every amount rounded exactly from
// the double the client sends, its date type, and an installation that may run twice. The rules
// both backends share are tested once, in the server suites' PostgreSQL runs (tests/db, *_pg).

#include "backendside.h"
#include "pgfixture.h"

#include <QDate>
#include <QDir>
#include <QTest>
#include <tuple>

using namespace zelvo;

using namespace pgtest;

namespace {

const QString Y = QStringLiteral("2026");
const QString U = QStringLiteral("01");

QString sourceFile(const QString& relative)
{
    return QStringLiteral(ZELVO_SOURCE_DIR "/") + relative;
}

QString installScript()
{
    QString script;
    const QDir folder(sourceFile(QStringLiteral("server/postgresql")));
    for (const QString& name :
         folder.entryList({QStringLiteral("[0-9]*.sql")}, QDir::Files, QDir::Name))
        script += readFile(folder.filePath(name)) + QLatin1Char('\n');
    return script;
}

QStringList column(const Rows& rows, int c)
{
    QStringList values;
    for (const auto& row : rows.rows)
        values << row.value(c).toString();
    return values;
}

// kuruş as the database writes an amount: "20919.10", "-0.05"
QString kurusText(qint64 kurus)
{
    const qint64 magnitude = kurus < 0 ? -kurus : kurus;
    return QStringLiteral("%1%2.%3")
        .arg(kurus < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

// The exact value of numerator / 30 kuruş, half away from zero (numerator >= 0).
qint64 exactThirtieth(qint64 numerator)
{
    return numerator / 30 + ((numerator % 30) * 2 >= 30 ? 1 : 0);
}

} // namespace

class TstPgProcedures : public QObject {
    Q_OBJECT

    std::unique_ptr<EmbeddedSide> m_embedded;
    std::unique_ptr<ServerSide> m_server;

    // A student of unit 01; returns its key.
    static int addStudent(const TestDatabase& scratch, const QVariant& start, const QVariant& end,
                          const QString& surname = {})
    {
        const Rows rows =
            query(scratch.db(),
                  QStringLiteral("INSERT INTO ogrenci (ogrencino, adi, soyadi, baslangictarihi, "
                                 "bitistarihi, birimkodu) VALUES (?, ?, ?, ?, ?, '01') "
                                 "RETURNING idogrenci"),
                  {QStringLiteral("2026001"), QStringLiteral("Deniz"),
                   surname.isEmpty() ? QStringLiteral("Toprak") : surname, start, end});
        return rows.rows.value(0).value(0).toInt();
    }

    static int count(const TestDatabase& scratch, const QString& sql,
                     const QVariantList& values = {})
    {
        return query(scratch.db(), sql, values).rows.value(0).value(0).toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        ZELVO_REQUIRE_PG_CLUSTER();
        m_embedded = std::make_unique<EmbeddedSide>();
        m_server = std::make_unique<ServerSide>();
        QVERIFY(m_server->db().isOpen());
        m_embedded->runScript(readFile(sourceFile(QStringLiteral("server/demo.sql"))));
        m_server->runScript(readFile(sourceFile(QStringLiteral("server/demo.sql"))));
        for (BackendSide* side : {static_cast<BackendSide*>(m_embedded.get()),
                                  static_cast<BackendSide*>(m_server.get())}) {
            // empty values, a shared student number and letter case decide the order too
            for (const auto& [number, name, surname] :
                 {std::tuple<QVariant, QVariant, QVariant>{{}, {}, {}},
                  {QStringLiteral("2022101001"), QStringLiteral("ahmet"), QStringLiteral("yılmaz")},
                  {QStringLiteral("2022101001"), QStringLiteral("Ahmet"), QStringLiteral("Ak")}})
                side->insert(QStringLiteral("ogrenci"),
                             {{QStringLiteral("ogrencino"), number},
                              {QStringLiteral("adi"), name},
                              {QStringLiteral("soyadi"), surname},
                              {QStringLiteral("baslangictarihi"), QDate(2026, 1, 10)},
                              {QStringLiteral("bitistarihi"), QDate(2026, 2, 20)},
                              {QStringLiteral("birimkodu"), U}});
            for (const QString& edition : {QString(), QStringLiteral("xxx")})
                for (int month : {1, 2, 12})
                    workMonth(*side, month, edition);
            // a month worked again replaces its rows
            workMonth(*side, 1, QStringLiteral("xxx"));
        }
    }
    void cleanupTestCase()
    {
        m_server.reset();
        m_embedded.reset();
    }

    // Every procedure of the embedded catalog is a server function of the same name and number
    // of parameters, and the server's catalog gives the same formal names and write targets.
    void catalogMatchesEmbedded()
    {
        servertest::ServerFixture fixture;
        const db::ResultRows local = fixture.conn->query(QStringLiteral(
            "SELECT name, params, lower(target), target_key, "
            "upper(substr(ltrim(body), 1, 4)) IN ('SELE', 'WITH') FROM zelvo_procedure "
            "ORDER BY lower(name)"));
        const Rows server =
            query(m_server->db(), QStringLiteral("SELECT name, params, target, target_key, "
                                                 "returns_rows::int FROM zelvo_procedure "
                                                 "ORDER BY lower(name) COLLATE \"C\""));
        QCOMPARE(canonical(server).mid(1), canonical(Rows{{}, local.rows, {}, {}}).mid(1));
        for (const auto& row : local.rows) {
            const QString name = row.at(0).toString();
            const int params =
                row.at(1).toString().split(QLatin1Char(','), Qt::SkipEmptyParts).size();
            const Rows functions = query(
                m_server->db(),
                QStringLiteral("SELECT pronargs FROM pg_proc WHERE proname = lower(?)"), {name});
            QCOMPARE(column(functions, 0), QStringList{QString::number(params)});
        }
    }

    void sameResultsAsEmbedded_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QVariantList>("args");
        const QVariant null;
        QTest::newRow("login admin") << "BireyGetirLogin" << QVariantList{"admin"};
        QTest::newRow("login personel") << "BireyGetirLogin" << QVariantList{"personel"};
        QTest::newRow("login letter case") << "BireyGetirLogin" << QVariantList{"Admin"};
        QTest::newRow("login capitals") << "BireyGetirLogin" << QVariantList{"ADMIN"};
        QTest::newRow("units") << "BirimGetir" << QVariantList{};
        QTest::newRow("workplace") << "isyerigetir" << QVariantList{U};
        QTest::newRow("workplace of no unit") << "isyerigetir" << QVariantList{"02"};
        QTest::newRow("parameters") << "ParametreGetir" << QVariantList{};
        const QVariantList keys = {"",   null, "ı", "I", "i", "İ",       "ş", "Ş",
                                   "an", "AN", "%", "_", " ", "2022101", "0", "Çağ"};
        for (const char* search :
             {"OgrenciGetirAdi", "OgrenciGetirSoyAdi", "OgrenciGetirOgrenciNo"})
            for (const QVariant& key : keys)
                QTest::addRow("%s '%s'", search, qPrintable(canonical(key)))
                    << search << QVariantList{U, key};
        for (int month = 1; month <= 12; ++month) {
            const QDate first(2026, month, 15);
            const QVariantList period = {
                first.toString(QStringLiteral("dd-MM-yyyy")),
                first.addMonths(1).addDays(-1).toString(QStringLiteral("dd-MM-yyyy")), U};
            for (const char* edition : {"", "xxx"}) {
                QTest::addRow("PuantajGetir%s %d", edition, month)
                    << QStringLiteral("PuantajGetir") + QLatin1String(edition) << period;
                for (const char* name :
                     {"PuantajGenel", "TahakkukGenel", "Liste1", "XmlGetir", "XmlListe2"})
                    QTest::addRow("%s%s %d", name, edition, month)
                        << QString::fromLatin1(name) + QLatin1String(edition)
                        << QVariantList{Y, month, U};
            }
            QTest::addRow("XmlListe1xxx %d", month) << "XmlListe1xxx" << QVariantList{Y, month, U};
        }
        QTest::newRow("PuantajGetir ISO days")
            << "PuantajGetir" << QVariantList{"2026-01-15", "2026-02-14", U};
        QTest::newRow("PuantajGetir no days") << "PuantajGetir" << QVariantList{null, null, U};
        for (int id = 1; id <= 24; ++id)
            for (int month : {1, 12})
                QTest::addRow("PuantajOzel %d %d", id, month)
                    << (id % 2 ? "PuantajOzel" : "PuantajOzelxxx")
                    << QVariantList{Y, month, QString::number(id)};
        QTest::newRow("PuantajOzel not a number") << "PuantajOzel" << QVariantList{Y, 1, "x"};
        const QList<QPair<QVariant, QVariant>> spans = {{"2026-01-15", "2026-02-14"},
                                                        {"15-01-2026", "14-02-2026"},
                                                        {"2026-02-14", "2026-01-15"},
                                                        {"2026-01-15", "2026-01-15"},
                                                        {"2026-12-15", "2027-01-14"},
                                                        {"2028-02-01", "2028-02-29"},
                                                        {QDate(2026, 3, 1), QDate(2026, 3, 31)},
                                                        {null, "2026-01-01"},
                                                        {"2026-01-01", null},
                                                        {"2026-01-15 00:00:00", "2026-01-20"}};
        for (const auto& [start, end] : spans) {
            QTest::addRow("GunHesapla %s %s", qPrintable(canonical(start)),
                          qPrintable(canonical(end)))
                << "GunHesapla" << QVariantList{start, end, 1, 1, Y};
            QTest::addRow("gunhesapla_i %s %s", qPrintable(canonical(start)),
                          qPrintable(canonical(end)))
                << "gunhesapla_i" << QVariantList{start, end, 1, 2026};
        }
    }
    // The same columns, rows, values and row order as the embedded database.
    void sameResultsAsEmbedded()
    {
        QFETCH(QString, procedure);
        QFETCH(QVariantList, args);
        // row versions are each server's own count: the embedded December split raises them
        const auto versionsAside = [](Rows rows) {
            const qsizetype version = rows.columns.indexOf(QStringLiteral("surum"));
            for (auto& row : rows.rows)
                if (version >= 0)
                    row[version] = row.at(version).isNull() ? "null" : "version";
            return canonical(rows);
        };
        const QStringList expected = versionsAside(m_embedded->call(procedure, args));
        const QStringList actual = versionsAside(m_server->call(procedure, args));
        QCOMPARE(actual, expected);
    }
    // The month of work gave rows to compare in the first place.
    void sameResultsCoverRows()
    {
        for (const char* name : {"PuantajGenel", "TahakkukGenel", "XmlListe2"})
            for (int month : {1, 12})
                QVERIFY2(!m_server->call(QString::fromLatin1(name), {Y, month, U}).rows.isEmpty(),
                         name);
        QVERIFY(!m_server->call(QStringLiteral("XmlListe1xxx"), {Y, 1, U}).rows.isEmpty());
    }

    // Surnames in Turkish alphabetical order, in a database that sorts by Turkish rules of its
    // own and in one that sorts by code point; a student without a surname first.
    void turkishOrder_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("Turkish ICU database") << "LOCALE_PROVIDER icu ICU_LOCALE 'tr-TR'";
        QTest::newRow("code point database") << "LOCALE 'C.UTF-8'";
    }
    void turkishOrder()
    {
        QFETCH(QString, locale);
        TestDatabase database(TestDatabase::Content::Empty, locale);
        QVERIFY(database.isValid());
        QCOMPARE(runScript(database.db(), installScript()), QString());
        QCOMPARE(runScript(database.db(), readFile(sourceFile(QStringLiteral("server/demo.sql")))),
                 QString());
        for (const QVariant& surname :
             {QVariant(), QVariant("Cem"), QVariant("Hoş"), QVariant("Olgun"), QVariant("Sarp"),
              QVariant("Uysal"), QVariant("Gür")})
            query(database.db(),
                  QStringLiteral("INSERT INTO ogrenci (ogrencino, soyadi, birimkodu) "
                                 "VALUES ('1', ?, '01')"),
                  {surname});
        const Rows rows =
            callProcedure(database.db(), QStringLiteral("OgrenciGetirSoyAdi"), {U, ""});
        const QStringList expected = {"",      "Aksoy",   "Arslan",   "Aydın", "Cem",   "Çağlayan",
                                      "Çelik", "Doğan",   "Erdoğan",  "Güler", "Gür",   "Hoş",
                                      "Ilgaz", "Işık",    "İnce",     "Kaya",  "Kılıç", "Koç",
                                      "Olgun", "Özdemir", "Öztürk",   "Sarp",  "Şahin", "Şimşek",
                                      "Uysal", "Ünlü",    "Yıldırım", "Yılmaz"};
        QCOMPARE(column(rows, 4), expected);
    }

    // Every wage with two decimals from 33000.00 to 33050.00, and a spread of others, times
    // every day count of a period, sent as the double the client computes.
    void everyWageAndDayCountRoundsExactly()
    {
        QStringList doubles;
        QStringList expected;
        auto add = [&](qint64 wageKurus, int days) {
            doubles << QString::number(double(wageKurus) / 100 * days / 30, 'g', 17);
            expected << kurusText(exactThirtieth(wageKurus * days));
        };
        for (qint64 wage = 3300000; wage <= 3305000; ++wage)
            for (int days = 0; days <= 30; ++days)
                add(wage, days);
        for (qint64 wage = 1; wage <= 100000000; wage = wage * 7 + 13)
            for (int days = 0; days <= 30; ++days)
                add(wage, days);
        const Rows rows = query(m_server->db(),
                                QStringLiteral("SELECT zelvo_amount(x)::text FROM "
                                               "unnest(string_to_array(?, ',')::float8[]) "
                                               "WITH ORDINALITY AS a(x, n) ORDER BY n"),
                                {doubles.join(QLatin1Char(','))});
        const QStringList actual = column(rows, 0);
        QCOMPARE(actual.size(), expected.size());
        for (int i = 0; i < actual.size(); ++i)
            if (actual.at(i) != expected.at(i))
                QFAIL(qPrintable(QStringLiteral("%1 gave %2, not %3")
                                     .arg(doubles.at(i), actual.at(i), expected.at(i))));
    }

    void datesRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("state");
        QTest::newRow("30 February") << "2026-02-30"
                                     << "22008";
        QTest::newRow("month 13") << "2026-13-01"
                                  << "22008";
        QTest::newRow("words") << "yarın"
                               << "22007";
        QTest::newRow("empty") << ""
                               << "22007";
    }
    void datesRefused()
    {
        const TestDatabase scratch;
        QVERIFY(scratch.isValid());
        QFETCH(QString, text);
        QFETCH(QString, state);
        const int student = addStudent(scratch, QDate(2026, 1, 1), QDate(2026, 12, 31));
        for (const char* column : {"baslangictarihi", "bitistarihi", "aktarmatarihi"}) {
            const Rows result =
                tryQuery(scratch.db(),
                         QStringLiteral("UPDATE ogrenci SET %1 = ? WHERE idogrenci = ?")
                             .arg(QLatin1String(column)),
                         {text, student});
            QCOMPARE(result.sqlState, state);
        }
        QCOMPARE(
            count(scratch, QStringLiteral("SELECT count(*) FROM ogrenci WHERE baslangictarihi = "
                                          "'2026-01-01'")),
            1);
    }

    // NULL written into gss is the standard edition; anything but 0 and 1 is refused.
    void gssNullIsStandardEdition()
    {
        const TestDatabase scratch;
        QVERIFY(scratch.isValid());
        const int student = addStudent(scratch, QDate(2026, 1, 1), QDate(2026, 12, 31));
        query(scratch.db(), QStringLiteral("UPDATE ogrenci SET gss = 1 WHERE idogrenci = ?"),
              {student});
        query(scratch.db(), QStringLiteral("UPDATE ogrenci SET gss = NULL WHERE idogrenci = ?"),
              {student});
        QCOMPARE(count(scratch, QStringLiteral("SELECT gss FROM ogrenci WHERE idogrenci = ?"),
                       {student}),
                 0);
        query(scratch.db(),
              QStringLiteral(
                  "INSERT INTO ogrenci (ogrencino, gss, birimkodu) VALUES ('9', NULL, '01')"));
        QCOMPARE(count(scratch, QStringLiteral("SELECT count(*) FROM ogrenci WHERE gss = 0")), 2);
        QCOMPARE(tryQuery(scratch.db(), QStringLiteral("UPDATE ogrenci SET gss = 2")).sqlState,
                 QStringLiteral("23514"));
    }

    // The installation into an empty database may run again: nothing is added twice, and the
    // sessions opened after it refuse a day-first date instead of reading it month-first.
    void installationRunsTwice()
    {
        TestDatabase empty(TestDatabase::Content::Empty);
        QVERIFY(empty.isValid());
        const QString script = installScript();
        QCOMPARE(runScript(empty.db(), script), QString());
        // the second run only says that everything is there already
        runScript(empty.db(), QStringLiteral("SET client_min_messages = warning"));
        QCOMPARE(runScript(empty.db(), script), QString());
        QSqlDatabase later = empty.connect(QStringLiteral("later"));
        const auto counted = [&](const char* sql) {
            return query(later, QString::fromLatin1(sql)).rows.value(0).value(0).toString();
        };
        QCOMPARE(counted("SELECT string_agg(version::text, ',') FROM schema_version"),
                 QString::number(zelvo::db::SchemaVersion));
        QCOMPARE(counted("SELECT count(*) FROM statu"), "3");
        QCOMPARE(counted("SELECT count(*) FROM birim"), "1");
        QCOMPARE(counted("SELECT count(*) FROM isyeri"), "1");
        QCOMPARE(counted("SELECT count(*) FROM parametre"), "1");
        QCOMPARE(counted("SELECT count(*) FROM kullanici"), "1");
        QCOMPARE(counted("SELECT count(*) FROM zelvo_procedure"), "38");
        // the seeded administrator keeps its hash until there is a login role of its name (the
        // cluster's tests share one, made at any moment), whose password the server checks
        QCOMPARE(counted("SELECT sifre IS NULL OR sifre LIKE '$argon2id$%' FROM kullanici"),
                 QStringLiteral("true"));
        QCOMPARE(tryQuery(later, QStringLiteral("INSERT INTO schema_version VALUES (2)")).sqlState,
                 QStringLiteral("23505"));
        QCOMPARE(tryQuery(later, QStringLiteral("SELECT '04-05-2026'::date")).sqlState,
                 QStringLiteral("22008"));
        QCOMPARE(callProcedure(later, QStringLiteral("GunHesapla"),
                               {"15-01-2026", "14-02-2026", 1, 1, Y})
                     .rows.value(0)
                     .value(0)
                     .toInt(),
                 31);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TstPgProcedures test;
    const int failures = QTest::qExec(&test, argc, argv);
    return failures == 0 && pgtest::skipped ? pgtest::SkipExitCode : failures;
}

#include "tst_pg_procedures.moc"
