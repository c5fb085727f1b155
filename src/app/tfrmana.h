#pragma once

#include "app/loginthrottle.h"
#include "ui/appcontext.h"
#include "ui/windowcatalog.h"

#include <QMainWindow>
#include <QMap>
#include <memory>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QToolButton;

namespace zelvo::app {

// The main window: the login, the tool bar and the menu by the user's authority, and the
// opening of every child window. Holds the login row for as long as the program runs.
class TFrmAna : public QMainWindow {
    Q_OBJECT
public:
    TFrmAna(db::Connection& connection, ui::DialogService& dialogs,
            const ui::WindowCatalog& catalog, QWidget* parent = nullptr);
    ~TFrmAna() override;

    ui::AppContext& context() { return *m_context; }
    db::Dataset& loginDataset() { return *m_login; }
    // DsConnect: the login row as bound controls see it.
    db::Dataset& dsConnect() { return *m_login; }
    bool isLoggedIn() const { return m_loggedIn; }

    // Opens a new instance of a child window by class name, modally. A catalog entry may do its
    // work without a window of its own and give none.
    void openWindow(const QString& className);

    void login(); // "Sisteme Bağlan"
    // On a shared server the login opens the connection, as the user's own role with the typed
    // user name and password; nothing is connected before it.
    void setServerSignIn(const db::ServerAddress& address) { m_serverSignIn = address; }
    // Failed logins in a row and the wait they impose; its clock can be replaced in tests.
    LoginThrottle& loginThrottle() { return m_throttle; }

private:
    void buildToolBar(QWidget* central);
    void buildMenu();
    bool passwordAccepted(const QString& password) const;
    // Opens the server session as the typed user; false (and the user told) when it did not open.
    bool signInToServer(const QString& user, const QString& password);
    void refuseLogin();
    void showWait();
    void askForNewPassword();
    QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                            const QString& picture, const QString& window, int loginOrder);
    QToolButton* plainToolButton(QWidget* parent, const QString& name, const QString& caption,
                                 const QString& picture);

    db::Connection& m_connection;
    ui::DialogService& m_dialogs;
    const ui::WindowCatalog& m_catalog;
    db::Dataset* m_login = nullptr;
    std::unique_ptr<ui::AppContext> m_context;
    QMap<int, QToolButton*> m_loginButtons; // by the order a successful login enables them
    QFrame* m_loginPanel = nullptr;
    QLineEdit* m_userEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QToolButton* m_connectButton = nullptr;
    QLabel* m_waitLabel = nullptr;
    QTimer* m_waitTimer = nullptr;
    LoginThrottle m_throttle;
    std::optional<db::ServerAddress> m_serverSignIn;
    QAction* m_parametersItem = nullptr;
    QAction* m_unitItem = nullptr;
    QMenu* m_backupMenu = nullptr;
    QMenu* m_gssMenu = nullptr;
    bool m_loggedIn = false;
};

} // namespace zelvo::app
