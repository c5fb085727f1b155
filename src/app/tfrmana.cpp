#include "app/tfrmana.h"

#include "admin/tfrmbirimdegistir.h"
#include "admin/tfrmhakkinda.h"
#include "admin/tfrmisyeri.h"
#include "admin/tfrmparametre.h"
#include "admin/tfrmsifre.h"
#include "app/windownames.h"
#include "backup/tfrmyedekgeriyukle.h"
#include "declaration/tfrmxmlgss.h"
#include "lists/listvariant.h"
#include "monthly/tfrmpuantajgss.h"
#include "monthly/tfrmtahakkukgss.h"
#include "register/tfrmpsicil.h"

#include "db/passwordhash.h"
#include "db/signedinuser.h"
#include "ui/look.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::app {

namespace {

// The seeded administrator's credentials, which the README gives away.
const QString defaultAdministrator = QStringLiteral("admin");
const QString defaultPassword = QStringLiteral("admin");

QLineEdit* maskedEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 35; }")); // '#'
    edit->setFixedWidth(155);
    edit->setMaxLength(50);
    return edit;
}

QLabel* loginLabel(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ui::look::verdana(13));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(p);
    return label;
}

} // namespace

TFrmAna::TFrmAna(db::Connection& connection, ui::DialogService& dialogs,
                 const ui::WindowCatalog& catalog, QWidget* parent)
    : QMainWindow(parent), m_connection(connection), m_dialogs(dialogs), m_catalog(catalog)
{
    setObjectName(QStringLiteral("FrmAna"));
    setWindowTitle(QString());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(1100, 773);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(550, 386));
    setFont(ui::look::verdana(11));
    QPalette p = palette();
    p.setColor(QPalette::Window, ui::look::mainBackground);
    setPalette(p);

    m_login = new db::Dataset(m_connection, this);
    m_login->setObjectName(QStringLiteral("SpBireyGetirLogin"));
    m_login->setProcedure(QStringLiteral("BireyGetirLogin"));
    m_login->addParam(QStringLiteral("@Key1"));
    m_context.reset(new ui::AppContext{m_connection, *m_login, m_dialogs, this});

    auto* central = new QWidget(this);
    central->setAutoFillBackground(true);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(6);
    buildToolBar(central);

    auto* splash = new QLabel(central);
    splash->setObjectName(QStringLiteral("Image1"));
    splash->setFixedSize(800, 526);
    splash->setScaledContents(true);
    splash->setPixmap(ui::look::picture(QStringLiteral("splash")));
    layout->addWidget(splash, 0, Qt::AlignHCenter);

    auto* updated = new QLabel(QStringLiteral("Son Güncelleme: 15.01.2018"), central);
    updated->setObjectName(QStringLiteral("Label3"));
    layout->addWidget(updated, 0, Qt::AlignHCenter);

    m_loginPanel = ui::look::raisedPanel(central, QStringLiteral("Panel3"));
    m_loginPanel->setFixedSize(444, 80);
    auto* grid = new QHBoxLayout(m_loginPanel);
    auto* fields = new QVBoxLayout;
    auto* userRow = new QHBoxLayout;
    userRow->addWidget(loginLabel(m_loginPanel, QStringLiteral("Kullanıcı Adı:")));
    m_userEdit = maskedEdit(m_loginPanel, QStringLiteral("Edit1"));
    userRow->addWidget(m_userEdit);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(loginLabel(m_loginPanel, QStringLiteral("Şifre:")));
    m_passwordEdit = maskedEdit(m_loginPanel, QStringLiteral("Edit2"));
    passwordRow->addWidget(m_passwordEdit);
    fields->addLayout(userRow);
    fields->addLayout(passwordRow);
    grid->addLayout(fields);
    m_connectButton =
        ui::look::speedButton(m_loginPanel, QStringLiteral("SpeedButton9"),
                              QStringLiteral("Sisteme Bağlan"), QStringLiteral("baglan"));
    m_connectButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_connectButton->setFixedSize(157, 53);
    m_connectButton->setFont(ui::look::verdana(13, true));
    grid->addWidget(m_connectButton);
    connect(m_connectButton, &QToolButton::clicked, this, &TFrmAna::login);
    layout->addWidget(m_loginPanel, 0, Qt::AlignHCenter);

    m_waitLabel = loginLabel(central, QString());
    m_waitLabel->setObjectName(QStringLiteral("LabelBekleme"));
    m_waitLabel->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    m_waitLabel->hide();
    layout->addWidget(m_waitLabel, 0, Qt::AlignHCenter);
    m_waitTimer = new QTimer(this);
    m_waitTimer->setInterval(200); // the countdown moves by whole seconds; this is fine enough
    connect(m_waitTimer, &QTimer::timeout, this, &TFrmAna::showWait);
    layout->addStretch();

    buildMenu();
}

