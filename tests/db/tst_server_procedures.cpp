// The embedded server's procedure catalog: every procedure the windows call is there, takes
// its arguments in the documented order and delivers the columns the windows read; results
// that the windows edit write back to their table; login, unit, workplace and parameter rows;
// the register searches with Turkish letter case.

#include "db/dataset.h"
#include "db/passwordhash.h"
#include "serverfixture.h"

#include <QTest>

using namespace zelvo;

using namespace servertest;

namespace {

const QString Y = QStringLiteral("2026");
const QString U = QStringLiteral("01");

QStringList studentColumns()
{
    return {"idogrenci",   "otomasyonid", "ogrencino",     "adi",       "soyadi",
            "ilksoyadi",   "tckimlikno",  "ssksicilno",    "statu",     "baslangictarihi",
            "bitistarihi", "gss",         "stajili",       "stajyeri",  "birimkodu",
            "birimadi",    "okuladi",     "aktarmatarihi", "degistiren"};
}

QStringList xmlColumns()
{
    return {"idxml",       "idogrenci",  "yil",        "ay",
            "birimkodu",   "ogrencino",  "adi",        "soyadi",
            "ilksoyadi",   "ssksicilno", "tckimlikno", "baslangictarihi",
            "bitistarihi", "gun",        "pek",        "isveren",
            "isci",        "girisgun",   "cikisgun",   "istencikisnedeni",
            "sil1"};
}

// Placeholders in the data tables, replaced by the keys of the students the fixture adds.
const QString StdStudent = QStringLiteral("$std");
const QString GssStudent = QStringLiteral("$gss");

} // namespace

class TstServerProcedures : public QObject {
    Q_OBJECT

    std::unique_ptr<ServerFixture> f;
    QString stdId; // a standard-edition student of unit 01 with a full March 2026
    QString gssId; // a GSS-edition student of unit 01 with a full March 2026

    QVariantList resolve(QVariantList args) const
    {
        for (QVariant& a : args) {
            if (a.toString() == StdStudent)
                a = stdId;
            else if (a.toString() == GssStudent)
                a = gssId;
        }
        return args;
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<ServerFixture>();
        stdId = f->addStudent({"2023001", "Ali", "Kaya", QDate(2026, 3, 1), QDate(2026, 4, 30)});
        gssId = f->addStudent({"2023002", "Ece", "Tan", QDate(2026, 3, 1), QDate(2026, 4, 30), "1",
                               1, "01", "Eren", "ANKARA", "Anadolu Yazılım A.Ş."});
        for (const QString& id : {stdId, gssId}) {
            f->insertTimesheet(id, Y, 3, 30);
            f->insertDeclaration(id, Y, 3, 30, id == stdId ? "2023001" : "2023002", "x", "y");
        }
        f->addAccrual(stdId, Y, 3, 30, U, 33030.0);
        f->addAccrual(gssId, Y, 3, 30, U, 33030.0, QStringLiteral("xxx"));
    }
    void cleanup() { f.reset(); }

