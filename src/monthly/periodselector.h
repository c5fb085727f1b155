#pragma once

#include "core/period.h"

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLineEdit;

namespace zelvo::db {
class Dataset;
}

namespace zelvo::monthly {

// The year box `Edit1` and the month group `RadioGroup2` every monthly window carries. The year
// is the active year of the parameter row, loaded at every activation; the user picks the month.
class PeriodSelector : public QWidget {
    Q_OBJECT
public:
    // `initialYear` is what the year box shows until the first activation.
    explicit PeriodSelector(const QString& initialYear, QWidget* parent = nullptr);

    // Runs ParametreGetir on the window's parameter dataset (`SpParametre`) and puts its first
    // row's `aktifyil` into the year box (empty when the procedure returns no row). The dataset
    // stays open on that row for the window's other uses of the parameter row.
    void loadYear(db::Dataset& parameterRow);

    QString yearText() const;
    int month() const; // M
    void setMonth(int month);
    core::Period period() const { return {yearText(), month()}; }

    QLineEdit* yearBox() const { return m_yearBox; }
    QGroupBox* monthGroup() const { return m_monthGroup; }

Q_SIGNALS:
    // The user clicked a month (RadioGroup2Click).
    void monthClicked(int month);

private:
    QLineEdit* m_yearBox;
    QGroupBox* m_monthGroup;
    QButtonGroup* m_months;
};

} // namespace zelvo::monthly
