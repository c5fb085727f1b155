#pragma once

#include "ui/dialogservice.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

// A dialog service for tests: records what was shown and answers from a script.
class ScriptedDialogs : public zelvo::ui::DialogService {
public:
    enum class Kind { Message, Question, Error, Save, Modal, Open };
    struct Shown {
        Kind kind;
        QString text;
    };

    void message(QWidget*, const QString& text) override { shown.append({Kind::Message, text}); }
    bool question(QWidget*, const QString& text, bool) override
    {
        shown.append({Kind::Question, text});
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    bool cautiousQuestion(QWidget*, const QString& text) override
    {
        shown.append({Kind::Question, text});
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void error(QWidget*, const QString& text) override { shown.append({Kind::Error, text}); }
    QString saveFileName(QWidget*, const QString& title, const QString& filter,
                         const QString& defaultSuffix, const QString& proposedName) override
    {
        shown.append({Kind::Save, title});
        lastSaveFilter = filter;
        lastSaveSuffix = defaultSuffix;
        lastProposedName = proposedName;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    QString openFileName(QWidget*, const QString& title, const QString& filter) override
    {
        shown.append({Kind::Open, title});
        lastOpenFilter = filter;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    // Child windows opened from the main window are shown (non-blocking) for the test to drive;
    // other modal windows (previews) go to `onModal` when set.
    void runModal(QDialog& dialog) override
    {
        shown.append({Kind::Modal, dialog.objectName()});
        if (onModal)
            onModal(dialog);
        else if (dialog.testAttribute(Qt::WA_DeleteOnClose))
            dialog.show();
    }

    QStringList texts(Kind kind) const
    {
        QStringList result;
        for (const Shown& s : shown)
            if (s.kind == kind)
                result << s.text;
        return result;
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear() { shown.clear(); }

    QList<Shown> shown;
    QList<bool> answers;     // questions: true = Yes (Yes when empty)
    QStringList saveAnswers; // save dialogs: the chosen path (cancel when empty)
    QString lastSaveFilter;
    QString lastSaveSuffix;
    QString lastProposedName;
    QStringList openAnswers; // open dialogs: the chosen path (cancel when empty)
    QString lastOpenFilter;
    std::function<void(QDialog&)> onModal;
};
