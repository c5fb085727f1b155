// Two workstations on one student: the register's store of a row another workstation changed or
// deleted since the search is refused; the window says who changed it, lists what was typed and
// loads the stored row or lets the user go on editing. Its own stores never conflict.

#include "db/signedinuser.h"
#include "registerfixture.h"

#include <QTemporaryDir>

using namespace zelvo;

class TstRegisterConflict : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<RegisterFixture> f;
    std::unique_ptr<db::Connection> other;
    int id = 0;

    QString storedName() { return f->stored(id, QStringLiteral("adi")).toString(); }
    QStringList questions() const
    {
        return f->session.dialogs.texts(ScriptedDialogs::Kind::Question);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(folder.filePath(QStringLiteral("zelvo.db")));
        f = std::make_unique<RegisterFixture>(true, folder.filePath(QStringLiteral("zelvo.db")));
        other = std::make_unique<db::Connection>();
        f->session.openSecondWorkstation(*other);
        db::recordSignedInUser(*other, QStringLiteral("mehmet"));
        f->search(2, QString());
        id = f->students()->value("idogrenci").toInt();
    }
    void cleanup()
    {
        other.reset();
        f.reset();
    }

    void refusedStore_data()
    {
        QTest::addColumn<bool>("deleted"); // the other workstation deleted the student
        QTest::addColumn<bool>("load");    // the answer: load the stored row
        QTest::newRow("changed, load") << false << true;
        QTest::newRow("changed, keep editing") << false << false;
        QTest::newRow("deleted, load") << true << true;
        QTest::newRow("deleted, keep editing") << true << false;
    }
    void refusedStore()
    {
        QFETCH(bool, deleted);
        QFETCH(bool, load);
        const int rows = f->students()->recordCount();
        if (deleted)
            other->execute(QStringLiteral("DELETE FROM ogrenci WHERE idogrenci = @id"),
                           {{QStringLiteral("@id"), id}});
        else
            other->execute(
                QStringLiteral("UPDATE ogrenci SET adi = 'Başkası' WHERE idogrenci = @id"),
                {{QStringLiteral("@id"), id}});
        f->retype("DBEdit2", QStringLiteral("Benimki"));
        f->session.dialogs.answers = {load};
        f->press("Post");

        QCOMPARE(questions().size(), 1);
        const QString asked = questions().first();
        const QString refusal =
            deleted ? QStringLiteral("silindi. Değişikliğiniz kaydedilmedi.")
                    : QStringLiteral("değiştirildi (%1, ")
                          .arg(f->session.connection.backendName() == QLatin1String("sqlite")
                                   ? QStringLiteral("mehmet")
                                   : other->query(QStringLiteral("SELECT session_user"))
                                         .rows[0][0]
                                         .toString());
        QVERIFY2(asked.startsWith("Bu kayıt siz açtıktan sonra başka bir kullanıcı tarafından "),
                 qPrintable(asked));
        QVERIFY2(asked.contains(refusal), qPrintable(asked));
        QVERIFY2(asked.contains("adi: Benimki"), qPrintable(asked));
        QVERIFY(f->session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
        QCOMPARE(storedName(), deleted ? QString() : QStringLiteral("Başkası"));

        if (load) {
            QCOMPARE(f->students()->state(), db::Dataset::State::Browse);
            QCOMPARE(f->students()->recordCount(), deleted ? rows - 1 : rows);
            if (!deleted) {
                QCOMPARE(f->students()->value("idogrenci").toInt(), id);
                QCOMPARE(f->find<QLineEdit>("DBEdit2")->text(), QStringLiteral("Başkası"));
            }
            return;
        }
        // still as typed; storing it again is refused again
        QCOMPARE(f->students()->state(), db::Dataset::State::Edit);
        QCOMPARE(f->find<QLineEdit>("DBEdit2")->text(), QStringLiteral("Benimki"));
        f->session.dialogs.answers = {true};
        f->press("Post");
        QCOMPARE(questions().size(), 2);
        QCOMPARE(storedName(), deleted ? QString() : QStringLiteral("Başkası"));
    }

    // Storing from the same screen twice, moving on and storing the next row: nothing is asked.
    void ownStoresGoThrough()
    {
        f->retype("DBEdit2", QStringLiteral("Bir"));
        f->press("Post");
        f->retype("DBEdit2", QStringLiteral("İki"));
        f->press("Post");
        QCOMPARE(storedName(), QStringLiteral("İki"));
        f->press("Next");
        f->retype("DBEdit2", QStringLiteral("Üç"));
        f->press("Post");
        f->press("Prior");
        f->retype("DBEdit2", QStringLiteral("Dört"));
        f->press("Post");
        QCOMPARE(storedName(), QStringLiteral("Dört"));
        QVERIFY(questions().isEmpty());
        QVERIFY(f->session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
    }
};

QTEST_MAIN(TstRegisterConflict)
#include "tst_registerconflict.moc"
