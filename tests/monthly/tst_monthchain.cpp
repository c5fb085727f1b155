// The month's chain on a real database: every run records itself, and a change made by plain
// SQL (as an import or another workstation would make it) makes exactly the steps that read it
// stale, and those after them; running the steps again in order makes the month current.

#include "declaration/declarationpreparation.h"
#include "monthly/accrualcomputation.h"
#include "monthly/monthchain.h"
#include "monthly/runprogress.h"
#include "monthly/timesheetcomputation.h"
#include "testsession.h"

#include <QTest>

using namespace zelvo;
using namespace zelvo::monthly;

namespace {

const QString Year = QStringLiteral("2026");

// Runs the three steps of a month as the windows run them.
void runStep(db::Connection& c, ChainStep step, const MonthKey& key)
{
    const core::Period period(key.year, key.month);
    db::Dataset a(c), b(c), d(c), e(c), f(c);
    RunProgress progress(nullptr, QString(), 1000000);
    const auto user = QStringLiteral("ayse");
    if (step == ChainStep::Timesheet)
        computeTimesheet(key.gss ? TimesheetEdition::gss() : TimesheetEdition::standard(),
                         {a, b, d, e, f}, period, key.unit, progress, user);
    else if (step == ChainStep::Accrual)
        computeAccrual(key.gss ? AccrualEdition::gss() : AccrualEdition::standard(),
                       {a, b, d, e, f}, period, key.unit, progress, user);
    else
        declaration::prepareDeclaration(key.gss ? declaration::DeclarationEdition::gss()
                                                : declaration::DeclarationEdition::standard(),
                                        {a, b, d, e, f}, period, key.unit, user);
}

void runMonth(db::Connection& c, const MonthKey& key)
{
    for (ChainStep step : {ChainStep::Timesheet, ChainStep::Accrual, ChainStep::Declaration})
        runStep(c, step, key);
}

// "current" or the reasons of a stale step, "missing" for one never run.
QString described(const StepState& state)
{
    switch (state.kind) {
    case StepState::Kind::Missing:
        return QStringLiteral("missing");
    case StepState::Kind::Current:
        return QStringLiteral("current");
    case StepState::Kind::Stale:
        break;
    }
    return state.reasons.join(QLatin1String("; "));
}

QStringList chainOf(db::Connection& c, const MonthKey& key)
{
    const MonthChain chain = MonthChain::read(c, key);
    return {described(chain.state(ChainStep::Timesheet)),
            described(chain.state(ChainStep::Accrual)),
            described(chain.state(ChainStep::Declaration))};
}

const QStringList allCurrent = {QStringLiteral("current"), QStringLiteral("current"),
                                QStringLiteral("current")};

} // namespace