TFrmAna::~TFrmAna() = default;

// A tool bar button that opens a window; it stays off until a user has logged in, and the login
// turns the buttons on by their `loginOrder`.
QToolButton* TFrmAna::toolButton(QWidget* parent, const QString& name, const QString& caption,
                                 const QString& picture, const QString& window, int loginOrder)
{
    QToolButton* button = plainToolButton(parent, name, caption, picture);
    button->setEnabled(false);
    m_loginButtons.insert(loginOrder, button);
    connect(button, &QToolButton::clicked, this, [this, window] { openWindow(window); });
    return button;
}

QToolButton* TFrmAna::plainToolButton(QWidget* parent, const QString& name, const QString& caption,
                                      const QString& picture)
{
    QToolButton* button = ui::look::speedButton(parent, name, caption, picture);
    button->setFixedSize(100, 58);
    button->setFont(ui::look::verdana(11, true));
    QPalette p = button->palette();
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::WindowText, Qt::white);
    button->setPalette(p);
    button->setStyleSheet(QStringLiteral("QToolButton { color: white; font-weight: bold; }"
                                         "QToolButton:disabled { color: #b8bcd8; }"));
    return button;
}

void TFrmAna::buildToolBar(QWidget* central)
{
    auto* bar = new QFrame(central);
    bar->setObjectName(QStringLiteral("Panel1"));
    bar->setFixedHeight(65);
    bar->setAutoFillBackground(true);
    QPalette p = bar->palette();
    p.setColor(QPalette::Window, ui::look::toolBar);
    bar->setPalette(p);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(2);
    row->addWidget(toolButton(bar, QStringLiteral("BtnOgrenciler"), QStringLiteral("1-Öğrenciler"),
                              QStringLiteral("ogrenciler"),
                              windowClassName<studentregister::TFrmPSicil>(), 5));
    row->addWidget(toolButton(bar, QStringLiteral("BtnPuantaj"), QStringLiteral("2-Puantaj"),
                              QStringLiteral("puantaj"), windowClassName<monthly::TFrmPuantaj>(),
                              6));
    row->addWidget(toolButton(bar, QStringLiteral("BtnTahakkuk"), QStringLiteral("3-Taahhuk"),
                              QStringLiteral("tahakkuk"), windowClassName<monthly::TFrmTahakkuk>(),
                              3));
    row->addWidget(toolButton(bar, QStringLiteral("BtnListe1"), QStringLiteral("Liste-1"),
                              QStringLiteral("liste1"), lists::ListVariant::liste1().className, 4));
    row->addWidget(toolButton(bar, QStringLiteral("BtnListe2"), QStringLiteral("Liste-2"),
                              QStringLiteral("liste2"), lists::ListVariant::liste2().className, 8));
    row->addWidget(toolButton(bar, QStringLiteral("BtnXml"), QStringLiteral("XML dosyası"),
                              QStringLiteral("xml"), windowClassName<declaration::TFrmxml>(), 2));
    row->addSpacing(40);
    row->addWidget(toolButton(bar, QStringLiteral("BtnIsyeri"), QStringLiteral("İşyeri"),
                              QStringLiteral("isyeri"), windowClassName<admin::TFrmisyeri>(), 1));
    row->addWidget(toolButton(bar, QStringLiteral("BtnSifre"), QStringLiteral("Şifre"),
                              QStringLiteral("sifre"), windowClassName<admin::TFrmsifre>(), 7));
    row->addWidget(toolButton(bar, QStringLiteral("BtnProgram"), QStringLiteral("Program"),
                              QStringLiteral("program"), windowClassName<admin::TFrmHakkinda>(),
                              9));
    row->addStretch();
    QToolButton* close = plainToolButton(bar, QStringLiteral("BtnKapat"), QStringLiteral("Kapat"),
                                         QStringLiteral("kapat"));
    connect(close, &QToolButton::clicked, this, &QWidget::close);
    row->addWidget(close);
    static_cast<QVBoxLayout*>(central->layout())->addWidget(bar);
}

