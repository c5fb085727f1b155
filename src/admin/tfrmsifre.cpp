#include "admin/tfrmsifre.h"

#include "admin/adminlook.h"
#include "db/passwordhash.h"
#include "db/serveraccount.h"
#include "ui/look.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::admin {

TFrmsifre::TFrmsifre(ui::AppContext& context, QWidget* owner)
    : ChildWindow(context, QStringLiteral("Frmsifre"), QSize(510, 178), owner)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(2);
    layout->addWidget(heading(this, QStringLiteral("Şifre Değiştirme")), 0, Qt::AlignHCenter);

    QFrame* panel = ui::look::raisedPanel(this, QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(10, 8, 8, 8);
    grid->setVerticalSpacing(6);
    m_current =
        addBox(grid, 0, QStringLiteral("Mevcut Şifrenizi Giriniz :"), QStringLiteral("Edit1"));
    m_new = addBox(grid, 1, QStringLiteral("Yeni Şifrenizi Giriniz :"), QStringLiteral("Edit2"));
    m_repeat =
        addBox(grid, 2, QStringLiteral("Yeni Şifrenizi Tekrar Giriniz :"), QStringLiteral("Edit3"));

    QToolButton* ok = ui::look::speedButton(panel, QStringLiteral("SpeedButton1"),
                                            QStringLiteral("Tamam"), QString());
    ok->setFont(ui::look::verdana(19, true));
    ok->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ok->setAutoRaise(false); // a framed button, so it does not read as a caption
    connect(ok, &QToolButton::clicked, this, &TFrmsifre::confirm);
    grid->addWidget(createCloseButton(panel), 0, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(ok, 2, 2, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(2, 1);
    layout->addWidget(panel, 1);
}

QLineEdit* TFrmsifre::addBox(QGridLayout* grid, int row, const QString& label, const QString& name)
{
    QWidget* panel = grid->parentWidget();
    auto* box = new QLineEdit(panel);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 35; }")); // '#'
    box->setFixedWidth(140);
    box->setMaxLength(50);
    QLabel* text = caption(panel, label, 11, Qt::black);
    text->setBuddy(box);
    grid->addWidget(text, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(box, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    return box;
}

void TFrmsifre::confirm()
{
    // the login row holds the hash; the typed text is verified against it, never compared
    bool currentMatches = false;
    if (!guarded([&] { currentMatches = verifies(m_current->text()); }))
        return;
    if (!currentMatches) {
        message(QStringLiteral("Mevcut şifrenizi yanlış girdiniz."));
        m_current->clear();
        return;
    }
    if (m_new->text().size() < db::shortestPassword) {
        message(
            QStringLiteral("En az 5 karakter uzunlukta olması gereken yeni şifrenizi giriniz!"));
        return;
    }
    if (m_new->text().size() > db::longestPassword) {
        message(QStringLiteral("Yeni şifreniz en fazla 10 karakter olabilir."));
        return;
    }
    if (m_new->text() != m_repeat->text()) {
        message(
            QStringLiteral("Yeni şifreyi olarak her iki kutucuğada aynı bilgiyi girmelisiniz.!"));
        return;
    }
    if (!storePassword(m_repeat->text()))
        return;
    message(QStringLiteral("Şifreniz başarıyla değiştirildi."));
    close();
}

// On a server the server itself checks the password, with a second session signed in with it;
// the login row holds no hash there.
bool TFrmsifre::verifies(const QString& password) const
{
    if (context().connection.serverAddress())
        return db::serverPasswordAccepted(context().connection, password);
    return db::verifyPassword(context().login.text(QStringLiteral("sifre")), password);
}

// On a server the new password becomes the server's own for the user's role, sent as a SCRAM
// verifier; the login row is not touched. On the embedded database: stores the hash of the new
// password in the login row. When the server refuses it, the login
// row gets back the hash the server still holds, so the next attempt checks against the right
// one; when the user row changed on another workstation meanwhile, it is read again.
bool TFrmsifre::storePassword(const QString& password)
{
    if (context().connection.serverAddress())
        return guarded([&] { db::changeOwnServerPassword(context().connection, password); });
    db::Dataset& login = context().login;
    const bool wasBrowsing = login.state() == db::Dataset::State::Browse;
    const QVariant stored = login.value(QStringLiteral("sifre"));
    try {
        login.setValue(QStringLiteral("sifre"), db::hashPassword(password));
        login.post();
    } catch (const db::RowConflict& e) {
        login.cancel();
        showError(e.text());
        guarded([&login] { login.refresh(); });
        return false;
    } catch (const db::DbError& e) {
        if (wasBrowsing)
            login.cancel();
        else if (login.state() != db::Dataset::State::Browse)
            login.setValue(QStringLiteral("sifre"), stored);
        showError(e.text());
        return false;
    }
    return true;
}

} // namespace zelvo::admin
