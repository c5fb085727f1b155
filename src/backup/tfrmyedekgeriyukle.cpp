#include "backup/tfrmyedekgeriyukle.h"

#include "backup/backupservice.h"
#include "db/connection.h"
#include "ui/busycursor.h"
#include "ui/look.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zelvo::backup {

namespace {

enum Column { DateColumn, TimeColumn, KindColumn, SizeColumn };

QToolButton* framedButton(QWidget* parent, const QString& name, const QString& caption)
{
    QToolButton* button = ui::look::speedButton(parent, name, caption, QString());
    button->setFont(ui::look::verdana(13, true));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(false); // framed, so it reads as a button and not as a caption
    button->setMinimumSize(150, 30);
    return button;
}

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

TFrmYedekGeriYukle::TFrmYedekGeriYukle(ui::AppContext& context, QWidget* owner)
    : ChildWindow(context, QStringLiteral("FrmYedekGeriYukle"), QSize(640, 440), owner)
{
    m_service = BackupService::of(context.connection);
    if (!m_service) {
        m_ownService =
            std::make_unique<BackupService>(context.connection, context.dialogs, QString());
        m_ownService->setAutomatic(false);
        m_service = m_ownService.get();
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 10);
    auto* top = new QHBoxLayout;
    auto* heading = new QLabel(QStringLiteral("Yedekten Geri Yükle"), this);
    heading->setObjectName(QStringLiteral("Heading"));
    ui::look::setHeadingFont(heading);
    top->addStretch();
    top->addWidget(heading);
    top->addStretch();
    top->addWidget(createCloseButton(this));
    layout->addLayout(top);

    m_folderLabel = new QLabel(this);
    m_folderLabel->setObjectName(QStringLiteral("LabelKlasor"));
    m_folderLabel->setWordWrap(true);
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_folderLabel);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListYedekler"));
    m_list->setHeaderLabels({QStringLiteral("Tarih"), QStringLiteral("Saat"), QStringLiteral("Tür"),
                             QStringLiteral("Boyut")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(KindColumn, QHeaderView::Stretch);
    m_list->setColumnWidth(DateColumn, 120);
    m_list->setColumnWidth(TimeColumn, 90);
    m_list->setColumnWidth(SizeColumn, 100);
    connect(m_list, &QTreeWidget::itemActivated, this, &TFrmYedekGeriYukle::restoreChosen);
    layout->addWidget(m_list, 1);

    auto* buttons = new QHBoxLayout;
    m_restoreButton =
        framedButton(this, QStringLiteral("BtnGeriYukle"), QStringLiteral("Geri Yükle"));
    m_fileButton =
        framedButton(this, QStringLiteral("BtnDosyadan"), QStringLiteral("Başka Dosyadan..."));
    connect(m_restoreButton, &QToolButton::clicked, this, &TFrmYedekGeriYukle::restoreChosen);
    connect(m_fileButton, &QToolButton::clicked, this, &TFrmYedekGeriYukle::restoreFromFile);
    buttons->addWidget(m_restoreButton);
    buttons->addWidget(m_fileButton);
    buttons->addStretch();
    layout->addLayout(buttons);
}

TFrmYedekGeriYukle::~TFrmYedekGeriYukle() = default;

void TFrmYedekGeriYukle::activate()
{
    m_list->clear();
    const QString reason = m_service->unavailableReason();
    m_restoreButton->setEnabled(reason.isEmpty());
    m_fileButton->setEnabled(reason.isEmpty());
    if (!reason.isEmpty()) {
        m_folderLabel->setText(reason);
        return;
    }
    const BackupFolder& folder = m_service->folder();
    m_folderLabel->setText(
        QStringLiteral("Yedek klasörü: %1").arg(QDir::toNativeSeparators(folder.path())));
    const QLocale locale;
    for (const BackupFile& copy : folder.copies()) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(DateColumn, locale.toString(copy.taken.date(), QLocale::ShortFormat));
        item->setText(TimeColumn, copy.taken.time().toString(QStringLiteral("HH:mm:ss")));
        item->setText(KindColumn, kindTitle(copy.kind));
        item->setText(SizeColumn, sizeText(copy.size));
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(DateColumn, Qt::UserRole, copy.path);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void TFrmYedekGeriYukle::restoreChosen()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item) {
        message(QStringLiteral("Geri yüklenecek yedeği listeden seçiniz."));
        return;
    }
    restoreFrom(
        item->data(DateColumn, Qt::UserRole).toString(),
        QStringLiteral("%1 %2 tarihli %3 yedek")
            .arg(item->text(DateColumn), item->text(TimeColumn), item->text(KindColumn).toLower()));
}

void TFrmYedekGeriYukle::restoreFromFile()
{
    const QString file =
        context().dialogs.openFileName(this, QStringLiteral("Geri Yüklenecek Yedek"),
                                       QStringLiteral("Zelvo yedeği (*.db);;Tüm dosyalar (*)"));
    if (!file.isEmpty())
        restoreFrom(file, QDir::toNativeSeparators(file));
}

void TFrmYedekGeriYukle::restoreFrom(const QString& file, const QString& description)
{
    std::unique_ptr<StagedCopy> staged;
    const bool checked = guarded([&] {
        ui::BusyCursor busy;
        staged = m_service->copies().stage(file);
    });
    if (!checked)
        return;
    if (!ask(QStringLiteral("%1 geri yüklenecek.\n\nŞu anki veriler bu yedekteki verilerle "
                            "değiştirilecek; değiştirilmeden önce şu anki verilerin bir yedeği "
                            "alınacak. Geri yüklemeden sonra program kapanacak.\n\nDevam "
                            "edilsin mi?")
                 .arg(description)))
        return;
    QString safetyCopy;
    const bool restored = guarded([&] {
        ui::BusyCursor busy;
        safetyCopy = m_service->restore(*staged);
    });
    if (!restored)
        return;
    // nothing may write the replaced data back from memory
    context().connection.close();
    context().dialogs.message(
        this, QStringLiteral("Yedek geri yüklendi. Geri yüklemeden önceki verilerin yedeği: "
                             "%1\n\nProgram şimdi kapanacak; yeniden başlattığınızda geri "
                             "yüklenen veriler açılacak.")
                  .arg(QDir::toNativeSeparators(safetyCopy)));
    endProgram();
}

void TFrmYedekGeriYukle::endProgram()
{
    QWidget* mainWindow = context().mainWindow;
    close();
    if (mainWindow)
        mainWindow->close();
    QCoreApplication::exit(0);
}

} // namespace zelvo::backup
