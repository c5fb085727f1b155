#include "app/demodatabase.h"
#include "app/startup.h"
#include "db/passwordhash.h"
#include "db/settings.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvo;

// What happens before the first window: Qt's own Turkish texts, the command line and the
// demonstration database.
class TstStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        app::identifyApplication();
    }

    void standardButtonsSpeakTurkish_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("OK") << int(QDialogButtonBox::Ok) << QStringLiteral("Tamam");
        QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel) << QStringLiteral("İptal");
        QTest::newRow("Save") << int(QDialogButtonBox::Save) << QStringLiteral("Kaydet");
        QTest::newRow("Close") << int(QDialogButtonBox::Close) << QStringLiteral("Kapat");
    }
    void standardButtonsSpeakTurkish()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        static const bool loaded = app::installQtTranslations();
        QVERIFY2(loaded, "qtbase_tr is not installed (qt6-translations-l10n)");
        QDialogButtonBox box{QDialogButtonBox::StandardButton(button)};
        QCOMPARE(box.button(QDialogButtonBox::StandardButton(button))->text().remove(u'&'), text);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<int>("exitCode"); // -1: the program goes on to its windows
        QTest::addColumn<QString>("printed");
        QTest::newRow("nothing") << QStringList() << false << -1 << QString();
        QTest::newRow("demo") << QStringList{QStringLiteral("--demo")} << true << -1 << QString();
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << false << 0
                                 << QStringLiteral("Zelvo 1.0\n");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << false << 0
                              << QStringLiteral("--demo");
        QTest::newRow("help with Qt's options")
            << QStringList{QStringLiteral("--help-all")} << false << 0 << QStringLiteral("--demo");
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--demmo")} << false << 1 << QStringLiteral("demmo");
        QTest::newRow("stray argument")
            << QStringList{QStringLiteral("demo")} << false << 1 << QStringLiteral("demo");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, demo);
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        const app::CommandLine line =
            app::parseCommandLine(QStringList{QStringLiteral("zelvo")} + arguments);
        QCOMPARE(line.demo, demo);
        QCOMPARE(line.finished, exitCode >= 0);
        if (exitCode < 0)
            return;
        QCOMPARE(line.exitCode, exitCode);
        const QString text = exitCode == 0 ? line.output : line.errorOutput;
        QVERIFY2(text.contains(printed), qPrintable(text));
        QCOMPARE((exitCode == 0 ? line.errorOutput : line.output), QString());
    }

    // `--install-schema` goes on to the installation, which only a server database needs: on
    // the embedded one the program says so and ends with status 1.
    void installSchemaNeedsAServer()
    {
        app::CommandLine line =
            app::parseCommandLine({QStringLiteral("zelvo"), QStringLiteral("--install-schema")});
        QVERIFY(line.installSchema);
        QVERIFY(!line.finished);
        QTemporaryDir dir;
        const QString settingsPath = dir.filePath(QStringLiteral("zelvo.ini"));
        {
            QSettings ini(settingsPath, QSettings::IniFormat);
            ini.setValue(QStringLiteral("database/kind"), QStringLiteral("sqlite"));
            ini.setValue(QStringLiteral("database/file"), dir.filePath(QStringLiteral("z.db")));
        }
        app::installSchemaFromCommandLine(line, settingsPath);
        QVERIFY(line.finished);
        QCOMPARE(line.exitCode, 1);
        QVERIFY2(line.errorOutput.contains(QLatin1String("kind=postgresql")),
                 qPrintable(line.errorOutput));
        QCOMPARE(line.output, QString());
    }

    // The demo is built anew in its own file: whatever the last demo left is gone, the user's
    // database is not touched, and the staff user logs in with the password the README gives.
    void demoDatabaseIsFreshAndSeparate()
    {
        QCOMPARE(QFileInfo(app::demoDatabasePath()).dir(),
                 QFileInfo(db::defaultDatabasePath()).dir());
        QVERIFY(app::demoDatabasePath() != db::defaultDatabasePath());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zelvo-demo.db"));
        const QString userPath = dir.filePath(QStringLiteral("zelvo.db"));
        {
            db::Connection user;
            user.openSqlite(userPath);
            user.execute(QStringLiteral("update birim set birimadi='Kendi birimim'"));
        }
        for (int start = 0; start < 2; ++start) {
            db::Connection demo;
            app::openDemoDatabase(demo, path);
            QCOMPARE(demo.filePath(), QFileInfo(path).absoluteFilePath());
            QCOMPARE(count(demo, "select count(*) from ogrenci where gss=0"), 17);
            QCOMPARE(count(demo, "select count(*) from ogrenci where gss=1"), 4);
            const QString stored =
                demo.query(QStringLiteral("select sifre from kullanici where kullanici='personel'"))
                    .rows.value(0)
                    .value(0)
                    .toString();
            QVERIFY(db::verifyPassword(stored, QStringLiteral("zelvo2026")));
            // what this demo changes, the next one does not see
            QCOMPARE(count(demo, "select count(*) from ogrenci where ogrencino='9999'"), 0);
            demo.execute(QStringLiteral("insert into ogrenci (ogrencino, adi, soyadi, birimkodu) "
                                        "values ('9999', 'Deneme', 'Kayıt', '01')"));
        }
        db::Connection user;
        user.openSqlite(userPath, db::Connection::OpenMode::MustExist);
        QCOMPARE(count(user, "select count(*) from ogrenci"), 0);
        QCOMPARE(user.query(QStringLiteral("select birimadi from birim")).rows.value(0).value(0),
                 QVariant(QStringLiteral("Kendi birimim")));
    }

private:
    static int count(db::Connection& connection, const char* sql)
    {
        return connection.query(QString::fromLatin1(sql)).rows.value(0).value(0).toInt();
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
