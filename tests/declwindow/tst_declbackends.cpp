// A month of the demonstration data on the embedded database and on the PostgreSQL server:
// timesheet and accrual computed as their windows compute them, declaration step 1 pressed in
// the declaration window, the XML and the CSV file written through it. The files of the two
// backends are the same, byte for byte.

#include "declaration/tfrmxmlgss.h"
#include "monthly/accrualcomputation.h"
#include "monthly/accrualedition.h"
#include "monthly/runprogress.h"
#include "monthly/timesheetcomputation.h"
#include "testsession.h"

#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace zelvo;

using namespace zelvo::monthly;
using zelvo::core::Period;

using declaration::TFrmxml;
using declaration::TFrmxmlgss;

namespace {

const QString Unit = QStringLiteral("01");

void computeMonth(db::Connection& connection, int month, bool gss)
{
    const Period period(QStringLiteral("2026"), month);
    {
        db::Dataset removal(connection), students(connection), dayCount(connection),
            single(connection), view(connection);
        RunProgress progress(nullptr, QStringLiteral("Puantaj"), 1000000);
        computeTimesheet(gss ? TimesheetEdition::gss() : TimesheetEdition::standard(),
                         {removal, students, dayCount, single, view}, period, Unit, progress);
    }
    db::Dataset parameters(connection), removal(connection), timesheet(connection),
        store(connection), result(connection);
    parameters.setProcedure(QStringLiteral("ParametreGetir"));
    parameters.open();
    RunProgress progress(nullptr, QStringLiteral("Tahakkuk"), 1000000);
    computeAccrual(gss ? AccrualEdition::gss() : AccrualEdition::standard(),
                   {parameters, removal, timesheet, store, result}, period, Unit, progress);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Files {
    QByteArray xml;
    QByteArray csv;
    QStringList errors;
};

// The month's declaration files as the window writes them on one backend.
Files declarationFiles(pgtest::Backend backend, int month, bool gss)
{
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    TestSession session(backend);
    session.loadDemo();
    computeMonth(session.connection, month, gss);
    std::unique_ptr<TFrmxml> window(gss ? new TFrmxmlgss(*session.context)
                                        : new TFrmxml(*session.context));
    window->show();
    auto press = [&window](const char* name) {
        QTest::mouseClick(window->findChild<QToolButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    };
    QTest::mouseClick(window->findChild<QRadioButton*>(QStringLiteral("Month%1").arg(month)),
                      Qt::LeftButton);
    press("SpeedButton1");
    QTemporaryDir dir;
    session.dialogs.saveAnswers << dir.filePath(QStringLiteral("bildirge.xml"))
                                << dir.filePath(QStringLiteral("bildirge.csv"));
    press("SpeedButton2");
    press("SpeedButton11");
    Files files{contents(dir.filePath(QStringLiteral("bildirge.xml"))),
                contents(dir.filePath(QStringLiteral("bildirge.csv"))),
                session.dialogs.texts(ScriptedDialogs::Kind::Error)};
    window->close();
    return files;
}

} // namespace

class TstDeclBackends : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameFilesOnBothBackends_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<bool>("gss");
        QTest::newRow("standard, March") << 3 << false;
        QTest::newRow("standard, December") << 12 << false;
        QTest::newRow("GSS, March") << 3 << true;
        QTest::newRow("GSS, December") << 12 << true;
    }
    void sameFilesOnBothBackends()
    {
        QFETCH(int, month);
        QFETCH(bool, gss);
        const Files embedded = declarationFiles(pgtest::Backend::Embedded, month, gss);
        const Files server = declarationFiles(pgtest::Backend::Server, month, gss);
        QCOMPARE(embedded.errors, QStringList());
        QCOMPARE(server.errors, QStringList());
        // a month with students: the files hold rows, not only their frame
        QVERIFY(embedded.xml.count("<SIGORTALI ") > 0);
        QVERIFY(embedded.csv.count('\n') > 1);
        QCOMPARE(server.xml, embedded.xml);
        QCOMPARE(server.csv, embedded.csv);
    }
};

QTEST_MAIN(TstDeclBackends)
#include "tst_declbackends.moc"
