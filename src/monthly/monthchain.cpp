#include "monthly/monthchain.h"

#include "core/period.h"
#include "db/connection.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace zelvo::monthly {

namespace {

constexpr ChainStep allSteps[] = {ChainStep::Timesheet, ChainStep::Accrual, ChainStep::Declaration};
const QString staleColour = u"#b00020"_s; // the check report's error colour
const QString missingColour = u"#9a5b00"_s;

QString studentsChanged(const QString& what, int count)
{
    return u"%1: %2 öğrenci"_s.arg(what).arg(count);
}

QString shownTime(const QString& stored)
{
    const QDateTime when = QDateTime::fromString(stored, u"yyyy-MM-dd HH:mm:ss"_s);
    return when.isValid() ? when.toString(u"dd.MM.yyyy HH:mm"_s) : stored;
}

db::Params monthKeys(const MonthKey& key)
{
    return {{u"@key1"_s, key.year},
            {u"@key2"_s, key.month},
            {u"@key3"_s, key.unit},
            {u"@key4"_s, key.gss ? 1 : 0}};
}

} // namespace

QString chainStepName(ChainStep step)
{
    return step == ChainStep::Timesheet ? u"Puantaj"_s
           : step == ChainStep::Accrual ? u"Tahakkuk"_s
                                        : u"Bildirge (1) Hesapla"_s;
}

QString chainStepWaitName(ChainStep step)
{
    return step == ChainStep::Timesheet ? u"puantaj"_s
           : step == ChainStep::Accrual ? u"tahakkuk"_s
                                        : u"bildirge"_s;
}

void recordRun(db::Connection& connection, const MonthKey& key, ChainStep step, const QString& user,
               int rows, const core::Period* period)
{
    db::Params params = monthKeys(key);
    const auto isoDay = [](const QDate& day) { return day.toString(u"yyyy-MM-dd"_s); };
    params << db::Param{u"@key5"_s, int(step)} << db::Param{u"@key6"_s, user}
           << db::Param{u"@key7"_s, rows}
           << db::Param{u"@key8"_s, period ? QVariant(isoDay(period->firstDay()))
                                           : QVariant(QMetaType(QMetaType::QString))}
           << db::Param{u"@key9"_s, period ? QVariant(isoDay(period->lastDay()))
                                           : QVariant(QMetaType(QMetaType::QString))};
    connection.callProcedure(u"AyDurumuYaz"_s, params);
}

MonthChain::MonthChain(const QList<RecordedRun>& runs)
{
    const StepState* before = nullptr;
    for (ChainStep step : allSteps) {
        StepState state;
        state.step = step;
        for (const RecordedRun& run : runs)
            if (run.step == step)
                state.recorded = run;
        if (state.recorded) {
            const RecordedRun& run = *state.recorded;
            if (before && !before->recorded)
                state.reasons << u"%1 hesaplanmadı"_s.arg(chainStepWaitName(before->step));
            else if (before && run.source != before->recorded->run)
                state.reasons << u"%1 yeniden hesaplandı"_s.arg(chainStepWaitName(before->step));
            if (run.changedStudents > 0)
                state.reasons << studentsChanged(step == ChainStep::Accrual
                                                     ? u"puantaj düzeltildi"_s
                                                     : u"öğrenci kaydı değişti"_s,
                                                 run.changedStudents);
            if (run.wageChanged)
                state.reasons << u"asgari ücret değişti"_s;
            if (before && before->kind == StepState::Kind::Stale)
                state.reasons << u"%1 güncel değil"_s.arg(chainStepWaitName(before->step));
            state.kind =
                state.reasons.isEmpty() ? StepState::Kind::Current : StepState::Kind::Stale;
        }
        m_states << state;
        before = &m_states.last();
    }
}

