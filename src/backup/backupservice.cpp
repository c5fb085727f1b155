#include "backup/backupservice.h"

#include "db/connection.h"
#include "ui/appcontext.h"
#include "ui/dialogservice.h"

#include <QDir>
#include <QHash>
#include <QtGlobal>

namespace zelvo::backup {

namespace {

QHash<const db::Connection*, BackupService*>& services()
{
    static QHash<const db::Connection*, BackupService*> byConnection;
    return byConnection;
}

constexpr qint64 recentCopySeconds = 3600;

} // namespace

BackupService::BackupService(db::Connection& connection, ui::DialogService& dialogs,
                             const QString& configuredFolder)
    : m_connection(connection), m_dialogs(dialogs), m_configuredFolder(configuredFolder),
      m_clock([] { return QDateTime::currentDateTime(); })
{
    copiesNow();
    services().insert(&m_connection, this);
}

DatabaseCopies& BackupService::copiesNow() const
{
    if (m_copies && m_copiesOfOpen == m_connection.isOpen())
        return *m_copies;
    m_copies = copiesOf(m_connection);
    m_copiesOfOpen = m_connection.isOpen();
    if (m_copies->unavailableReason().isEmpty())
        m_folder = BackupFolder(m_copies->databasePath(), m_configuredFolder);
    return *m_copies;
}

BackupService::~BackupService()
{
    if (services().value(&m_connection) == this)
        services().remove(&m_connection);
}

BackupService* BackupService::of(const db::Connection& connection)
{
    return services().value(&connection, nullptr);
}

QString BackupService::takeCopy(BackupKind kind)
{
    const QString reason = unavailableReason();
    if (!reason.isEmpty())
        throw db::DbError(reason);
    m_folder.create();
    const QString path = m_folder.newCopyPath(kind, now());
    copiesNow().writeCopy(path);
    m_folder.prune();
    return path;
}

QString BackupService::restore(const StagedCopy& staged)
{
    QString safetyCopy;
    try {
        safetyCopy = takeCopy(BackupKind::BeforeRestore);
    } catch (const db::DbError& e) {
        throw db::DbError(QStringLiteral("Şu anki verilerin yedeği alınamadığı için geri yükleme "
                                         "yapılmadı; veritabanı değiştirilmedi.\n%1")
                              .arg(e.text()));
    }
    copiesNow().replaceWith(staged);
    return safetyCopy;
}

void BackupService::atStart(QWidget* parent)
{
    if (!m_automatic || !unavailableReason().isEmpty())
        return;
    if (!m_folder.hasDailyCopyOf(now().date()))
        takeAutomaticCopy(BackupKind::Daily, parent);
}

void BackupService::beforeReplacingRun(QWidget* parent)
{
    if (!m_automatic || !unavailableReason().isEmpty())
        return;
    // a clock set back must not hold copies off until it catches up, hence either way
    const std::optional<BackupFile> newest = m_folder.newest();
    if (newest && qAbs(newest->taken.secsTo(now())) < recentCopySeconds)
        return;
    takeAutomaticCopy(BackupKind::BeforeRun, parent);
}

void BackupService::takeAutomaticCopy(BackupKind kind, QWidget* parent)
{
    try {
        takeCopy(kind);
    } catch (const db::DbError& e) {
        qWarning("Otomatik yedek alınamadı: %s", e.what());
        if (m_warned)
            return;
        m_warned = true;
        m_dialogs.message(parent,
                          QStringLiteral("Veritabanının otomatik yedeği alınamadı. Çalışmanıza "
                                         "devam edebilirsiniz; yedek klasörünü denetleyiniz: "
                                         "%1\n\n%2")
                              .arg(QDir::toNativeSeparators(m_folder.path()), e.text()));
    }
}

void backupBeforeReplacingRun(ui::AppContext& context, QWidget* window)
{
    if (BackupService* service = BackupService::of(context.connection))
        service->beforeReplacingRun(window);
}

} // namespace zelvo::backup
