#pragma once

#include "ui/childwindow.h"

#include <memory>

class QLabel;
class QToolButton;
class QTreeWidget;

namespace zelvo::backup {

class BackupService;

// "Yedekten Geri Yükle": the copies in the backup folder with their date, time, kind and size,
// newest first; the chosen one (or a file from elsewhere, a USB stick) is checked, confirmed and
// restored, after a copy of the data as it is now. Then the program ends, so that nothing of the
// replaced data stays in memory; the next start opens the restored data.
class TFrmYedekGeriYukle : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmYedekGeriYukle(ui::AppContext& context, QWidget* owner = nullptr);
    ~TFrmYedekGeriYukle() override;

protected:
    void activate() override;

private:
    void restoreChosen();   // "Geri Yükle", or a row double-clicked
    void restoreFromFile(); // "Başka Dosyadan..."
    void restoreFrom(const QString& file, const QString& description);
    void endProgram();

    BackupService* m_service = nullptr;
    std::unique_ptr<BackupService> m_ownService; // when the program set up none
    QLabel* m_folderLabel;
    QTreeWidget* m_list;
    QToolButton* m_restoreButton;
    QToolButton* m_fileButton;
};

} // namespace zelvo::backup
