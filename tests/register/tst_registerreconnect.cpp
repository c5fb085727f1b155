// The register on a server whose session ends under a store: the store is reported as not made,
// the window keeps what was typed, and the next press stores it.

#include "registerfixture.h"

using namespace zelvo;

// The first store of a student ends its own session half-way, as a restart of the server would.
// The trigger runs as the signed-in user, who may end their own session.
const char* const CutFirstStore = R"(
    CREATE SEQUENCE kes_sayac;
    GRANT USAGE ON SEQUENCE kes_sayac TO PUBLIC;
    CREATE FUNCTION kes_oturum() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN
        IF nextval('kes_sayac') = 1 THEN
            PERFORM pg_terminate_backend(pg_backend_pid());
            PERFORM pg_sleep(5);
        END IF;
        RETURN NEW;
    END $$;
    CREATE TRIGGER kes BEFORE UPDATE ON ogrenci
        FOR EACH ROW EXECUTE FUNCTION kes_oturum())";

class TstRegisterReconnect : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedChangeOutlivesTheSession()
    {
        RegisterFixture f;
        f.search(2, QString());
        const int id = f.students()->value("idogrenci").toInt();
        f.retype("DBEdit2", QStringLiteral("Kalıcı"));
        QCOMPARE(pgtest::runScript(f.session.serverDatabase->db(), CutFirstStore), QString());

        f.press("Post");
        const QStringList errors = f.session.dialogs.texts(ScriptedDialogs::Kind::Error);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith("Sunucu bağlantısı koptu; yeniden bağlanıldı. Son işlem "
                                      "kaydedilmedi, yeniden deneyin.\n("),
                 qPrintable(errors[0]));
        QCOMPARE(f.students()->state(), db::Dataset::State::Edit);
        QCOMPARE(f.find<QLineEdit>("DBEdit2")->text(), QStringLiteral("Kalıcı"));
        QVERIFY(f.stored(id, "adi").toString() != QStringLiteral("Kalıcı"));

        f.press("Post");
        QCOMPARE(f.session.dialogs.texts(ScriptedDialogs::Kind::Error).size(), 1);
        QCOMPARE(f.stored(id, "adi").toString(), QStringLiteral("Kalıcı"));
    }
};

QTEST_MAIN(TstRegisterReconnect)
#include "tst_registerreconnect.moc"
