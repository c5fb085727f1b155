#pragma once

#include <QApplication>

namespace zelvo::ui {

class DialogService;

// The application object. An exception that escapes an event handler or a slot (a picture that
// fails to load, a column holding something unexpected) must not end the program with the
// user's work in it: it is caught here, at the event loop's boundary, shown in the system
// error box and the loop goes on.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // Where the error box goes; without one the error is only logged.
    void setDialogs(DialogService* dialogs) { m_dialogs = dialogs; }

    bool notify(QObject* receiver, QEvent* event) override;

    // The error box text of an exception caught in flight (call inside a catch block).
    static QString currentExceptionText();

private:
    DialogService* m_dialogs = nullptr;
    bool m_reporting = false;
};

} // namespace zelvo::ui
