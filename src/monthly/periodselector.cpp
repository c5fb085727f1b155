#include "monthly/periodselector.h"

#include "core/turkishtext.h"
#include "db/dataset.h"
#include "ui/look.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace zelvo::monthly {

PeriodSelector::PeriodSelector(const QString& initialYear, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_yearBox = new QLineEdit(initialYear, this);
    m_yearBox->setObjectName(QStringLiteral("Edit1"));
    m_yearBox->setReadOnly(true);
    m_yearBox->setMaxLength(4);
    m_yearBox->setFont(ui::look::verdana(19, true));
    m_yearBox->setFixedWidth(70);
    row->addWidget(m_yearBox, 0, Qt::AlignVCenter);

    m_monthGroup = new QGroupBox(this);
    m_monthGroup->setObjectName(QStringLiteral("RadioGroup2"));
    auto* grid = new QGridLayout(m_monthGroup);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    m_months = new QButtonGroup(this);
    for (int m = 1; m <= 12; ++m) {
        auto* button = new QRadioButton(core::turkishMonthName(m), m_monthGroup);
        button->setObjectName(QStringLiteral("Month%1").arg(m));
        // a crowded panel squeezes the group, but never into a month's name
        button->setMinimumWidth(button->sizeHint().width());
        // four columns of three, filled column by column
        grid->addWidget(button, (m - 1) % 3, (m - 1) / 3);
        m_months->addButton(button, m);
    }
    m_months->button(1)->setChecked(true);
    row->addWidget(m_monthGroup);
    connect(m_months, &QButtonGroup::idClicked, this, &PeriodSelector::monthClicked);
}

void PeriodSelector::loadYear(db::Dataset& parameterRow)
{
    parameterRow.prepareCall(QStringLiteral("ParametreGetir"));
    parameterRow.open();
    m_yearBox->setText(parameterRow.isEmpty() ? QString()
                                              : parameterRow.text(QStringLiteral("aktifyil")));
}

QString PeriodSelector::yearText() const
{
    return m_yearBox->text();
}

int PeriodSelector::month() const
{
    return m_months->checkedId();
}

void PeriodSelector::setMonth(int month)
{
    if (QAbstractButton* button = m_months->button(month))
        button->setChecked(true);
}

} // namespace zelvo::monthly
