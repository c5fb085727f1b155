#pragma once

#include "ui/appcontext.h"

#include <QDialog>
#include <functional>

class QToolButton;

namespace zelvo::ui {

// What every child window shares: created anew per click with the main window as owner, shown
// modally, borderless and centred in the child colour; its activation steps run when it is shown
// and again after each of its own message or question boxes and after a preview it opened; the
// main window is hidden while it is open (unless the window says otherwise) and shown again when
// it closes. Database errors go to the system error box and do not re-run the activation.
class ChildWindow : public QDialog {
    Q_OBJECT
public:
    ChildWindow(AppContext& context, const QString& windowName, const QSize& size,
                QWidget* owner = nullptr);

    AppContext& context() const { return m_context; }
    // Runs the activation steps now (after a modal box or preview has closed).
    void reactivate();

    // The window's own boxes (re-run the activation steps afterwards).
    void message(const QString& text);
    bool ask(const QString& text, bool withIcon = true);
    bool askCautiously(const QString& text); // No the default
    // The system error box with the full-stop rule; no re-activation. A store refused because
    // another workstation changed or deleted the row meanwhile asks instead whether to load the
    // row as now stored (Yes) or to go on editing what was typed (No), which it lists.
    void showError(const QString& text);
    // Runs `work`; a database error is shown in the error box. Returns false after an error.
    bool guarded(const std::function<void()>& work);
    // Shows a modal window of this window's (a report preview), then re-runs the activation.
    void runModal(QDialog& dialog);

    // The close button `SpeedButton29` (picture only; captioned on the About window).
    QToolButton* closeButton() const { return m_closeButton; }

protected:
    // The window's activation steps. A database error there is shown and ends the steps.
    virtual void activate() {}
    // Closing: post what must be posted, close the datasets. Throwing a DbError keeps the window
    // open (the error is shown).
    virtual void closing() {}

    void setHidesMainWindow(bool hides) { m_hidesMainWindow = hides; }
    QToolButton* createCloseButton(QWidget* parent, const QString& caption = {});

    // Escape: a change not stored yet is dropped and the window stays open, so that a user can
    // always back out of a change; with nothing pending it closes the window as its close button
    // does. The default drops the pending change of every dataset of the window; returns false
    // when there was none.
    virtual bool dropPendingChanges();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override; // Escape closes the window the normal way

private:
    void runActivation();
    bool offerStoredRow(const QString& refusal);
    void disarmDefaultButtons();

    AppContext& m_context;
    bool m_hidesMainWindow = true;
    bool m_activating = false;
    bool m_closing = false;
    QToolButton* m_closeButton = nullptr;
};

} // namespace zelvo::ui
