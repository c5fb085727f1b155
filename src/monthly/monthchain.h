#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zelvo::core {
class Period;
}
namespace zelvo::db {
class Connection;
}

namespace zelvo::monthly {

// The steps of a month, in the order each builds on the one before.
enum class ChainStep { Timesheet = 1, Accrual = 2, Declaration = 3 };

// "Puantaj", "Tahakkuk", "Bildirge (1) Hesapla".
QString chainStepName(ChainStep step);
// "puantaj", "tahakkuk", "bildirge", as in "bu ayın puantaj hesabı".
QString chainStepWaitName(ChainStep step);

// Whose month a step works on: the unit's month of one edition.
struct MonthKey {
    QString year;
    int month = 0;
    QString unit;
    bool gss = false;
};

// Records, in the current transaction, that `step` of the month has just been run by `user` and
// stored `rows` rows. The timesheet also records the period it selected students for; the
// server records the wages the accrual priced with and forgets the changes noted for the step.
void recordRun(db::Connection& connection, const MonthKey& key, ChainStep step, const QString& user,
               int rows, const core::Period* period = nullptr);

// A step as the server recorded its last run: what AyDurumu gives for it.
struct RecordedRun {
    ChainStep step = ChainStep::Timesheet;
    int run = 0;               // raised by every run of the step
    std::optional<int> source; // the run of the step before, as this one found it
    QString when;              // YYYY-MM-DD HH:MM:SS
    QString user;
    int rows = 0;
    int changedStudents = 0; // changes to its inputs noted since it ran
    bool wageChanged = false;
};

struct StepState {
    enum class Kind { Missing, Current, Stale };
    ChainStep step = ChainStep::Timesheet;
    Kind kind = Kind::Missing;
    std::optional<RecordedRun> recorded;
    QStringList reasons; // why a stale step is stale, each in a few words
};

// The state of a month's chain: every step missing, current or stale with its reasons.
class MonthChain {
public:
    // Judges the recorded runs: a step is stale when its own inputs changed after it ran, or
    // the step before it is missing, stale or was run again after it.
    explicit MonthChain(const QList<RecordedRun>& runs);
    static MonthChain read(db::Connection& connection, const MonthKey& key);

    const StepState& state(ChainStep step) const;
    // The first step up to and including `last` that is missing or stale.
    const StepState* firstProblem(ChainStep last) const;

    // One line per step for the window, as HTML coloured like the check report.
    QString summaryHtml() const;
    // "Puantaj güncel değil: … Yeniden çalıştırın: …. Yine de devam edilsin mi?" about the steps
    // up to `last`; empty when they are all current.
    QString question(ChainStep last) const;
    // The check's error for each step up to `last` that is missing or stale.
    QStringList problems(ChainStep last) const;

private:
    QString problemText(const StepState& state, ChainStep last) const;
    QList<StepState> m_states;
};

} // namespace zelvo::monthly
