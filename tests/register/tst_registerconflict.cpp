// Two workstations on one student: the register's store of a row another workstation changed
// since the search is refused; the window lists what was typed and loads the stored row or lets
// the user go on editing.

#include "registerfixture.h"

#include <QTemporaryDir>

using namespace zelvo;

class TstRegisterConflict : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<RegisterFixture> f;
    std::unique_ptr<db::Connection> other;
    int id = 0;

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
        f->search(2, QString());
        id = f->students()->value("idogrenci").toInt();
    }
    void cleanup()
    {
        other.reset();
        f.reset();
    }

    // The message lists what was typed; Yes loads the stored row, No keeps the typed one, whose
    // next store is refused again. The refusal itself is the database layer's.
    void refusedStore_data()
    {
        QTest::addColumn<bool>("load");
        QTest::newRow("load the stored row") << true;
        QTest::newRow("keep editing") << false;
    }
    void refusedStore()
    {
        QFETCH(bool, load);
        other->execute(QStringLiteral("UPDATE ogrenci SET adi = 'Başkası' WHERE idogrenci = @id"),
                       {{QStringLiteral("@id"), id}});
        f->retype("DBEdit2", QStringLiteral("Benimki"));
        f->session.dialogs.answers = {load, false};
        f->press("Post");
        QCOMPARE(questions().size(), 1);
        QVERIFY2(questions().first().contains("adi: Benimki"), qPrintable(questions().first()));
        QVERIFY(f->session.dialogs.texts(ScriptedDialogs::Kind::Error).isEmpty());
        if (!load)
            f->press("Post");
        QCOMPARE(questions().size(), load ? 1 : 2);
        QCOMPARE(f->students()->state(),
                 load ? db::Dataset::State::Browse : db::Dataset::State::Edit);
        QCOMPARE(f->find<QLineEdit>("DBEdit2")->text(),
                 load ? QStringLiteral("Başkası") : QStringLiteral("Benimki"));
        QCOMPARE(f->stored(id, QStringLiteral("adi")).toString(), QStringLiteral("Başkası"));
    }
};

QTEST_MAIN(TstRegisterConflict)
#include "tst_registerconflict.moc"
