#include "admin/tfrmisyeri.h"

#include "admin/adminlook.h"
#include "controls/boundcontrols.h"
#include "ui/look.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::admin {

namespace {

const QColor captionBlue{0, 0, 255};

QString boxHint()
{
    return QStringLiteral("Aynı Kurum Numarası sadece 1 kişiye verilebilir.\n"
                          "Kurum No boş geçilemez.");
}

} // namespace

TFrmisyeri::TFrmisyeri(ui::AppContext& context, QWidget* owner)
    : ChildWindow(context, QStringLiteral("Frmisyeri"), QSize(770, 353), owner)
{
    m_spGetir = new db::Dataset(context.connection, this);
    m_spGetir->setObjectName(QStringLiteral("SpGetir"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    QFrame* top = ui::look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(4, 2, 4, 2);
    topRow->addStretch();
    topRow->addWidget(createCloseButton(top));
    layout->addWidget(top);

    layout->addWidget(heading(this, QStringLiteral("İşyeri Bilgileri Girişi")), 0,
                      Qt::AlignHCenter);

    QFrame* panel = ui::look::raisedPanel(this, QStringLiteral("Panel2"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(2, 1);
    layout->addWidget(panel, 1);

    addBox(panel, QStringLiteral("İşyeri Adı :"), QStringLiteral("birimadi"), 593);
    addBox(panel, QStringLiteral("Adres :"), QStringLiteral("isyeriadres"), 592);
    addBox(panel, QStringLiteral("Kontrol No :"), QStringLiteral("kontrolno"), 250);
    addBox(panel, QStringLiteral("Aracı No :"), QStringLiteral("isyeriaracino"), 250);
    addBox(panel, QStringLiteral("Vergi No :"), QStringLiteral("isyerivergino"), 250);
    addBox(panel, QStringLiteral("İşyeri Sicil No :"), QStringLiteral("isyerisicil"), 250);
    grid->setRowStretch(grid->rowCount(), 1);
}

void TFrmisyeri::addBox(QWidget* panel, const QString& label, const QString& field, int width)
{
    auto* grid = static_cast<QGridLayout*>(panel->layout());
    const int row = grid->rowCount();
    auto* box = new controls::DbEdit(panel);
    box->setObjectName(QStringLiteral("DBEdit%1").arg(m_boxes.size() + 1));
    box->setFixedWidth(width);
    box->setToolTip(boxHint());
    box->bind(m_spGetir, field);
    QLabel* text = caption(panel, label, 13, captionBlue);
    text->setBuddy(box);
    grid->addWidget(text, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(box, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    connect(box->link(), &controls::FieldLink::failed, this, &TFrmisyeri::showError);
    m_boxes << box;
}

void TFrmisyeri::activate()
{
    m_spGetir->prepareCall(QStringLiteral("isyerigetir"),
                           {{QStringLiteral("@key1"), context().unitCode()}});
    m_spGetir->open();
    m_spGetir->first();
    limitBoxesToColumnWidths();
}

// The boxes take no more characters than their columns hold, so nothing typed is cut silently.
void TFrmisyeri::limitBoxesToColumnWidths()
{
    const db::WriteTarget& target = m_spGetir->writeTarget();
    if (!target.isValid())
        return;
    const db::TableInfo& table = context().connection.tableInfo(target.table);
    for (controls::DbEdit* box : std::as_const(m_boxes))
        if (const db::TableColumn* column = table.column(box->link()->field());
            column && column->width > 0)
            box->setMaxLength(column->width);
}

void TFrmisyeri::closing()
{
    // Only a change to the unit's existing row is stored; a refusal throws and keeps it pending.
    if (m_spGetir->state() == db::Dataset::State::Edit)
        m_spGetir->post();
    else
        m_spGetir->cancel();
    m_spGetir->close();
}

} // namespace zelvo::admin