class TstMonthChain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void changesMakeTheirStepsStale_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        // whether the same month of the other edition and unit, and April, stay current
        QTest::addColumn<bool>("othersUntouched");
        const QString tsStale = QStringLiteral("puantaj güncel değil");
        const QString acStale = QStringLiteral("tahakkuk güncel değil");
        const QString oneStudent = QStringLiteral("öğrenci kaydı değişti: 1 öğrenci");
        QTest::newRow("end date moved inside the period")
            << "update ogrenci set bitistarihi='2026-03-20' where ogrencino='A'"
            << QStringList{oneStudent, tsStale, oneStudent + QStringLiteral("; ") + acStale}
            << true;
        QTest::newRow("student made passive") << "update ogrenci set statu='2' where ogrencino='B'"
                                              << QStringList{oneStudent, tsStale, acStale} << false;
        QTest::newRow("student moved to the GSS edition")
            << "update ogrenci set gss=1 where ogrencino='B'"
            << QStringList{oneStudent, tsStale, acStale} << false;
        QTest::newRow("new student in the period")
            << "insert into ogrenci (ogrencino, adi, soyadi, statu, gss, birimkodu, "
               "baslangictarihi, bitistarihi) values ('E', 'Can', 'Ak', '1', 0, '01', "
               "'2026-03-20', '2026-05-01')"
            << QStringList{oneStudent, tsStale, acStale} << false;
        QTest::newRow("student deleted") << "delete from ogrenci where ogrencino='A'"
                                         << QStringList{oneStudent, tsStale, acStale} << true;
        QTest::newRow("student outside the period")
            << "update ogrenci set bitistarihi='2026-12-01' where ogrencino='F'" << allCurrent
            << true;
        QTest::newRow("student of another unit")
            << "update ogrenci set bitistarihi='2026-03-20' where ogrencino='D'" << allCurrent
            << false;
        QTest::newRow("day count corrected")
            << "update Puantaj set gun=12 where ay=3 and idogrenci=(select idogrenci from "
               "ogrenci where ogrencino='A')"
            << QStringList{QStringLiteral("current"),
                           QStringLiteral("puantaj düzeltildi: 1 öğrenci"), acStale}
            << true;
        QTest::newRow("month's wage changed")
            << "update Parametre set au03=au03+1"
            << QStringList{QStringLiteral("current"), QStringLiteral("asgari ücret değişti"),
                           acStale}
            << false;
        QTest::newRow("another month's wage changed")
            << "update Parametre set au05=au05+1" << allCurrent << true;
        QTest::newRow("name copied into the declaration rows")
            << "update ogrenci set adi='Zeynep' where ogrencino='A'"
            << QStringList{QStringLiteral("current"), QStringLiteral("current"), oneStudent}
            << true;
        QTest::newRow("timesheet run again")
            << "timesheet"
            << QStringList{QStringLiteral("current"), QStringLiteral("puantaj yeniden hesaplandı"),
                           acStale}
            << true;
        QTest::newRow("accrual run again")
            << "accrual"
            << QStringList{QStringLiteral("current"), QStringLiteral("current"),
                           QStringLiteral("tahakkuk yeniden hesaplandı")}
            << true;
    }
    void changesMakeTheirStepsStale()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        QFETCH(bool, othersUntouched);
        TestSession session;
        db::Connection& c = session.setup();
        c.execute(QStringLiteral("update Parametre set au03=33030.15, au04=33030.15, "
                                 "au05=33030.15"));
        const QDate start(2026, 3, 1);
        session.addStudent(QStringLiteral("A"), QStringLiteral("Ali"), QStringLiteral("Er"), start,
                           QDate(2026, 4, 14));
        session.addStudent(QStringLiteral("B"), QStringLiteral("Banu"), QStringLiteral("Su"), start,
                           QDate(2026, 6, 30));
        session.addStudent(QStringLiteral("C"), QStringLiteral("Cem"), QStringLiteral("Ok"), start,
                           QDate(2026, 6, 30), true);
        session.addStudent(QStringLiteral("D"), QStringLiteral("Deniz"), QStringLiteral("Ay"),
                           start, QDate(2026, 6, 30), false, QStringLiteral("1"),
                           QStringLiteral("02"));
        session.addStudent(QStringLiteral("F"), QStringLiteral("Fatma"), QStringLiteral("Un"),
                           QDate(2026, 9, 1), QDate(2026, 10, 30));
        const MonthKey march{Year, 3, QStringLiteral("01"), false};
        const QList<MonthKey> others = {{Year, 3, QStringLiteral("01"), true},
                                        {Year, 3, QStringLiteral("02"), false},
                                        {Year, 4, QStringLiteral("01"), false}};
        runMonth(c, march);
        for (const MonthKey& key : others)
            runMonth(c, key);
        QCOMPARE(chainOf(c, march), allCurrent);

        if (change == QLatin1String("timesheet"))
            runStep(c, ChainStep::Timesheet, march);
        else if (change == QLatin1String("accrual"))
            runStep(c, ChainStep::Accrual, march);
        else
            c.execute(change);
        QCOMPARE(chainOf(c, march), expected);
        // the other edition, unit and month do not read what changed
        if (othersUntouched)
            for (const MonthKey& key : others)
                QCOMPARE(chainOf(c, key), allCurrent);

        runMonth(c, march);
        QCOMPARE(chainOf(c, march), allCurrent);
        QCOMPARE(MonthChain::read(c, march).question(ChainStep::Declaration), QString());
    }

    // A run records who made it, when and how many rows it stored; a step never run, or run
    // before the one it reads, is told so.
    void runsAreRecorded()
    {
        TestSession session;
        db::Connection& c = session.setup();
        session.addStudent(QStringLiteral("A"), QStringLiteral("Ali"), QStringLiteral("Er"),
                           QDate(2026, 3, 1), QDate(2026, 6, 30));
        const MonthKey march{Year, 3, QStringLiteral("01"), false};
        QCOMPARE(chainOf(c, march),
                 (QStringList{QStringLiteral("missing"), QStringLiteral("missing"),
                              QStringLiteral("missing")}));
        runStep(c, ChainStep::Accrual, march);
        QCOMPARE(chainOf(c, march).at(1), QStringLiteral("puantaj hesaplanmadı"));
        const QString question = MonthChain::read(c, march).question(ChainStep::Accrual);
        QVERIFY2(question.startsWith(QStringLiteral("Puantaj hesaplanmadı")), qPrintable(question));
        runStep(c, ChainStep::Timesheet, march);
        const StepState timesheet = MonthChain::read(c, march).state(ChainStep::Timesheet);
        QCOMPARE(timesheet.recorded->user, QStringLiteral("ayse"));
        QCOMPARE(timesheet.recorded->rows, 1);
        QCOMPARE(
            QDateTime::fromString(timesheet.recorded->when, QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                .date(),
            QDate::currentDate());
        // the accrual ran before this timesheet
        QCOMPARE(chainOf(c, march).at(1), QStringLiteral("puantaj yeniden hesaplandı"));
        QVERIFY(MonthChain::read(c, march)
                    .question(ChainStep::Declaration)
                    .startsWith(QStringLiteral("Tahakkuk güncel değil: puantaj yeniden")));
    }
};

QTEST_MAIN(TstMonthChain)
#include "tst_monthchain.moc"
