#include "ui/dialogservice.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace zelvo::ui {

namespace {

QString settingsKey(const QString& suffix)
{
    return QStringLiteral("saveFolders/") + suffix.toLower();
}

QString firstSaveFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

bool askYesNo(QWidget* parent, QMessageBox::Icon icon, const QString& text,
              QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Evet"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Hayır"));
    return box.exec() == QMessageBox::Yes;
}

} // namespace

QString filterSuffix(const QString& filter)
{
    static const QRegularExpression suffix(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = suffix.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString lastSaveFolder(const QString& suffix)
{
    if (!suffix.isEmpty()) {
        const QString folder = QSettings().value(settingsKey(suffix)).toString();
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return firstSaveFolder();
}

void rememberSaveFolder(const QString& savedFilePath)
{
    const QFileInfo file(savedFilePath);
    if (file.suffix().isEmpty())
        return;
    QSettings().setValue(settingsKey(file.suffix()), file.absolutePath());
}

void DialogService::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

bool DialogService::question(QWidget* parent, const QString& text, bool withIcon)
{
    return askYesNo(parent, withIcon ? QMessageBox::Question : QMessageBox::NoIcon, text,
                    QMessageBox::Yes);
}

// a warning whose Enter answers No: what it asks about is hard to undo
bool DialogService::cautiousQuestion(QWidget* parent, const QString& text)
{
    return askYesNo(parent, QMessageBox::Warning, text, QMessageBox::No);
}

void DialogService::error(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

QString DialogService::saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& defaultSuffix, const QString& proposedName)
{
    const QString kind = defaultSuffix.isEmpty() ? filterSuffix(filter) : defaultSuffix;
    QFileDialog dialog(parent, title, lastSaveFolder(kind), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // With several filters a name typed without suffix gets the chosen filter's, and the dialog
    // moves to where that kind was last saved; the name typed so far stays.
    if (filter.contains(QStringLiteral(";;"))) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& chosen) {
                             const QString suffix = filterSuffix(chosen);
                             if (suffix.isEmpty())
                                 return;
                             dialog.setDefaultSuffix(suffix);
                             dialog.setDirectory(lastSaveFolder(suffix));
                         });
    }
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    rememberSaveFolder(chosen);
    return chosen;
}

QString DialogService::openFileName(QWidget* parent, const QString& title, const QString& filter)
{
    QFileDialog dialog(parent, title, lastSaveFolder(filterSuffix(filter)), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void DialogService::runModal(QDialog& dialog)
{
    dialog.exec();
}

} // namespace zelvo::ui
