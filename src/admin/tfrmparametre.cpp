#include "admin/tfrmparametre.h"

#include "admin/adminlook.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "core/money.h"
#include "core/turkishtext.h"
#include "ui/look.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::admin {

namespace {

constexpr auto rightAligned = Qt::AlignRight | Qt::AlignVCenter;

QVector<controls::GridColumn> parameterColumns()
{
    // belgeturuyab is left out on purpose: it is not edited here.
    QVector<controls::GridColumn> columns = {
        {QStringLiteral("aktifyil"), QStringLiteral("Aktif yıl"), 5},
        {QStringLiteral("belgemahiyet"), QStringLiteral("Belge Mahiyeti"), 10},
        {QStringLiteral("belgeturu"), QStringLiteral("Belge Türü"), 7},
        {QStringLiteral("isci"), QStringLiteral("İşçi Kes.Yüzdesi"), 12, {}, rightAligned},
        {QStringLiteral("isveren"), QStringLiteral("İşveren Kes. Yüzdesi"), 15, {}, rightAligned},
        {QStringLiteral("istencikisnedeni"), QStringLiteral("İşten Çıkış Nedeni"), 13},
        {QStringLiteral("kanunno"), QStringLiteral("Kanun\nNo"), 6}, // too narrow for one line
        {QStringLiteral("sigortakodu"), QStringLiteral("Sigorta Kodu"), 8},
    };
    const QStringList months = {QStringLiteral("OCAK Asgari Ücret"),
                                QStringLiteral("ŞUBAT"),
                                QStringLiteral("MART"),
                                QStringLiteral("NİSAN"),
                                QStringLiteral("MAYIS"),
                                QStringLiteral("HAZİRAN"),
                                QStringLiteral("TEMMUZ"),
                                QStringLiteral("AĞUSTOS"),
                                QStringLiteral("EYLÜL"),
                                QStringLiteral("EKİM"),
                                QStringLiteral("KASIM"),
                                QStringLiteral("ARALIK")};
    for (int m = 0; m < months.size(); ++m)
        columns.append({QStringLiteral("au%1").arg(m + 1, 2, 10, QLatin1Char('0')),
                        months.at(m),
                        10,
                        {},
                        rightAligned});
    return columns;
}

// The month of a minimum wage column (au01 .. au12), 0 for any other column.
int wageMonth(const QString& column)
{
    static const QRegularExpression wage(QStringLiteral("^au(0[1-9]|1[0-2])$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = wage.match(column);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool isNumericType(const QString& declaredType)
{
    static const QStringList numeric = {QStringLiteral("DEC"),  QStringLiteral("NUM"),
                                        QStringLiteral("INT"),  QStringLiteral("REAL"),
                                        QStringLiteral("FLOA"), QStringLiteral("DOUB")};
    for (const QString& word : numeric)
        if (declaredType.contains(word, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

TFrmparametre::TFrmparametre(ui::AppContext& context, QWidget* owner)
    : ChildWindow(context, QStringLiteral("Frmparametre"), QSize(1049, 249), owner)
{
    m_adoTable1 = new db::Dataset(context.connection, this);
    m_adoTable1->setObjectName(QStringLiteral("ADOTable1"));
    m_adoTable1->setTable(QStringLiteral("Parametre"), QStringLiteral("idparametre"));
    m_adoTable1->beforePost = [this](db::Dataset& table) {
        requireFourDigitYear(table);
        normaliseNumbers(table);
    };

    QVBoxLayout* layout =
        headedLayout(this, QStringLiteral("Temel Parametreler"), createCloseButton(this));

    QFrame* panel = ui::look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* inside = new QVBoxLayout(panel);
    inside->setContentsMargins(10, 6, 10, 6);
    inside->setSpacing(4);
    // grid and navigator share one column, so the navigator sits under the grid's right end
    auto* column = new QWidget(panel);
    column->setFixedWidth(1008);
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4);
    m_grid = new controls::DbGrid(column);
    m_grid->setObjectName(QStringLiteral("wwDBGrid1"));
    m_grid->setFixedSize(1008, 108);
    m_grid->setColumns(parameterColumns());
    m_grid->setDataset(m_adoTable1);
    stack->addWidget(m_grid);
    m_navigator = new controls::DbNavigator({controls::DbNavigator::Button::Post}, column);
    m_navigator->setObjectName(QStringLiteral("DBNavigator1"));
    m_navigator->setDataset(m_adoTable1);
    m_navigator->setBeforeAction([this] { m_grid->commitEditor(); });
    stack->addWidget(m_navigator, 0, Qt::AlignRight);
    inside->addWidget(column, 0, Qt::AlignHCenter | Qt::AlignTop);
    layout->addWidget(panel, 1);

    connect(m_grid, &controls::DbGrid::databaseError, this, &TFrmparametre::showError);
    connect(m_navigator, &controls::DbNavigator::databaseError, this, &TFrmparametre::showError);

    guarded([this] { m_adoTable1->open(); });
}

// Every monthly run sends the active year as four characters and reads it as a year; anything
// else stored there would stop them all, so it is refused before it reaches the table.
void TFrmparametre::requireFourDigitYear(db::Dataset& table)
{
    const QString field = QStringLiteral("aktifyil");
    if (!table.hasColumn(field))
        return;
    const QString year = table.text(field);
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    if (!fourDigits.match(year).hasMatch())
        throw db::DbError(
            QStringLiteral("%1: '%2' dört rakamlı bir yıl değil").arg(titleOf(field), year));
}

// Numbers typed into a cell arrive as text; they are stored as decimals with two places, with
// a point or a comma accepted as separator. Anything else is refused before it reaches the
// table, where it would break every accrual that reads the wage; so is a wage of zero or below,
// which would declare the month's students with nothing earned.
void TFrmparametre::normaliseNumbers(db::Dataset& table)
{
    const db::TableInfo& info = context().connection.tableInfo(table.writeTarget().table);
    for (const db::TableColumn& column : info.columns) {
        if (column.isKey || !isNumericType(column.declaredType) || !table.hasColumn(column.name))
            continue;
        const QVariant value = table.value(column.name);
        if (value.typeId() != QMetaType::QString)
            continue;
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            table.setValue(column.name, QVariant());
            continue;
        }
        const std::optional<qint64> kurus = core::money::parseKurus(text);
        if (!kurus)
            throw db::DbError(
                QStringLiteral("%1: '%2' geçerli bir sayı değil").arg(titleOf(column.name), text));
        if (const int month = wageMonth(column.name); month != 0 && *kurus <= 0)
            throw db::DbError(QStringLiteral("%1 asgari ücreti '%2' olamaz, sıfırdan büyük olmalı")
                                  .arg(core::turkishMonthName(month), text));
        table.setValue(column.name, core::money::plainText(*kurus));
    }
}

QString TFrmparametre::titleOf(const QString& field) const
{
    for (const controls::GridColumn& column : m_grid->datasetModel()->columns())
        if (column.field.compare(field, Qt::CaseInsensitive) == 0)
            return QString(column.title).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return field;
}

void TFrmparametre::closing()
{
    m_grid->commitEditor();
    if (m_adoTable1->state() == db::Dataset::State::Edit)
        m_adoTable1->post(); // a refusal throws: the window stays open, the row stays changed
    else
        m_adoTable1->cancel(); // a new row never stored is dropped
    m_adoTable1->close();
}

} // namespace zelvo::admin
