// The register window's layout, its searches and the one current row of panel and grid.

#include "app/windowregistry.h"
#include "controls/boundcontrols.h"
#include "registerfixture.h"
#include "ui/windowcatalog.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>

using namespace zelvo;

class TstRegisterSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutBeforeTheFirstSearch()
    {
        RegisterFixture f;
        QCOMPARE(f.window->objectName(), QStringLiteral("FrmPSicil"));
        QCOMPARE(f.window->size(), QSize(1084, 705));
        QVERIFY(!f.session.mainWindow.isVisible());
        QVERIFY(!f.find<QWidget>("Panel2")->isVisible());
        QVERIFY(!f.grid()->isVisible());
        QVERIFY(f.searchBox()->text().isEmpty());

        auto* criteria = f.find<QGroupBox>("RadioGroup1");
        QCOMPARE(criteria->title(), QStringLiteral("Arama Kriteri"));
        QCOMPARE(f.criterion(0)->text(), QStringLiteral("Adı"));
        QCOMPARE(f.criterion(1)->text(), QStringLiteral("Soyadı"));
        QCOMPARE(f.criterion(2)->text(), QStringLiteral("Numarası"));
        QCOMPARE(f.checkedCriterion(), 0);
        QVERIFY(f.searchBox()->hasFocus());

        QCOMPARE(f.searchBox()->width(), 185);
        QVERIFY(f.searchBox()->font().bold());
        QCOMPARE(f.searchBox()->font().pixelSize(), 13);
        QCOMPARE(f.searchBox()->palette().color(QPalette::Text), QColor(128, 0, 0));

        auto* show = f.find<QToolButton>("SpeedButton5");
        QCOMPARE(show->text(), QStringLiteral("Göster"));
        QVERIFY(show->font().bold());
        QVERIFY(!show->icon().isNull());

        QStringList buttons;
        for (QToolButton* b : f.find<QWidget>("DBNavigator1")->findChildren<QToolButton*>())
            buttons << b->objectName();
        QCOMPARE(buttons, QStringList({"First", "Prior", "Next", "Last", "Insert", "Post"}));

        auto* remove = f.find<QPushButton>("Button1");
        QCOMPARE(remove->text(), QStringLiteral("ÖĞRENCİYİ SİL"));
        QVERIFY(remove->font().bold());
        QCOMPARE(remove->palette().color(QPalette::ButtonText), QColor(Qt::red));
        QVERIFY(f.window->closeButton());
        QCOMPARE(f.window->closeButton()->objectName(), QStringLiteral("SpeedButton29"));
    }

    void editPanelControls()
    {
        RegisterFixture f;
        auto* status = f.find<controls::DbRadioGroup>("DBRadioGroup1");
        QCOMPARE(status->title(), QStringLiteral("Statüsü"));
        QCOMPARE(status->item(0)->text(), QStringLiteral("( 1 ) Staj - AKTİF"));
        QCOMPARE(status->item(1)->text(), QStringLiteral("( 2 ) Staj - PASİF"));
        QCOMPARE(status->item(2)->text(), QStringLiteral("( 3 ) Staj- TAMAMLADI"));
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(0, 0, 128));

        QStringList captions;
        for (QLabel* label : f.find<QWidget>("Panel2")->findChildren<QLabel*>())
            captions << label->text();
        for (const char* caption :
             {"No :", "Adı :", "Soyadı :", "T.C. Kimlik No :", "SSK Numarası :",
              "İlk-Eski Soyadı :", "Staj Başlangıç Tarihi :", "Staj Bitiş Tarihi :"})
            QVERIFY2(captions.contains(QString::fromUtf8(caption)), caption);
        for (int i = 1; i <= 6; ++i) {
            auto* box = f.find<QLineEdit>(QStringLiteral("DBEdit%1").arg(i));
            QVERIFY(box->font().bold());
            QCOMPARE(box->font().pixelSize(), 13);
            QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::blue));
        }
        QCOMPARE(f.find<QLineEdit>("DBEdit1")->toolTip(),
                 QStringLiteral("Aynı Kurum Numarası sadece 1 kişiye verilebilir.\n"
                                "Kurum No boş geçilemez."));

        auto* lookup = f.find<QComboBox>("DBLookupComboBox1");
        QCOMPARE(lookup->count(), 3); // the status rows, read when the window was created
        QCOMPARE(lookup->itemText(1), QStringLiteral("Staj - PASİF"));
        QCOMPARE(lookup->itemData(1).toString(), QStringLiteral("2"));
        QVERIFY(f.find<controls::DbDateEdit>("DBDateEdit1")->calendarPopup());
        QVERIFY(f.find<controls::DbDateEdit>("DBDateEdit2")->calendarPopup());
        auto* gss = f.find<QCheckBox>("DBCheckBox1");
        QCOMPARE(gss->text(), QStringLiteral("Genel Sağlık Sigortası Primi ÖDENECEK"));
        QVERIFY(gss->font().bold());
        QCOMPARE(gss->palette().color(QPalette::WindowText), QColor(Qt::red));
    }

    void gridColumns()
    {
        RegisterFixture f;
        f.search(0, QString());
        QVERIFY(f.grid()->isVisible());
        QVERIFY(f.find<QWidget>("Panel2")->isVisible());
        const auto& columns = f.grid()->datasetModel()->columns();
        const QStringList fields = {"ogrencino",  "adi",       "soyadi",          "tckimlikno",
                                    "ssksicilno", "statu",     "baslangictarihi", "bitistarihi",
                                    "gss",        "ilksoyadi", "stajili",         "stajyeri"};
        const QStringList titles = {"Numarası",         "Adı",
                                    "Soyadı",           "T.C. Kimlik No",
                                    "SSK Sicil no",     "Statü",
                                    "Başlangıç Tarihi", "Bitiş tarihi",
                                    "GSS Ödenecek",     "İlk / Eski soyadı",
                                    "Staj Yaptığı İl",  "Staj Yaptığı Kurum"};
        const QList<int> widths = {10, 15, 17, 14, 14, 3, 10, 12, 5, 18, 20, 50};
        QCOMPARE(columns.size(), fields.size());
        for (int i = 0; i < columns.size(); ++i) {
            QCOMPARE(columns.at(i).field, fields.at(i));
            QCOMPARE(QString(columns.at(i).title).replace('\n', ' '), titles.at(i));
            QCOMPARE(columns.at(i).widthChars, widths.at(i));
            QCOMPARE(columns.at(i).checkBox, fields.at(i) == "gss");
        }
        QCOMPARE(f.grid()->datasetModel()->objectName(), QStringLiteral("DsOgrenciGetir"));
        // a number and a date fit their columns whole; the check box column holds its title
        const QFontMetrics body(f.grid()->font());
        QVERIFY(f.grid()->columnWidth(0) > body.horizontalAdvance("2022101002"));
        QVERIFY(f.grid()->columnWidth(6) > body.horizontalAdvance("28-01-2026"));
        QVERIFY(f.grid()->columnWidth(8) >
                QFontMetrics(f.grid()->horizontalHeader()->font()).horizontalAdvance("Ödenecek"));
        QVERIFY(f.grid()->columnWidth(11) > f.grid()->columnWidth(10));
        // Gülşah Öztürk: dates as DD-MM-YYYY, gss as a check box
        const int row = f.gridColumn(0).indexOf("2022101004");
        QVERIFY(row >= 0);
        const QAbstractItemModel* model = f.grid()->model();
        QCOMPARE(model->index(row, 6).data().toString(), QStringLiteral("02-01-2026"));
        QCOMPARE(model->index(row, 7).data().toString(), QStringLiteral("28-01-2026"));
        QCOMPARE(model->index(row, 8).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        const int gssRow = f.gridColumn(0).indexOf("2022101016");
        QCOMPARE(model->index(gssRow, 8).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(model->flags(model->index(row, 1)) & Qt::ItemIsEditable);
    }

    void findsByPartOfTheText_data()
    {
        QTest::addColumn<int>("criterion");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        // Names with Turkish letters, typed in either case; the rows in surname order.
        QTest::newRow("name ışı") << 0 << "ışı" << QStringList{"2022101002"};
        QTest::newRow("name IŞI") << 0 << "IŞI" << QStringList{"2022101002"};
        QTest::newRow("name İBRA") << 0 << "İBRA" << QStringList{"2022101003"};
        QTest::newRow("name ibra") << 0 << "ibra" << QStringList{"2022101003"};
        QTest::newRow("name Ü") << 0 << "Ü"
                                << QStringList{"2022101020", "2022101014", "2022101004"};
        QTest::newRow("name ğu") << 0 << "ğu"
                                 << QStringList{"2022101021", "2022101017", "2022101011"};
        QTest::newRow("surname ŞAH") << 1 << "ŞAH" << QStringList{"2022101003"};
        QTest::newRow("surname ılgaz") << 1 << "ılgaz" << QStringList{"2022101006"};
        QTest::newRow("surname ILGAZ") << 1 << "ILGAZ" << QStringList{"2022101006"};
        QTest::newRow("surname öz") << 1 << "öz" << QStringList{"2022101015", "2022101004"};
        QTest::newRow("surname çel") << 1 << "ÇEL" << QStringList{"2022101014"};
        QTest::newRow("number middle")
            << 2 << "10100"
            << QStringList{"2022101009", "2022101002", "2022101007", "2022101006", "2022101008",
                           "2022101004", "2022101003", "2022101005", "2022101001"};
        QTest::newRow("number whole") << 2 << "2022101021" << QStringList{"2022101021"};
    }
    void findsByPartOfTheText()
    {
        QFETCH(int, criterion);
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        RegisterFixture f;
        // a student of another unit never shows up
        f.session.addStudent("9900000001", "Işıl İbrahim", "Şahin Öztürk", {}, {}, false, "1",
                             "02");
        f.search(criterion, text);
        QCOMPARE(f.gridColumn(0), numbers);
        QVERIFY(f.messages().isEmpty());
        QCOMPARE(f.students()->procedure(),
                 QStringList({"OgrenciGetirAdi", "OgrenciGetirSoyAdi", "OgrenciGetirOgrenciNo"})
                     .at(criterion));
        QCOMPARE(f.students()->params().at(0).value.toString(), QStringLiteral("01"));
        QCOMPARE(f.students()->params().at(1).value.toString(), text);
        // the focus goes into the grid, on the first row
        QVERIFY(f.grid()->hasFocus());
        QCOMPARE(f.students()->currentIndex(), 0);
        QCOMPARE(f.grid()->currentIndex().row(), 0);
    }

    void emptyTextListsTheUnit()
    {
        RegisterFixture f;
        f.session.addStudent("9900000001", "Başka", "Birim", {}, {}, false, "1", "02");
        f.search(0, QString());
        QCOMPARE(f.gridColumn(0).size(), 21);
        QVERIFY(!f.gridColumn(0).contains("9900000001"));
    }

    void searchTextIsSentAsTyped()
    {
        RegisterFixture f;
        f.search(0, QStringLiteral(" Ahmet")); // no trimming: the blank is part of the text
        QCOMPARE(f.messages(), QStringList{"Kayıt bulunamadı"});
        f.session.dialogs.clear();
        f.search(0, QStringLiteral("%")); // no wildcard either
        QCOMPARE(f.messages(), QStringList{"Kayıt bulunamadı"});
    }

    void searchFollowsTheUnitOfTheLoginRowNow()
    {
        RegisterFixture f;
        f.session.addStudent("5500000001", "Ahmet", "Başka", {}, {}, false, "1", "05");
        f.session.setup().execute(
            QStringLiteral("update kullanici set birimkodu='05' where kullanici='admin'"));
        f.session.relogin("admin", "admin");
        f.search(0, QStringLiteral("ahmet"));
        QCOMPARE(f.gridColumn(0), QStringList{"5500000001"});
    }

    void noMatch_data()
    {
        QTest::addColumn<int>("criterion");
        QTest::addColumn<QString>("text");
        QTest::newRow("name") << 0 << "Xavier";
        QTest::newRow("surname") << 1 << "Ahmet";
        QTest::newRow("number") << 2 << "abc";
    }
    void noMatch()
    {
        QFETCH(int, criterion);
        QFETCH(QString, text);
        RegisterFixture f;
        f.search(criterion, text);
        QCOMPARE(f.messages(), QStringList{"Kayıt bulunamadı"});
        // the grid and the panel show the empty result
        QVERIFY(f.grid()->isVisible());
        QVERIFY(f.find<QWidget>("Panel2")->isVisible());
        QCOMPARE(f.grid()->model()->rowCount(), 0);
        // the activation ran again after the message
        QCOMPARE(f.checkedCriterion(), 0);
        QVERIFY(f.searchBox()->hasFocus());
        QCOMPARE(f.searchBox()->text(), text);
    }

    void panelAndGridShowOneRow()
    {
        RegisterFixture f;
        f.search(1, QString()); // all, by surname
        auto* number = f.find<QLineEdit>("DBEdit1");
        auto* surname = f.find<QLineEdit>("DBEdit3");
        auto* status = f.find<controls::DbRadioGroup>("DBRadioGroup1");
        auto* lookup = f.find<QComboBox>("DBLookupComboBox1");
        auto* gss = f.find<QCheckBox>("DBCheckBox1");
        auto* start = f.find<controls::DbDateEdit>("DBDateEdit1");
        auto* former = f.find<QLineEdit>("DBEdit6");

        auto checkShown = [&](int row) {
            QCOMPARE(f.students()->currentIndex(), row);
            QCOMPARE(f.grid()->currentIndex().row(), row);
            QCOMPARE(number->text(), f.gridColumn(0).at(row));
            QCOMPARE(surname->text(), f.gridColumn(2).at(row));
            const QString code = f.students()->text("statu");
            QVERIFY(status->item(code.toInt() - 1)->isChecked());
            QCOMPARE(lookup->currentData().toString(), code);
            QCOMPARE(gss->isChecked(), f.students()->value("gss").toInt() == 1);
            QCOMPARE(start->shownDate(), f.students()->value("baslangictarihi").toDate());
        };
        checkShown(0);
        // the grid moves the panel
        const int gulsah = f.gridColumn(0).indexOf("2022101004");
        f.grid()->setCurrentIndex(f.grid()->model()->index(gulsah, 2));
        checkShown(gulsah);
        QCOMPARE(former->text(), QStringLiteral("Ağaoğlu"));
        // the navigator moves both
        f.press("Last");
        checkShown(20);
        f.press("Prior");
        checkShown(19);
        f.press("First");
        checkShown(0);
        f.press("Next");
        checkShown(1);
        // a passive GSS student
        const int cagatay = f.gridColumn(0).indexOf("2022101019");
        f.grid()->setCurrentIndex(f.grid()->model()->index(cagatay, 0));
        checkShown(cagatay);
        QVERIFY(gss->isChecked());
        QVERIFY(status->item(1)->isChecked());
    }

    void catalogOpensAFreshRegister()
    {
        TestSession session;
        ui::WindowCatalog catalog;
        app::registerAllWindows(catalog);
        QVERIFY(catalog.contains("TFrmPSicil"));
        std::unique_ptr<QDialog> first(catalog.create("TFrmPSicil", *session.context, nullptr));
        QCOMPARE(first->objectName(), QStringLiteral("FrmPSicil"));
        first->findChild<QLineEdit*>("Edit1")->setText("Ahmet");
        std::unique_ptr<QDialog> second(catalog.create("TFrmPSicil", *session.context, nullptr));
        QVERIFY(second->findChild<QLineEdit*>("Edit1")->text().isEmpty());
    }
};

QTEST_MAIN(TstRegisterSearch)
#include "tst_registersearch.moc"