void TFrmAna::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    m_parametersItem = bar->addAction(QStringLiteral("Temel Parametreler"));
    m_parametersItem->setObjectName(QStringLiteral("MenuTemelParametreler"));
    connect(m_parametersItem, &QAction::triggered, this,
            [this] { openWindow(windowClassName<admin::TFrmparametre>()); });
    m_unitItem = bar->addAction(QStringLiteral("Birim Değiştir"));
    m_unitItem->setObjectName(QStringLiteral("MenuBirimDegistir"));
    connect(m_unitItem, &QAction::triggered, this,
            [this] { openWindow(windowClassName<admin::TFrmbirimdegistir>()); });
    m_backupMenu = bar->addMenu(QStringLiteral("Yedekleme"));
    m_backupMenu->setObjectName(QStringLiteral("MenuYedekleme"));
    m_backupMenu->menuAction()->setObjectName(QStringLiteral("MenuYedeklemeItem"));
    QAction* restore = m_backupMenu->addAction(QStringLiteral("Yedekten Geri Yükle"));
    restore->setObjectName(QStringLiteral("MenuYedektenGeriYukle"));
    connect(restore, &QAction::triggered, this,
            [this] { openWindow(windowClassName<backup::TFrmYedekGeriYukle>()); });
    QAction* copy = m_backupMenu->addAction(QStringLiteral("Yedek Al"));
    copy->setObjectName(QStringLiteral("MenuYedekAl"));
    connect(copy, &QAction::triggered, this, [this] { openWindow(manualBackupEntry); });
    m_gssMenu = bar->addMenu(QStringLiteral("GENEL SAĞLIK SİGORTASI"));
    m_gssMenu->setObjectName(QStringLiteral("MenuGss"));
    m_gssMenu->menuAction()->setObjectName(QStringLiteral("MenuGssItem"));
    const QList<QPair<QString, QString>> gssItems = {
        {QStringLiteral("(GSS) - Puantaj"), windowClassName<monthly::TFrmPuantajgss>()},
        {QStringLiteral("(GSS) - Tahakkuk"), windowClassName<monthly::TFrmTahakkukGss>()},
        {QStringLiteral("(GSS) - Liste-1"), lists::ListVariant::liste1Gss().className},
        {QStringLiteral("(GSS) - Liste-2"), lists::ListVariant::liste2Gss().className},
        {QStringLiteral("(GSS) - XML Dosyası"), windowClassName<declaration::TFrmxmlgss>()},
    };
    for (const auto& [caption, window] : gssItems) {
        QAction* item = m_gssMenu->addAction(caption);
        item->setObjectName(QStringLiteral("MenuGss_") + window);
        connect(item, &QAction::triggered, this, [this, window = window] { openWindow(window); });
    }
    m_parametersItem->setVisible(false);
    m_unitItem->setVisible(false);
    m_backupMenu->menuAction()->setVisible(false);
    m_gssMenu->menuAction()->setVisible(false);
}