    // The catalog holds exactly the procedures of both editions, each with its formal names in
    // the order the windows pass the arguments.
    void catalogHoldsEveryProcedure()
    {
        const QMap<QString, QString> expected = {
            {"BireyGetirLogin", "@Key1"},
            {"BirimGetir", ""},
            {"isyerigetir", "@key1"},
            {"ParametreGetir", ""},
            {"OgrenciGetirAdi", "@key1,@key2"},
            {"OgrenciGetirSoyAdi", "@key1,@key2"},
            {"OgrenciGetirOgrenciNo", "@key1,@key2"},
            {"PuantajSil", "@key1,@key2,@key3"},
            {"PuantajGetir", "@key1,@key2,@key3"},
            {"PuantajOzel", "@key1,@key2,@key3"},
            {"PuantajGenel", "@key1,@key2,@key3"},
            {"GunHesapla", "@key1,@key2,@key3,@key4,@key5"},
            {"gunhesapla_i", "@tar1,@tar2,@ay,@yil"},
            {"GunHesaplaListe", "@key1,@key2,@key3"},
            {"PuantajYaz", "@key1,@key2,@key3,@key4"},
            {"TahakkukekleListe", "@key1,@key2,@key3,@key4"},
            {"TahakkukSil", "@key1,@key2,@key3"},
            {"TahakkukGenel", "@key1,@key2,@key3"},
            {"Tahakkukekle", "@idogrenci,@yil,@ay,@gun,@birimkodu,@kazanc,@matrah"},
            {"Liste1", "@key1,@key2,@key3"},
            {"XmlGetir", "@key1,@key2,@key3"},
            {"XmlListe2", "@key1,@key2,@key3"},
            {"PuantajSilxxx", "@key1,@key2,@key3"},
            {"PuantajGetirxxx", "@key1,@key2,@key3"},
            {"PuantajOzelxxx", "@key1,@key2,@key3"},
            {"PuantajGenelxxx", "@key1,@key2,@key3"},
            {"TahakkukSilxxx", "@key1,@key2,@key3"},
            {"TahakkukGenelxxx", "@key1,@key2,@key3"},
            {"Tahakkukeklexxx", "@idogrenci,@yil,@ay,@gun,@birimkodu,@kazanc,@matrah"},
            {"Liste1xxx", "@key1,@key2,@key3"},
            {"XmlGetirxxx", "@key1,@key2,@key3"},
            {"XmlListe2xxx", "@key1,@key2,@key3"},
            {"XmlSilxxx", "@key1,@key2,@key3"},
            {"XmlListe1xxx", "@key1,@key2,@key3"},
            {"DegisiklikGetir", "@key1"},
            {"SonDegisiklik", "@key1,@key2"},
            {"AyDurumuYaz", "@key1,@key2,@key3,@key4,@key5,@key6,@key7,@key8,@key9"},
            {"AyDurumu", "@key1,@key2,@key3,@key4"},
        };
        const db::ResultRows rows =
            f->conn->query(QStringLiteral("SELECT name, params FROM zelvo_procedure"));
        QMap<QString, QString> actual;
        for (const auto& row : rows.rows)
            actual.insert(row.at(0).toString(), row.at(1).toString());
        QCOMPARE(actual.keys(), expected.keys());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(actual.value(it.key()), it.value());
    }

    void procedureNamesIgnoreLetterCase()
    {
        const db::ResultRows upper = f->call(QStringLiteral("PARAMETREGETIR"), {});
        QCOMPARE(field(upper, 0, "aktifyil").toString(), QStringLiteral("2026"));
    }

    // Every procedure runs with its arguments and delivers at least the columns the windows
    // read; procedures that only act deliver no rows.
    void procedureDeliversColumns_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("minRows");

        const QVariantList ymu = {Y, 3, U};
        const QStringList timesheet = {"idpuantaj", "idogrenci", "yil",  "ay",
                                       "gun",       "gun1",      "gun2", "birimkodu"};
        const QStringList monthView = {
            "ogrencino", "adi",  "soyadi",          "yil",         "ay",        "gun",
            "gun1",      "gun2", "baslangictarihi", "bitistarihi", "idogrenci", "idpuantaj"};
        const QStringList accrual = {"yil",    "ay",     "ogrencino", "adi",  "soyadi",   "gun",
                                     "kazanc", "matrah", "isveren",   "isci", "idogrenci"};
        const QStringList list = {"yil",         "ay",         "ogrencino",  "adi",
                                  "soyadi",      "ssksicilno", "tckimlikno", "baslangictarihi",
                                  "bitistarihi", "gun",        "kazanc",     "matrah",
                                  "isveren",     "isci",       "idogrenci"};
        const QStringList shown = {
            "yil",        "ay",         "ogrencino",        "adi",         "soyadi",  "ilksoyadi",
            "ssksicilno", "tckimlikno", "baslangictarihi",  "bitistarihi", "pek",     "gun",
            "girisgun",   "cikisgun",   "istencikisnedeni", "sil1",        "stajili", "stajyeri",
            "gun_1"};
        const QStringList source = {"idogrenci",   "ogrencino",  "adi",        "soyadi",
                                    "ilksoyadi",   "ssksicilno", "tckimlikno", "baslangictarihi",
                                    "bitistarihi", "birimkodu",  "yil",        "ay",
                                    "gun",         "kazanc",     "isveren",    "isci",
                                    "matrah",      "stajili",    "stajyeri"};

