#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace zelvo::ui {

// Every message, question, error box, save dialog and modal window a window shows goes through
// here, so tests can answer them by script and see what was shown.
class DialogService {
public:
    virtual ~DialogService() = default;

    // The window's own message: OK button, the application title as caption.
    virtual void message(QWidget* parent, const QString& text);
    // Yes / No, Yes the default. `withIcon` false gives a box without icon.
    virtual bool question(QWidget* parent, const QString& text, bool withIcon = true);
    // Yes / No with No the default: for storing something most likely wrong.
    virtual bool cautiousQuestion(QWidget* parent, const QString& text);
    // The system error box for database, file and conversion errors (text already final).
    virtual void error(QWidget* parent, const QString& text);
    // A save dialog; returns the chosen path or an empty text when cancelled. With several
    // filters ("A (*.zrp);;B (*.pdf)") the suffix added follows the filter the user picks. It
    // opens in the folder where a file of the same kind (suffix) was last saved, and changes
    // to the chosen kind's folder when the user picks another filter.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix, const QString& proposedName);
    // An open dialog for an existing file; returns its path or an empty text when cancelled.
    // It opens where files of its filter's kind were last saved.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter);
    // Shows a modal window (a child window, a report preview) and returns when it closes.
    virtual void runModal(QDialog& dialog);
};

// Where the save dialogs start: the folder a file with this suffix ("xml", "csv", "zrp", "pdf")
// was last saved to, remembered in the user's settings across runs; the user's documents folder
// (or home) before the first save or when the folder is gone.
QString lastSaveFolder(const QString& suffix);
void rememberSaveFolder(const QString& savedFilePath);
// The first suffix a filter names: "PDF belgesi (*.pdf)" -> "pdf".
QString filterSuffix(const QString& filter);

} // namespace zelvo::ui
