// The register on a server whose session ends under a store: the store is reported as not made,
// the window keeps what was typed, and the next press stores it.

#include "registerfixture.h"

using namespace zelvo;

class TstRegisterReconnect : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedChangeOutlivesTheSession_data()
    {
        QTest::addColumn<bool>("newStudent");
        QTest::newRow("changed student") << false;
        QTest::newRow("new student") << true;
    }
    void typedChangeOutlivesTheSession()
    {
        QFETCH(bool, newStudent);
        RegisterFixture f;
        QCOMPARE(f.session.connection.backendName(), QStringLiteral("postgresql"));
        f.search(2, QString());
        const int id = f.students()->value("idogrenci").toInt();
        const int students = f.count("select count(*) from ogrenci");
        if (newStudent) {
            f.press("Insert");
            f.retype("DBEdit1", QStringLiteral("2026999003"));
            f.retype("DBEdit3", QStringLiteral("Kopuk"));
        }
        f.retype("DBEdit2", QStringLiteral("Kalıcı"));
        // the first store of a student ends its own session half-way, as a restart would
        QCOMPARE(pgtest::runScript(f.session.serverDatabase->connect("observer"),
                                   "CREATE SEQUENCE kes_sayac;"
                                   "CREATE FUNCTION kes_oturum() RETURNS trigger "
                                   "LANGUAGE plpgsql AS $$ BEGIN "
                                   "IF nextval('kes_sayac') = 1 THEN "
                                   "PERFORM pg_terminate_backend(pg_backend_pid()); "
                                   "PERFORM pg_sleep(5); END IF; RETURN NEW; END $$;"
                                   "CREATE TRIGGER kes BEFORE INSERT OR UPDATE ON ogrenci "
                                   "FOR EACH ROW EXECUTE FUNCTION kes_oturum()"),
                 QString());

        f.press("Post");
        const QStringList errors = f.session.dialogs.texts(ScriptedDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith("Sunucu bağlantısı koptu; yeniden bağlanıldı. Son "
                                           "işlem kaydedilmedi, yeniden deneyin.\n("),
                 qPrintable(errors.first()));
        QCOMPARE(f.students()->state(),
                 newStudent ? db::Dataset::State::Insert : db::Dataset::State::Edit);
        QCOMPARE(f.find<QLineEdit>("DBEdit2")->text(), QStringLiteral("Kalıcı"));
        QCOMPARE(f.count("select count(*) from ogrenci"), students);

        f.press("Post");
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 1);
        QCOMPARE(f.students()->state(), db::Dataset::State::Browse);
        const int stored = newStudent ? f.idOf("2026999003") : id;
        QCOMPARE(f.stored(stored, "adi").toString(), QStringLiteral("Kalıcı"));
        QCOMPARE(f.count("select count(*) from ogrenci"), students + (newStudent ? 1 : 0));
    }
};

QTEST_MAIN(TstRegisterReconnect)
#include "tst_registerreconnect.moc"