void TFrmAna::login()
{
    if (m_throttle.remaining().count() > 0)
        return;
    const QString user = m_userEdit->text();
    const QString password = m_passwordEdit->text();
    if (m_serverSignIn && !signInToServer(user, password))
        return;
    bool accepted = false;
    try {
        // the embedded database finds the user by name only and the password is checked here;
        // a server checked it already, and shows a user their own row only
        m_login->close();
        m_login->setParam(QStringLiteral("@Key1"), user);
        m_login->open();
        accepted = m_serverSignIn ? !m_login->isEmpty() : passwordAccepted(password);
    } catch (const db::DbError& e) {
        m_login->close();
        if (m_serverSignIn)
            m_connection.close();
        m_dialogs.error(this, db::errorBoxText(e.text()));
        return;
    }
    if (!accepted) {
        // a server role without a user row (the installing role) is no user of the program
        if (m_serverSignIn)
            m_connection.close();
        refuseLogin();
        return;
    }
    try {
        // the record of changes names who made them from here on
        db::recordSignedInUser(m_connection, user);
    } catch (const db::DbError& e) {
        m_login->close();
        m_dialogs.error(this, db::errorBoxText(e.text()));
        return;
    }
    m_throttle.recordSuccess();
    m_login->first();
    for (QToolButton* button : std::as_const(m_loginButtons))
        button->setEnabled(true);
    m_loginPanel->hide();
    m_loggedIn = true;
    const QVariant authority = m_login->value(QStringLiteral("yetkitipi"));
    bool ok = false;
    const bool administrator = !authority.isNull() && authority.toInt(&ok) == 1 && ok;
    m_parametersItem->setVisible(administrator);
    m_unitItem->setVisible(administrator);
    m_backupMenu->menuAction()->setVisible(administrator);
    m_gssMenu->menuAction()->setVisible(true);
    if (user == defaultAdministrator && password == defaultPassword)
        askForNewPassword();
}

bool TFrmAna::signInToServer(const QString& user, const QString& password)
{
    m_login->close();
    // an empty name would make libpq sign in as the workstation's account
    if (user.isEmpty()) {
        refuseLogin();
        return false;
    }
    db::ServerAddress address = *m_serverSignIn;
    address.user = user;
    address.password = password;
    try {
        m_connection.openPostgres(address);
    } catch (const db::LoginRefused&) {
        refuseLogin();
        return false;
    } catch (const db::DbError& e) {
        m_dialogs.error(this, db::errorBoxText(e.text()));
        return false;
    }
    return true;
}

// The typed password against the hash of the first row found. Without a row the check still
// runs (against a stand-in hash), so an unknown user name takes as long as a wrong password.
bool TFrmAna::passwordAccepted(const QString& password) const
{
    const QString stored =
        m_login->isEmpty() ? QString() : m_login->value(QStringLiteral("sifre")).toString();
    return db::verifyPassword(stored, password) && !m_login->isEmpty();
}

void TFrmAna::refuseLogin()
{
    m_login->close();
    m_throttle.recordFailure();
    showWait();
    m_dialogs.message(this, QStringLiteral("Yanlış kullanıcı adı veya şifre girdiniz"));
}

// While the throttle makes the next attempt wait, the login button is off and a line under the
// login panel counts the seconds down.
void TFrmAna::showWait()
{
    const qint64 left = m_throttle.remaining().count();
    if (left <= 0) {
        m_waitTimer->stop();
        m_waitLabel->hide();
        m_connectButton->setEnabled(true);
        return;
    }
    m_connectButton->setEnabled(false);
    m_waitLabel->setText(QStringLiteral("Art arda çok sayıda hatalı giriş yapıldı. %1 saniye "
                                        "sonra yeniden deneyebilirsiniz.")
                             .arg(left));
    m_waitLabel->show();
    if (!m_waitTimer->isActive())
        m_waitTimer->start();
}

// The seeded administrator still has the password everyone can read in the README.
void TFrmAna::askForNewPassword()
{
    m_dialogs.message(this,
                      QStringLiteral("Varsayılan yönetici şifresiyle giriş yaptınız. "
                                     "Güvenliğiniz için lütfen yeni bir şifre belirleyiniz."));
    openWindow(windowClassName<admin::TFrmsifre>());
}

void TFrmAna::openWindow(const QString& className)
{
    if (!m_catalog.contains(className)) {
        m_dialogs.message(this, QStringLiteral("Bu bölüm henüz hazır değil (%1).").arg(className));
        return;
    }
    QDialog* window = m_catalog.create(className, *m_context, this);
    if (!window)
        return; // an entry that did its work without a window ("Yedek Al")
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_dialogs.runModal(*window);
}

} // namespace zelvo::app
