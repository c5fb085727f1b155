#include "dialogservice.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace app {

void DialogService::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

bool DialogService::question(QWidget* parent, const QString& text, bool withIcon)
{
    QMessageBox box(withIcon ? QMessageBox::Question : QMessageBox::NoIcon,
                    QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Evet"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Hayır"));
    return box.exec() == QMessageBox::Yes;
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
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    // With several filters a name typed without suffix gets the chosen filter's:
    // "PDF belgesi (*.pdf)" -> "pdf".
    if (filter.contains(QStringLiteral(";;"))) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& chosen) {
                             static const QRegularExpression suffix(QStringLiteral("\\*\\.(\\w+)"));
                             const QRegularExpressionMatch match = suffix.match(chosen);
                             if (match.hasMatch())
                                 dialog.setDefaultSuffix(match.captured(1));
                         });
    }
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString DialogService::openFileName(QWidget* parent, const QString& title, const QString& filter)
{
    QFileDialog dialog(parent, title, QString(), filter);
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

} // namespace app
