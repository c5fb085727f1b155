#include "admin/tfrmbirimdegistir.h"

#include "admin/adminlook.h"
#include "controls/boundcontrols.h"
#include "ui/look.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::admin {

TFrmbirimdegistir::TFrmbirimdegistir(ui::AppContext& context, QWidget* owner)
    : ChildWindow(context, QStringLiteral("Frmbirimdegistir"), QSize(1049, 126), owner)
{
    m_spGetir = new db::Dataset(context.connection, this);
    m_spGetir->setObjectName(QStringLiteral("SpGetir"));

    QVBoxLayout* layout = headedLayout(
        this, QStringLiteral("Yönetici Modülü Birim Değiştirme Ekranı"), createCloseButton(this));

    QFrame* panel = ui::look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(12, 6, 12, 6);
    m_units = new controls::DbLookupCombo(panel);
    m_units->setObjectName(QStringLiteral("DBLookupComboBox1"));
    m_units->setFixedWidth(465);
    m_units->setFont(ui::look::verdana(13, true));
    QPalette p = m_units->palette();
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    m_units->setPalette(p);
    m_units->setMaxVisibleItems(15);
    m_units->setLookup(m_spGetir, QStringLiteral("birimkodu"), QStringLiteral("birimadi"));
    m_units->bind(&context.login, QStringLiteral("birimkodu"));
    connect(m_units->link(), &controls::FieldLink::failed, this, &TFrmbirimdegistir::showError);
    row->addStretch();
    row->addWidget(m_units);

    QToolButton* ok = ui::look::speedButton(panel, QStringLiteral("SpeedButton1"),
                                            QStringLiteral("Tamam"), QString());
    ok->setFont(ui::look::verdana(13, true));
    ok->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ok->setAutoRaise(false); // a framed button, so it does not read as a caption
    ok->setMinimumSize(90, 30);
    connect(ok, &QToolButton::clicked, this, &TFrmbirimdegistir::confirm);
    row->addWidget(ok);
    row->addStretch();
    layout->addWidget(panel, 1);
}

void TFrmbirimdegistir::activate()
{
    m_spGetir->prepareCall(QStringLiteral("BirimGetir"));
    m_spGetir->open();
    m_spGetir->first();
}

void TFrmbirimdegistir::confirm()
{
    db::Dataset& login = context().login;
    if (login.state() != db::Dataset::State::Edit)
        return;
    if (!login.isModified()) { // the unit it already had was chosen again
        login.cancel();
        return;
    }
    const QString unitName = m_units->currentText();
    if (!guarded([&login] { login.post(); }))
        return; // refused: the choice stays pending until "Tamam" again or closing
    message(QStringLiteral("Biriminiz, ") + unitName + QStringLiteral(" olarak değiştirildi."));
}

void TFrmbirimdegistir::closing()
{
    // A unit chosen but never confirmed is given up, in memory as in the table.
    db::Dataset& login = context().login;
    if (login.state() == db::Dataset::State::Edit)
        login.cancel();
    m_spGetir->close();
}

} // namespace zelvo::admin