MonthChain MonthChain::read(db::Connection& connection, const MonthKey& key)
{
    const db::ResultRows result = connection.callProcedure(u"AyDurumu"_s, monthKeys(key));
    const auto column = [&result](const char* name) {
        return int(result.columns.indexOf(QString::fromLatin1(name)));
    };
    const int step = column("adim"), run = column("calisma"), source = column("kaynak"),
              when = column("zaman"), user = column("kullanici"), rows = column("satir"),
              changed = column("degisen"), wage = column("ucretdegisti");
    QList<RecordedRun> runs;
    for (const QVector<QVariant>& row : result.rows) {
        RecordedRun recorded;
        recorded.step = ChainStep(row.value(step).toInt());
        recorded.run = row.value(run).toInt();
        if (!row.value(source).isNull())
            recorded.source = row.value(source).toInt();
        recorded.when = row.value(when).toString();
        recorded.user = row.value(user).toString();
        recorded.rows = row.value(rows).toInt();
        recorded.changedStudents = row.value(changed).toInt();
        recorded.wageChanged = row.value(wage).toInt() != 0;
        runs << recorded;
    }
    return MonthChain(runs);
}

const StepState& MonthChain::state(ChainStep step) const
{
    return m_states.at(int(step) - 1);
}

const StepState* MonthChain::firstProblem(ChainStep last) const
{
    for (const StepState& state : m_states)
        if (state.step <= last && state.kind != StepState::Kind::Current)
            return &state;
    return nullptr;
}

QString MonthChain::summaryHtml() const
{
    QStringList parts;
    for (const StepState& state : m_states) {
        const QString name = chainStepName(state.step).toHtmlEscaped();
        switch (state.kind) {
        case StepState::Kind::Missing:
            parts << u"<b>%1:</b> <span style=\"color:%2\">hesaplanmadı</span>"_s.arg(
                name, missingColour);
            break;
        case StepState::Kind::Current: {
            const RecordedRun& run = *state.recorded;
            parts << u"<b>%1:</b> %2, %3, %4 satır"_s
                         .arg(name, shownTime(run.when), run.user.toHtmlEscaped())
                         .arg(run.rows);
            break;
        }
        case StepState::Kind::Stale:
            parts << u"<b>%1:</b> <span style=\"color:%2\"><b>güncel değil</b> (%3)</span>"_s.arg(
                name, staleColour, state.reasons.join(u"; "_s).toHtmlEscaped());
            break;
        }
    }
    return parts.join(u" &nbsp;|&nbsp; "_s);
}

QString MonthChain::problemText(const StepState& state, ChainStep last) const
{
    const QString name = chainStepName(state.step);
    QStringList rerun;
    for (ChainStep step : allSteps)
        if (step >= state.step && step <= last)
            rerun << chainStepName(step);
    const QString what = state.kind == StepState::Kind::Missing
                             ? u"%1 hesaplanmadı"_s.arg(name)
                             : u"%1 güncel değil: %2"_s.arg(name, state.reasons.join(u"; "_s));
    return u"%1. Sırasıyla yeniden çalıştırın: %2."_s.arg(what, rerun.join(u", "_s));
}

QString MonthChain::question(ChainStep last) const
{
    const StepState* problem = firstProblem(last);
    if (!problem)
        return {};
    return problemText(*problem, last) + u" Yine de devam edilsin mi?"_s;
}

QStringList MonthChain::problems(ChainStep last) const
{
    QStringList texts;
    for (const StepState& state : m_states) {
        if (state.step > last || state.kind == StepState::Kind::Current)
            continue;
        // the check names every step the user must run again; "güncel değil" in each
        const QString name = chainStepName(state.step);
        texts << (state.kind == StepState::Kind::Missing
                      ? u"%1 güncel değil: hesaplanmadı. %1 çalıştırılmalı."_s.arg(name)
                      : u"%1 güncel değil: %2. %1 yeniden çalıştırılmalı."_s.arg(
                            name, state.reasons.join(u"; "_s)));
    }
    return texts;
}

} // namespace zelvo::monthly
