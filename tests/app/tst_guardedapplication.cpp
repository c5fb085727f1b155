#include "db/dberror.h"
#include "scripteddialogs.h"
#include "ui/guardedapplication.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

using namespace zelvo;

// An exception escaping a click, a timer or a queued call is shown in the error box and the
// program goes on; each kind of exception gets a readable text.
class TstGuardedApplication : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        dialogs.shown.clear();
        application()->setDialogs(&dialogs);
    }
    void cleanup() { application()->setDialogs(nullptr); }

    void exceptionFromAClickIsShown_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("database error") << 0 << QStringLiteral("no such column: yetkitipi.");
        QTest::newRow("standard exception") << 1 << QStringLiteral("Resim yüklenemedi.");
        QTest::newRow("anything else") << 2 << QStringLiteral("Beklenmeyen bir hata oluştu.");
    }
    void exceptionFromAClickIsShown()
    {
        QFETCH(int, kind);
        QFETCH(QString, shown);
        QPushButton button(QStringLiteral("Göster"));
        int clicks = 0;
        connect(&button, &QPushButton::clicked, this, [&] {
            if (++clicks > 1)
                return;
            if (kind == 0)
                throw db::DbError(QStringLiteral("no such column: yetkitipi"));
            if (kind == 1)
                throw std::runtime_error("Resim yüklenemedi.");
            throw 42;
        });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(dialogs.texts(ScriptedDialogs::Kind::Error), QStringList{shown});
        // the program goes on: the next click is handled as usual
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QCOMPARE(dialogs.shown.size(), 1);
    }

    void exceptionFromTheEventLoopIsShown()
    {
        bool later = false;
        QTimer::singleShot(0, this, [] { throw db::DbError(QStringLiteral("disk I/O error")); });
        QTimer::singleShot(0, this, [&] { later = true; });
        QTRY_VERIFY(later);
        QCOMPARE(dialogs.texts(ScriptedDialogs::Kind::Error),
                 QStringList{QStringLiteral("disk I/O error.")});
    }

private:
    static ui::GuardedApplication* application()
    {
        return static_cast<ui::GuardedApplication*>(QCoreApplication::instance());
    }
    ScriptedDialogs dialogs;
};

int main(int argc, char* argv[])
{
    ui::GuardedApplication application(argc, argv);
    TstGuardedApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_guardedapplication.moc"
