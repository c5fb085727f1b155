#include "monthly/accrualcomputation.h"

#include "monthly/monthchain.h"
#include "monthly/runprogress.h"
#include "monthly/unitmonthcall.h"

#include "core/money.h"
#include "db/dataset.h"

#include <QJsonArray>
#include <cmath>

using namespace Qt::StringLiterals;

namespace zelvo::monthly {

namespace {

// The minimum wage of a month, column "au" + MM of the parameter row.
double wageOf(const db::Dataset& parameters, int month)
{
    const QString column = QStringLiteral("au") + core::Period::twoDigits(month);
    const QVariant value =
        parameters.isOpen() && !parameters.isEmpty() ? parameters.value(column) : QVariant();
    if (const auto wage = wageValue(value))
        return *wage;
    throw db::DbError(QStringLiteral("%1 ayının asgari ücreti (%2) temel parametrelerde boş ya da "
                                     "sayı değil. Temel Parametreler bölümünden giriniz.")
                          .arg(core::Period::monthName(month), column));
}

// The days of one timesheet column. An empty or broken value would silently price the student
// at nothing, so it stops the run with the student named.
double daysOf(const db::Dataset& timesheet, int row, const QString& column)
{
    const QVariant value = timesheet.valueAt(row, timesheet.requireColumn(column));
    bool ok = false;
    const int days = value.isNull() ? 0 : value.toString().trimmed().toInt(&ok);
    if (ok)
        return days;
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

std::optional<double> wageValue(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        const double wage = value.toDouble();
        return std::isfinite(wage) ? std::optional<double>(wage) : std::nullopt;
    }
    default:
        if (const auto kurus = core::money::parseKurus(value.toString().trimmed()))
            return double(*kurus) / 100.0;
        return std::nullopt;
    }
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
    const double wage = wageOf(sets.parameters, month);
    const double januaryWage = december ? wageOf(sets.parameters, 1) : 0.0;
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
        // the product first, then the division by 30: every month counts 30 days
        const double amount =
            december ? wage * daysOf(timesheet, row, QStringLiteral("gun1")) / 30 +
                           januaryWage * daysOf(timesheet, row, QStringLiteral("gun2")) / 30
                     : wage * daysOf(timesheet, row, QStringLiteral("gun")) / 30;
        // sent with full precision (the shortest text that reads back as the same double); the
        // server brings it to two decimals and adds the shares
        return QJsonArray{timesheet.valueAt(row, idColumn).toString(),
                          QJsonValue::fromVariant(timesheet.valueAt(row, dayColumn)), amount,
                          amount};
    });
    // every row stored in one call, in the timesheet's order
    call.storeThenOpen(sets.store, QStringLiteral("TahakkukekleListe"), rows, sets.result,
                       edition.procedure(QStringLiteral("TahakkukGenel")), edition.resultColumns);
    recordRun(sets.removal.connection(), key, ChainStep::Accrual, user, count);
    transaction.commit();
    return AccrualOutcome::Accrued;
}

} // namespace zelvo::monthly
