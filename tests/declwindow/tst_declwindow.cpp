// The declaration window itself: its controls in both editions, what activation loads, closing,
// the catalog entries, and the two direct statements against the rows their original literal
// form would reach.

#include "app/windowregistry.h"
#include "declaration/declarationpreparation.h"
#include "declwindowfixture.h"
#include "ui/windowcatalog.h"

#include <QFontInfo>
#include <QLabel>

using namespace zelvo;

class TstDeclWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("initialYear");
        QTest::newRow("standard") << false << "Frmxml"
                                  << "Xml - Dosya Oluşturma"
                                  << "2012";
        QTest::newRow("GSS") << true << "Frmxmlgss"
                             << "G.S.S.  Xml - Dosya Oluşturma"
                             << "2008";
    }
    void layout()
    {
        QFETCH(bool, gss);
        QFETCH(QString, objectName);
        QFETCH(QString, title);
        QFETCH(QString, initialYear);
        DeclFixture f;
        f.window.reset(gss ? new TFrmxmlgss(*f.session.context) : new TFrmxml(*f.session.context));
        QCOMPARE(f.window->objectName(), objectName);
        QCOMPARE(f.window->size(), QSize(1084, 740));
        QCOMPARE(f.find<QLineEdit>("Edit1")->text(), initialYear);
        auto* heading = f.find<QLabel>("StaticText1");
        QCOMPARE(heading->text(), title);
        QVERIFY(heading->font().bold());
        QCOMPARE(heading->font().pixelSize(), 21);

        const QList<std::pair<const char*, QString>> buttons = {
            {"SpeedButton1", "(1) Hesapla"},
            {"SpeedButton2", "(2) SGK'ya Gidecek XML dosyasını oluştur."},
            {"SpeedButton11", "(3) Bilgi amaçlı EXCEL dosyasını oluştur."}};
        for (const auto& [name, caption] : buttons)
            QCOMPARE(f.button(name)->text(), caption);
        QCOMPARE(f.button("SpeedButton1")->font().pixelSize(), 13);
        QCOMPARE(f.button("SpeedButton2")->font().pixelSize(), 11);
        QVERIFY(f.window->closeButton());
        QCOMPARE(f.window->closeButton()->objectName(), QStringLiteral("SpeedButton29"));
        QVERIFY(f.find<QWidget>("wwDBNavigator1"));

        controls::DbGrid* grid = f.grid();
        QCOMPARE(grid->size(), QSize(1065, 506));
        QCOMPARE(grid->dataset(), f.find<db::Dataset>("SpXmlListe2"));
        const QStringList fields = {"yil",
                                    "ay",
                                    "ogrencino",
                                    "adi",
                                    "soyadi",
                                    "tckimlikno",
                                    "baslangictarihi",
                                    "bitistarihi",
                                    "pek",
                                    "gun_1",
                                    "girisgun",
                                    "cikisgun",
                                    "istencikisnedeni"};
        const QList<int> widths = {4, 3, 10, 13, 20, 11, 13, 11, 9, 4, 5, 6, 10};
        const auto& columns = grid->datasetModel()->columns();
        QCOMPARE(columns.size(), fields.size());
        for (int c = 0; c < fields.size(); ++c) {
            QCOMPARE(columns.at(c).field, fields.at(c));
            QCOMPARE(columns.at(c).title, fields.at(c));
            QCOMPARE(columns.at(c).widthChars, widths.at(c));
            QVERIFY(columns.at(c).readOnly);
        }
        for (const char* name : {"SpParametre", "SpGetir", "SpXml", "SpXmlListe2"})
            QVERIFY(f.find<db::Dataset>(QString::fromLatin1(name)));
        // the GSS edition has no statement datasets
        QCOMPARE(f.window->findChild<db::Dataset*>("QSil") != nullptr, !gss);
        QCOMPARE(f.window->findChild<db::Dataset*>("QGenel1") != nullptr, !gss);

        f.window->show();
        QVERIFY(f.nothingOffered());
        QVERIFY(f.button("SpeedButton1")->isVisible());
        QCOMPARE(f.find<QLineEdit>("Edit1")->text(), QStringLiteral("2012"));
    }

    void activationAndClosing()
    {
        DeclFixture f;
        QVERIFY(f.session.mainWindow.isVisible());
        f.open();
        QVERIFY(!f.session.mainWindow.isVisible());
        auto* workplace = f.find<db::Dataset>("SpGetir");
        QVERIFY(workplace->isOpen());
        QCOMPARE(workplace->text("isyerisicil"), QStringLiteral("285420101123456700601"));
        QCOMPARE(f.find<db::Dataset>("SpParametre")->text("aktifyil"), QStringLiteral("2012"));

        // the year is read again at every activation, for instance after the window's message
        f.session.setup().execute(QStringLiteral("update Parametre set aktifyil='2013'"));
        f.prepare(1);
        QCOMPARE(f.messages(), QStringList{noRowsText});
        QCOMPARE(f.find<QLineEdit>("Edit1")->text(), QStringLiteral("2013"));

        QTest::mouseClick(f.window->closeButton(), Qt::LeftButton);
        QVERIFY(!f.window->isVisible());
        QVERIFY(f.session.mainWindow.isVisible());
        QVERIFY(!workplace->isOpen());
        QVERIFY(!f.find<db::Dataset>("SpXmlListe2")->isOpen());
    }

    void workplaceColumnsAtActivation_data()
    {
        QTest::addColumn<bool>("gss");
        QTest::addColumn<int>("errors");
        QTest::newRow("standard takes them when the file is written") << false << 0;
        QTest::newRow("GSS needs all ten when opened") << true << 1;
    }
    void workplaceColumnsAtActivation()
    {
        QFETCH(bool, gss);
        QFETCH(int, errors);
        DeclFixture f;
        if (f.session.connection.backendName() != QLatin1String("sqlite"))
            QSKIP("rewrites a procedure body of the embedded catalog");
        // a server whose workplace row lacks the tax office
        f.session.setup().execute(
            QStringLiteral("update zelvo_procedure set body=replace(body, ', vergidairesi', '') "
                           "where name='isyerigetir'"));
        f.open(gss);
        QCOMPARE(f.errors().size(), errors);
        if (errors)
            QVERIFY(f.errors().first().contains(QStringLiteral("vergidairesi")));
    }

    void catalog()
    {
        DeclFixture f;
        ui::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        for (const auto& [className, instance] :
             {std::pair{"TFrmxml", "Frmxml"}, std::pair{"TFrmxmlgss", "Frmxmlgss"}}) {
            QVERIFY(catalog.contains(QString::fromLatin1(className)));
            std::unique_ptr<QDialog> window(
                catalog.create(QString::fromLatin1(className), *f.session.context, nullptr));
            QVERIFY(window);
            QCOMPARE(window->objectName(), QString::fromLatin1(instance));
        }
    }

    // The statements bind year, month and unit. For a unit code that reads the same as text
    // and as a number they reach exactly the rows the statement with the values written in
    // reaches.
    void statementsReachTheLiteralRows_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("month");
        QTest::newRow("unit 12, March") << "12" << 3;
        QTest::newRow("unit 7, December") << "7" << 12;
    }
    void statementsReachTheLiteralRows()
    {
        QFETCH(QString, unit);
        QFETCH(int, month);
        DeclFixture f;
        if (f.session.connection.backendName() != QLatin1String("sqlite"))
            QSKIP("the literal statements compare text columns with bare numbers, which only "
                  "the embedded database's type affinity takes");
        int n = 0;
        for (const QString& u : {unit, QStringLiteral("01"), QStringLiteral("99")})
            for (bool gss : {false, true})
                for (int m : {month, month == 12 ? 11 : month + 1}) {
                    StudentData s{QStringLiteral("N%1").arg(++n)};
                    s.unit = u;
                    s.gss = gss;
                    const int id = f.addStudent(s);
                    f.addAccrual(id, m, QStringLiteral("1000.00"), 30, u);
                    f.session.setup().execute(
                        QStringLiteral("insert into Xml (idogrenci, yil, ay, birimkodu) values "
                                       "(@id, '2012', @ay, @u)"),
                        {{"@id", id}, {"@ay", m}, {"@u", u}});
                }
        const db::Params bound = {
            {"@yil", QStringLiteral("2012")}, {"@ay", month}, {"@birimkodu", unit}};
        auto ids = [](const db::ResultRows& rows) {
            QStringList list;
            for (const auto& row : rows.rows)
                list << row.at(0).toString();
            return list;
        };
        const QString literalSource =
            QStringLiteral("SELECT  o.idogrenci,o.ogrencino,o.adi,o.soyadi,o.ssksicilno,"
                           "o.tckimlikno,o.baslangictarihi,o.bitistarihi,\r\np.yil,p.ay,p.gun,"
                           "p.kazanc,p.matrah,p.isveren,p.isci,o.idogrenci,o.birimkodu,o.stajili,"
                           "o.stajyeri,o.ilksoyadi\r\nFROM     Tahakkuk p, Ogrenci O\r\nWHERE  "
                           "o.idogrenci=p.idogrenci and\r\np.yil=\r\n2012\r\n and p.ay=\r\n%1\r\n"
                           " and p.birimkodu=\r\n%2\r\n and o.gss=0\r\norder by o.ogrencino,"
                           "o.adi,o.soyadi\r\n")
                .arg(month)
                .arg(unit);
        const db::ResultRows boundRows =
            f.session.setup().query(declaration::sourceStatement(), bound);
        const db::ResultRows literalRows = f.session.setup().query(literalSource);
        QCOMPARE(boundRows.columns, literalRows.columns);
        QCOMPARE(ids(boundRows), ids(literalRows));
        QCOMPARE(ids(boundRows).size(), 1);

        const QString remaining = QStringLiteral("select idogrenci from Xml order by idogrenci");
        QStringList afterLiteral;
        {
            // the literal removal is rolled back when the guard goes out of scope
            db::Transaction literal(f.session.connection);
            f.session.setup().execute(
                QStringLiteral("delete from Xml where yil=\r\n2012\r\n and ay=\r\n%1\r\n and "
                               "birimkodu=\r\n%2\r\n and idogrenci in\r\n(select distinct "
                               "idogrenci from ogrenci where gss=0)\r\n")
                    .arg(month)
                    .arg(unit));
            afterLiteral = ids(f.session.setup().query(remaining));
        }
        QCOMPARE(f.count(QStringLiteral("select count(*) from Xml")), n);
        QCOMPARE(f.session.setup().execute(declaration::removalStatement(), bound), 1);
        QCOMPARE(ids(f.session.setup().query(remaining)), afterLiteral);
        QCOMPARE(afterLiteral.size(), n - 1);
    }
};

QTEST_MAIN(TstDeclWindow)
#include "tst_declwindow.moc"
