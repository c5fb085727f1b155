#include "monthly/accrualcomputation.h"

#include "monthly/monthchain.h"
#include "monthly/runprogress.h"
#include "monthly/unitmonthcall.h"

#include "core/money.h"
#include "core/wholenumber.h"
#include "db/dataset.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace zelvo::monthly {

namespace {

// The days of one timesheet column. An empty or broken value would silently price the student
// at nothing, so it stops the run with the student named.
qint64 daysOf(const db::Dataset& timesheet, int row, const QString& column)
{
    const QVariant value = timesheet.valueAt(row, timesheet.requireColumn(column));
    if (const auto days = core::wholeNumber(value.toString().trimmed()); days && !value.isNull())
        return *days;
    const int number = timesheet.columnIndex(QStringLiteral("ogrencino"));
    const QString student =
        timesheet
            .valueAt(row,
                     number >= 0 ? number : timesheet.requireColumn(QStringLiteral("idogrenci")))
            .toString();
    throw db::DbError(QStringLiteral("%1 numaralı öğrencinin puantajında '%2' gün sayısı boş ya "
                                     "da tam sayı değil. Puantaj bölümünde düzeltip tahakkuku "
                                     "yeniden çalıştırınız.")
                          .arg(student, column));
}

} // namespace

qint64 monthWageKurus(const db::Dataset& parameters, int month)
{
    const QString column = QStringLiteral("au") + core::Period::twoDigits(month);
    const QVariant value =
        parameters.isOpen() && !parameters.isEmpty() ? parameters.value(column) : QVariant();
    if (const auto wage = core::money::kurusFromVariant(value))
        return *wage;
    throw db::DbError(QStringLiteral("%1 ayının asgari ücreti (%2) temel parametrelerde boş ya da "
                                     "sayı değil. Temel Parametreler bölümünden giriniz.")
                          .arg(core::Period::monthName(month), column));
}

AccrualOutcome computeAccrual(const AccrualEdition& edition, const AccrualDatasets& sets,
                              const core::Period& period, const QString& unit,
                              RunProgress& progress, const QString& user)
{
    for (db::Dataset* dataset : {&sets.removal, &sets.store, &sets.timesheet, &sets.result})
        dataset->close();
    period.requireWholeYear();
    const QString year = period.year();
    const int month = period.month();
    const bool december = month == 12;

    const UnitMonthCall call(year, month, unit);
    db::Transaction transaction(sets.removal.connection());
    // a second workstation computing the same unit and month waits for this one to finish
    call.lockStep(sets.removal.connection(), QStringLiteral("Tahakkuk hesabı"));
    // the wages as they are now, not as the window found them when it opened; read before
    // anything is removed, so a missing wage changes nothing
    sets.parameters.prepareCall(QStringLiteral("ParametreGetir"));
    sets.parameters.open();
    const qint64 wage = monthWageKurus(sets.parameters, month);
    const qint64 januaryWage = december ? monthWageKurus(sets.parameters, 1) : 0;
    call.run(sets.removal, edition.procedure(QStringLiteral("TahakkukSil")));

    db::Dataset& timesheet = sets.timesheet;
    call.open(timesheet, edition.procedure(QStringLiteral("PuantajGenel")),
              edition.timesheetColumns);
    const MonthKey key{year, month, unit, !edition.suffix.isEmpty()};
    if (timesheet.recordCount() < 1) {
        recordRun(sets.removal.connection(), key, ChainStep::Accrual, user, 0);
        transaction.commit();
        return AccrualOutcome::NoTimesheet;
    }

    const int idColumn = timesheet.requireColumn(QStringLiteral("idogrenci"));
    const int dayColumn = timesheet.requireColumn(QStringLiteral("gun"));
    const int count = timesheet.recordCount();
    const QJsonArray rows = collectRows(count, progress, [&](int row) {
        using core::money::WagedDays;
        const std::optional<qint64> amount =
            december ? core::money::earningsKurus(
                           {WagedDays{wage, daysOf(timesheet, row, QStringLiteral("gun1"))},
                            WagedDays{januaryWage, daysOf(timesheet, row, QStringLiteral("gun2"))}})
                     : core::money::earningsKurus(
                           {WagedDays{wage, daysOf(timesheet, row, QStringLiteral("gun"))}});
        if (!amount)
            throw db::DbError(QStringLiteral("Tahakkuk tutarı çok büyük: %1 numaralı öğrenci")
                                  .arg(timesheet.valueAt(row, idColumn).toString()));
        // sent as exact decimal text; the server adds the shares
        const QString text = core::money::plainText(*amount);
        return QJsonArray{timesheet.valueAt(row, idColumn).toString(),
                          QJsonValue::fromVariant(timesheet.valueAt(row, dayColumn)), text, text};
    });
    // every row stored in one call, in the timesheet's order
    call.storeThenOpen(sets.store, QStringLiteral("TahakkukekleListe"), rows, sets.result,
                       edition.procedure(QStringLiteral("TahakkukGenel")), edition.resultColumns);
    recordRun(sets.removal.connection(), key, ChainStep::Accrual, user, count);
    transaction.commit();
    return AccrualOutcome::Accrued;
}

} // namespace zelvo::monthly