        auto row = [](const char* name, const QVariantList& args, const QStringList& columns,
                      int minRows) {
            QTest::newRow(name) << QString::fromLatin1(name) << args << columns << minRows;
        };
        row("BireyGetirLogin", {"admin"},
            {"idkullanici", "kullanici", "sifre", "adsoy", "birimkodu", "email", "yetkitipi"}, 1);
        row("BirimGetir", {}, {"birimkodu", "birimadi"}, 1);
        row("isyerigetir", {U},
            {"idisyeri", "birimkodu", "birimadi", "isyerisicil", "kontrolno", "isyeriaracino",
             "isyeriunvani", "isyeriadres", "isyerivergino", "vergidairesi"},
            1);
        QStringList parameter = {"idparametre",  "aktifyil",   "belgemahiyet", "belgeturu",
                                 "belgeturuyab", "isci",       "isveren",      "istencikisnedeni",
                                 "kanunno",      "sigortakodu"};
        for (int m = 1; m <= 12; ++m)
            parameter << QStringLiteral("au%1").arg(m, 2, 10, QLatin1Char('0'));
        row("ParametreGetir", {}, parameter, 1);
        row("OgrenciGetirAdi", {U, "al"}, studentColumns(), 1);
        row("OgrenciGetirSoyAdi", {U, "tan"}, studentColumns(), 1);
        row("OgrenciGetirOgrenciNo", {U, "2023"}, studentColumns(), 2);
        row("PuantajGetir", {"15-03-2026", "14-04-2026", U},
            {"idogrenci", "baslangictarihi", "bitistarihi"}, 1);
        row("PuantajGetirxxx", {"15-03-2026", "14-04-2026", U},
            {"idogrenci", "baslangictarihi", "bitistarihi"}, 1);
        row("GunHesapla", {"2026-03-15", "2026-04-14", StdStudent, 3, Y}, {"gun"}, 1);
        row("gunhesapla_i", {QDate(2015, 6, 22), QDate(2015, 7, 30), 6, 2015}, {}, 0);
        row("PuantajOzel", {Y, 3, StdStudent}, timesheet, 1);
        row("PuantajOzelxxx", {Y, 3, GssStudent}, timesheet, 1);
        row("PuantajGenel", ymu, monthView, 1);
        row("PuantajGenelxxx", ymu, monthView, 1);
        row("TahakkukGenel", ymu, accrual, 1);
        row("TahakkukGenelxxx", ymu, accrual, 1);
        row("Liste1", ymu, list, 1);
        row("Liste1xxx", ymu, list, 1);
        row("XmlGetir", ymu, xmlColumns(), 1);
        row("XmlGetirxxx", ymu, xmlColumns(), 1);
        row("XmlListe2", ymu, shown, 1);
        row("XmlListe2xxx", ymu, shown, 1);
        row("XmlListe1xxx", ymu, source, 1);
        // procedures that only act
        row("Tahakkukekle", {StdStudent, Y, 4, 30, U, 1000.0, 1000.0}, {}, 0);
        row("Tahakkukeklexxx", {GssStudent, Y, 4, 30, U, 1000.0, 1000.0}, {}, 0);
        row("PuantajSil", ymu, {}, 0);
        row("PuantajSilxxx", ymu, {}, 0);
        row("TahakkukSil", ymu, {}, 0);
        row("TahakkukSilxxx", ymu, {}, 0);
        row("XmlSilxxx", ymu, {}, 0);
    }
    void procedureDeliversColumns()
    {
        QFETCH(QString, name);
        QFETCH(QVariantList, args);
        QFETCH(QStringList, columns);
        QFETCH(int, minRows);

        const db::ResultRows rows = f->call(name, resolve(args),
                                            name.startsWith(QLatin1String("Tahakkukekle"))
                                                ? ServerFixture::accrualParamNames()
                                                : QStringList());
        for (const QString& column : columns)
            QVERIFY2(columnOf(rows, column) >= 0,
                     qPrintable(QStringLiteral("%1 lacks %2: [%3]")
                                    .arg(name, column, rows.columns.join(QLatin1Char(',')))));
        QVERIFY2(rows.rows.size() >= minRows,
                 qPrintable(QStringLiteral("%1 gave %2 rows").arg(name).arg(rows.rows.size())));
        if (columns.isEmpty() && name != QLatin1String("gunhesapla_i"))
            QVERIFY2(rows.columns.isEmpty(), qPrintable(name + QLatin1String(" returned rows")));
    }

    // A result the windows edit names its table and key, and a changed field posted through
    // the client's dataset lands in that table's row.
    void editedResultsWriteBack_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");

        const QVariantList ymu = {Y, 3, U};
        // a whole hash, not cut to the ten characters passwords used to have
        QTest::newRow("login row: password")
            << "BireyGetirLogin" << QVariantList{"admin"} << "kullanici"
            << "idkullanici"
            << "sifre" << QVariant(db::hashPassword(QStringLiteral("yeni12")));
        QTest::newRow("login row: unit")
            << "BireyGetirLogin" << QVariantList{"admin"} << "kullanici"
            << "idkullanici"
            << "birimkodu" << QVariant("02");
        QTest::newRow("workplace") << "isyerigetir" << QVariantList{U} << "isyeri"
                                   << "idisyeri"
                                   << "isyeriadres" << QVariant("Atatürk Bulvarı No:5 ANKARA");
        QTest::newRow("parameters") << "ParametreGetir" << QVariantList{} << "Parametre"
                                    << "idparametre"
                                    << "au05" << QVariant(35000.5);
        QTest::newRow("student by name") << "OgrenciGetirAdi" << QVariantList{U, "Ali"} << "ogrenci"
                                         << "idogrenci"
                                         << "stajili" << QVariant("KONYA");
        QTest::newRow("student by surname")
            << "OgrenciGetirSoyAdi" << QVariantList{U, "Kaya"} << "ogrenci"
            << "idogrenci"
            << "bitistarihi" << QVariant(QDate(2026, 5, 31));
        QTest::newRow("student by number")
            << "OgrenciGetirOgrenciNo" << QVariantList{U, "2023001"} << "ogrenci"
            << "idogrenci"
            << "gss" << QVariant(1);
        QTest::newRow("one timesheet row")
            << "PuantajOzel" << QVariantList{Y, 3, StdStudent} << "Puantaj"
            << "idpuantaj"
            << "gun" << QVariant(17);
        QTest::newRow("one GSS timesheet row")
            << "PuantajOzelxxx" << QVariantList{Y, 3, GssStudent} << "Puantaj"
            << "idpuantaj"
            << "gun" << QVariant(12);
        QTest::newRow("month view: old-wage days") << "PuantajGenel" << ymu << "Puantaj"
                                                   << "idpuantaj"
                                                   << "gun1" << QVariant(9);
        QTest::newRow("GSS month view: new-wage days") << "PuantajGenelxxx" << ymu << "Puantaj"
                                                       << "idpuantaj"
                                                       << "gun2" << QVariant(4);
        QTest::newRow("declaration rows") << "XmlGetir" << ymu << "Xml"
                                          << "idxml"
                                          << "sil1" << QVariant("1600.00");
        QTest::newRow("GSS declaration rows") << "XmlGetirxxx" << ymu << "Xml"
                                              << "idxml"
                                              << "girisgun" << QVariant("1503");
    }
    void editedResultsWriteBack()
    {
        QFETCH(QString, name);
        QFETCH(QVariantList, args);
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, column);
        QFETCH(QVariant, value);

        db::Dataset d(*f->conn);
        d.setProcedure(name);
        const QVariantList values = resolve(args);
        for (int i = 0; i < values.size(); ++i)
            d.addParam(QStringLiteral("@key%1").arg(i + 1), values.at(i));
        d.open();
        QVERIFY(d.recordCount() >= 1);
        // a server stores table names in lower case
        QCOMPARE(d.writeTarget().table.toLower(), table.toLower());
        QCOMPARE(d.writeTarget().keyColumn, key);
        QVERIFY(d.hasColumn(key));
        const QVariant id = d.value(key);
        d.setValue(column, value);
        d.post();

        const db::ResultRows stored = f->conn->query(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = @id").arg(column, table, key),
            {{QStringLiteral("@id"), id}});
        QCOMPARE(stored.rows.size(), 1);
        if (value.typeId() == QMetaType::QDate)
            QCOMPARE(stored.rows.at(0).at(0).toDate(), value.toDate());
        else
            QCOMPARE(stored.rows.at(0).at(0).toString(), value.toString());
    }

    // A row appended to the declaration target (as step 1 of the declaration window does) is
    // stored in Xml and is then part of the month's rows.
    void rowsAppendedToTheDeclarationTargetAreStored()
    {
        const QString other =
            f->addStudent({"2023003", "Can", "Er", QDate(2026, 3, 20), QDate(2026, 3, 25)});
        db::Dataset d(*f->conn);
        d.setProcedure(QStringLiteral("XmlGetir"));
        d.addParam(QStringLiteral("@key1"), Y);
        d.addParam(QStringLiteral("@key2"), 3);
        d.addParam(QStringLiteral("@key3"), U);
        d.open();
        QCOMPARE(d.recordCount(), 1);
        d.append();
        d.setValue(QStringLiteral("yil"), Y);
        d.setValue(QStringLiteral("ay"), 3);
        d.setValue(QStringLiteral("birimkodu"), U);
        d.setValue(QStringLiteral("idogrenci"), other.toInt());
        d.setValue(QStringLiteral("ogrencino"), QStringLiteral("2023003"));
        d.setValue(QStringLiteral("baslangictarihi"), QDate(2026, 3, 20));
        d.setValue(QStringLiteral("pek"), QStringLiteral("1500,5"));
        d.setValue(QStringLiteral("girisgun"), QStringLiteral("2003"));
        d.setValue(QStringLiteral("sil1"), QStringLiteral("1500.50"));
        d.post();

        const db::ResultRows rows = f->call(QStringLiteral("XmlGetir"), {Y, 3, U});
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(field(rows, 1, "pek").toString(), QStringLiteral("1500,5"));
        QCOMPARE(field(rows, 1, "girisgun").toString(), QStringLiteral("2003"));
        QCOMPARE(field(rows, 1, "baslangictarihi").toDate(), QDate(2026, 3, 20));
    }

    // The login procedure finds the user by name alone, letter case and blanks included; the
    // password is the client's to verify.
    void loginFindsTheUserByName_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("found");
        QTest::newRow("exact") << "admin" << true;
        QTest::newRow("other letter case") << "Admin" << false;
        QTest::newRow("trailing blank") << "admin " << false;
        QTest::newRow("prefix") << "adm" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("pattern characters") << "%" << false;
        QTest::newRow("second user") << "personel" << true;
    }
    void loginFindsTheUserByName()
    {
        QFETCH(QString, user);
        QFETCH(bool, found);
        f->conn->insertRow(QStringLiteral("kullanici"),
                           {{QStringLiteral("kullanici"), QStringLiteral("personel")},
                            {QStringLiteral("sifre"), QStringLiteral("$argon2id$v=19$...")},
                            {QStringLiteral("adsoy"), QStringLiteral("Fatma Karagöz")},
                            {QStringLiteral("birimkodu"), U},
                            {QStringLiteral("yetkitipi"), 2}});
        const db::ResultRows rows =
            f->call(QStringLiteral("BireyGetirLogin"), {user}, {QStringLiteral("@Key1")});
        QCOMPARE(rows.rows.size(), found ? 1 : 0);
        if (found) {
            QCOMPARE(field(rows, 0, "kullanici").toString(), user);
            QCOMPARE(field(rows, 0, "birimkodu").toString(), U);
        }
    }

    void seededInstallation()
    {
        const db::ResultRows login = f->call(QStringLiteral("BireyGetirLogin"), {"admin"});
        QVERIFY(db::verifyPassword(field(login, 0, "sifre").toString(), QStringLiteral("admin")));
        QCOMPARE(field(login, 0, "yetkitipi").toInt(), 1);
        QCOMPARE(field(login, 0, "adsoy").toString(), QStringLiteral("Sistem Yöneticisi"));

        const db::ResultRows parameter = f->call(QStringLiteral("ParametreGetir"), {});
        QCOMPARE(parameter.rows.size(), 1);
        QCOMPARE(field(parameter, 0, "aktifyil").toString(), QStringLiteral("2026"));
        QCOMPARE(field(parameter, 0, "belgemahiyet").toString(), QStringLiteral("A"));
        QCOMPARE(field(parameter, 0, "belgeturu").toString(), QStringLiteral("22"));
        QCOMPARE(field(parameter, 0, "belgeturuyab").toString(), QStringLiteral("43"));
        QCOMPARE(field(parameter, 0, "kanunno").toString(), QStringLiteral("00000"));
        QCOMPARE(field(parameter, 0, "istencikisnedeni").toString(), QStringLiteral("22"));
        for (int m = 1; m <= 12; ++m)
            QCOMPARE(field(parameter, 0, QStringLiteral("au%1").arg(m, 2, 10, QLatin1Char('0')))
                         .toDouble(),
                     33030.0);

        const db::ResultRows workplace = f->call(QStringLiteral("isyerigetir"), {U});
        QCOMPARE(workplace.rows.size(), 1);
        const QString number = field(workplace, 0, "isyerisicil").toString() +
                               field(workplace, 0, "kontrolno").toString() +
                               field(workplace, 0, "isyeriaracino").toString();
        QCOMPARE(number.size(), 26);
        QCOMPARE(field(workplace, 0, "isyerivergino").toString(), QStringLiteral("1234567890"));

        const db::ResultRows statuses =
            f->conn->query(QStringLiteral("select * from statu order by kodu"));
        QCOMPARE(columnTexts(statuses, "kodu"), (QStringList{"1", "2", "3"}));
    }

    void unitsAndWorkplacesByCode()
    {
        f->conn->execute(QStringLiteral("INSERT INTO birim (birimkodu, birimadi) VALUES "
                                        "('03', 'Fen Fakültesi'), ('02', 'Tıp Fakültesi')"));
        f->conn->insertRow(
            QStringLiteral("isyeri"),
            {{QStringLiteral("birimkodu"), QStringLiteral("02")},
             {QStringLiteral("birimadi"), QStringLiteral("Tıp Fakültesi Dekanlığı")}});
        QCOMPARE(columnTexts(f->call(QStringLiteral("BirimGetir"), {}), "birimkodu"),
                 (QStringList{"01", "02", "03"}));
        const db::ResultRows second = f->call(QStringLiteral("isyerigetir"), {"02"});
        QCOMPARE(columnTexts(second, "birimadi"), QStringList{"Tıp Fakültesi Dekanlığı"});
        QCOMPARE(f->call(QStringLiteral("isyerigetir"), {"03"}).rows.size(), 0);
    }

    // The windows use the first parameter row; ParametreGetir delivers the rows by their key.
    void parameterRowsInKeyOrder()
    {
        f->conn->insertRow(QStringLiteral("Parametre"),
                           {{QStringLiteral("aktifyil"), QStringLiteral("2027")}});
        const db::ResultRows rows = f->call(QStringLiteral("ParametreGetir"), {});
        QCOMPARE(columnTexts(rows, "aktifyil"), (QStringList{"2026", "2027"}));
    }

    // Searches: partial, anywhere in the text, Turkish letter case (I/ı, İ/i, Ş/ş ...), the
    // unit's students only, an empty text lists the unit.
    void searchFoldsTurkishCase_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers"); // as delivered, in order

        QTest::newRow("dotless small i finds capital I") << "OgrenciGetirAdi"
                                                         << "ı" << QStringList{"T04", "T01"};
        QTest::newRow("capital I finds dotless i") << "OgrenciGetirAdi"
                                                   << "I" << QStringList{"T04", "T01"};
        QTest::newRow("small i finds capital dotted İ") << "OgrenciGetirAdi"
                                                        << "i" << QStringList{"T06", "T02"};
        QTest::newRow("capital dotted İ finds small i") << "OgrenciGetirAdi"
                                                        << "İ" << QStringList{"T06", "T02"};
        QTest::newRow("IŞIL in capitals") << "OgrenciGetirAdi"
                                          << "IŞIL" << QStringList{"T01"};
        QTest::newRow("inside the name") << "OgrenciGetirAdi"
                                         << "rah" << QStringList{"T02"};
        QTest::newRow("small ş finds capital Ş") << "OgrenciGetirSoyAdi"
                                                 << "ş" << QStringList{"T02", "T01"};
        QTest::newRow("capital Ş finds small ş") << "OgrenciGetirSoyAdi"
                                                 << "Ş" << QStringList{"T02", "T01"};
        QTest::newRow("ŞAH") << "OgrenciGetirSoyAdi"
                             << "ŞAH" << QStringList{"T02"};
        QTest::newRow("çağ") << "OgrenciGetirSoyAdi"
                             << "çağ" << QStringList{"T03"};
        QTest::newRow("ÖZTÜRK") << "OgrenciGetirSoyAdi"
                                << "ÖZTÜRK" << QStringList{"T05"};
        QTest::newRow("Ğ inside") << "OgrenciGetirSoyAdi"
                                  << "OĞ" << QStringList{"T06"};
        QTest::newRow("capital I does not find dotted i") << "OgrenciGetirSoyAdi"
                                                          << "BILGIÇ" << QStringList{};
        QTest::newRow("capital İ finds dotted i") << "OgrenciGetirSoyAdi"
                                                  << "BİLGİÇ" << QStringList{"T04"};
        QTest::newRow("number part")
            << "OgrenciGetirOgrenciNo"
            << "0" << QStringList{"T04", "T03", "T06", "T05", "T02", "T01"};
        QTest::newRow("number with letter in other case") << "OgrenciGetirOgrenciNo"
                                                          << "t03" << QStringList{"T03"};
        QTest::newRow("no match") << "OgrenciGetirAdi"
                                  << "xyz" << QStringList{};
        QTest::newRow("pattern characters are plain text") << "OgrenciGetirAdi"
                                                           << "%" << QStringList{};
        QTest::newRow("underscore is plain text") << "OgrenciGetirSoyAdi"
                                                  << "_" << QStringList{};
        QTest::newRow("empty lists the unit in Turkish order")
            << "OgrenciGetirAdi"
            << "" << QStringList{"T04", "T03", "T06", "T05", "T02", "T01"};
        QTest::newRow("blank is a text like any other") << "OgrenciGetirAdi"
                                                        << " " << QStringList{"T02"};
    }
    void searchFoldsTurkishCase()
    {
        QFETCH(QString, procedure);
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);

        ServerFixture g; // its own database: only these students
        g.addStudent({"T01", "Işıl", "Şen", {}, {}});
        g.addStudent({"T02", "Mehmet İbrahim", "Şahin", {}, {}});
        g.addStudent({"T03", "Ayşe", "Çağlayan", {}, {}});
        g.addStudent({"T04", "Irmak", "Bilgiç", {}, {}, "2"});
        g.addStudent({"T05", "Zeynep", "Öztürk", {}, {}, "1", 1});
        g.addStudent({"T06", "İpek", "Doğan", {}, {}, "3"});
        g.addStudent({"T07", "Işık", "Şimşek", {}, {}, "1", 0, "02"}); // another unit

        const db::ResultRows rows = g.call(procedure, {U, text});
        QCOMPARE(columnTexts(rows, "ogrencino"), numbers);
    }

    // The register lists surnames in Turkish alphabetical order: C Ç ... I İ ... O Ö ... S Ş
    // ... U Ü, with first names ordering equal surnames.
    void searchOrdersByTurkishAlphabet()
    {
        ServerFixture g;
        const QStringList surnames = {"Ünlü",  "Uysal",  "Şahin", "Sarı",  "Öztürk",
                                      "Ozan",  "İnce",   "Işık",  "Ilgaz", "Demir",
                                      "Çelik", "Cengiz", "Güneş", "Gök",   "Ğ"};
        int n = 0;
        for (const QString& s : surnames)
            g.addStudent(
                {QStringLiteral("N%1").arg(++n, 2, 10, QLatin1Char('0')), "Ali", s, {}, {}});
        g.addStudent({"N99", "Ayşe", "Demir", {}, {}});
        g.addStudent({"N98", "Çağla", "Demir", {}, {}});
        g.addStudent({"N97", "Ahmet", "Demir", {}, {}});
        const db::ResultRows rows = g.call(QStringLiteral("OgrenciGetirSoyAdi"), {U, ""});
        QStringList names;
        for (int r = 0; r < rows.rows.size(); ++r)
            names << field(rows, r, "soyadi").toString() + QLatin1Char(' ') +
                         field(rows, r, "adi").toString();
        QCOMPARE(names, (QStringList{"Cengiz Ali", "Çelik Ali", "Demir Ahmet", "Demir Ali",
                                     "Demir Ayşe", "Demir Çağla", "Gök Ali", "Güneş Ali", "Ğ Ali",
                                     "Ilgaz Ali", "Işık Ali", "İnce Ali", "Ozan Ali", "Öztürk Ali",
                                     "Sarı Ali", "Şahin Ali", "Uysal Ali", "Ünlü Ali"}));
    }

    // Texts are declared with their widths, which the client reads to cut what it writes.
    void columnWidthsAreDeclared_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        const QList<std::tuple<const char*, const char*, int>> widths = {
            {"kullanici", "kullanici", 10},
            {"kullanici", "sifre", 255},
            {"kullanici", "adsoy", 50},
            {"kullanici", "birimkodu", 2},
            {"kullanici", "email", 50},
            {"birim", "birimadi", 50},
            {"isyeri", "birimadi", 70},
            {"isyeri", "isyerisicil", 50},
            {"isyeri", "kontrolno", 2},
            {"isyeri", "isyeriaracino", 3},
            {"isyeri", "isyeriunvani", 50},
            {"isyeri", "isyeriadres", 70},
            {"isyeri", "isyerivergino", 20},
            {"isyeri", "vergidairesi", 50},
            {"Parametre", "aktifyil", 4},
            {"statu", "kodu", 1},
            {"statu", "adi", 30},
            {"ogrenci", "ogrencino", 10},
            {"ogrenci", "adi", 50},
            {"ogrenci", "soyadi", 50},
            {"ogrenci", "ilksoyadi", 50},
            {"ogrenci", "tckimlikno", 11},
            {"ogrenci", "ssksicilno", 20},
            {"ogrenci", "statu", 1},
            {"ogrenci", "stajili", 50},
            {"ogrenci", "stajyeri", 150},
            {"ogrenci", "birimkodu", 2},
            {"ogrenci", "birimadi", 50},
            {"ogrenci", "okuladi", 50},
            {"ogrenci", "degistiren", 50},
            {"Puantaj", "yil", 4},
            {"Puantaj", "birimkodu", 2},
            {"Tahakkuk", "yil", 4},
            {"Tahakkuk", "birimkodu", 2},
            {"Xml", "yil", 4},
            {"Xml", "birimkodu", 2},
            {"Xml", "tckimlikno", 11},
            {"Xml", "girisgun", 4},
            {"Xml", "cikisgun", 4},
        };
        for (const auto& [table, column, width] : widths)
            QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(table, column)))
                << QString::fromLatin1(table) << QString::fromLatin1(column) << width;
    }
    void columnWidthsAreDeclared()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, width);
        const db::TableColumn* c = f->conn->tableInfo(table).column(column);
        QVERIFY(c);
        QCOMPARE(c->width, width);
    }

    // A change stamp longer than its column is cut to 50 characters when written.
    void longTextIsCutToItsWidth()
    {
        db::Dataset d(*f->conn);
        d.setProcedure(QStringLiteral("OgrenciGetirOgrenciNo"));
        d.addParam(QStringLiteral("@key1"), U);
        d.addParam(QStringLiteral("@key2"), QStringLiteral("2023001"));
        d.open();
        const QString stamp =
            QStringLiteral("09.12.2026 04:45:42 DEĞİŞİKLİKadmin Sistem Yöneticisi "
                           "ve devamı");
        QVERIFY(stamp.size() > 50);
        d.setValue(QStringLiteral("degistiren"), stamp);
        d.post();
        const db::ResultRows rows =
            f->call(QStringLiteral("OgrenciGetirOgrenciNo"), {U, "2023001"});
        QCOMPARE(field(rows, 0, "degistiren").toString(), stamp.left(50));
    }

    // Date columns are exchanged as dates; an unchecked GSS box stored as empty becomes 0.
    void studentColumnsKeepTheirTypes()
    {
        const db::ResultRows rows =
            f->call(QStringLiteral("OgrenciGetirOgrenciNo"), {U, "2023001"});
        QCOMPARE(field(rows, 0, "baslangictarihi").toDate(), QDate(2026, 3, 1));
        QCOMPARE(field(rows, 0, "gss").toInt(), 0);

        const QVariant id = f->conn->insertRow(
            QStringLiteral("ogrenci"), {{QStringLiteral("ogrencino"), QStringLiteral("2023009")},
                                        {QStringLiteral("gss"), QVariant()}});
        const db::ResultRows added =
            f->call(QStringLiteral("OgrenciGetirOgrenciNo"), {U, "2023009"});
        QCOMPARE(added.rows.size(), 0); // no unit given: not the unit's student
        QCOMPARE(f->count(QStringLiteral("SELECT gss FROM ogrenci WHERE idogrenci = @id"),
                          {{QStringLiteral("@id"), id}}),
                 0);
        const QString typeOf = f->conn->backendName() == QLatin1String("sqlite")
                                   ? QStringLiteral("typeof(gss)")
                                   : QStringLiteral("pg_typeof(gss)::text");
        QCOMPARE(f->count(QStringLiteral("SELECT %1 = 'integer' FROM ogrenci WHERE "
                                         "idogrenci = @id")
                              .arg(typeOf),
                          {{QStringLiteral("@id"), id}}),
                 1);
        QVERIFY_THROWS_EXCEPTION(db::DbError,
                                 f->conn->execute(QStringLiteral("UPDATE ogrenci SET gss = 2")));
    }
};

QTEST_GUILESS_MAIN(TstServerProcedures)
#include "tst_server_procedures.moc"
