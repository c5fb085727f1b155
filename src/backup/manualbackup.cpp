#include "backup/manualbackup.h"

#include "backup/backupservice.h"
#include "ui/appcontext.h"
#include "ui/busycursor.h"

#include <QDir>
#include <QFileInfo>

namespace zelvo::backup {

void takeManualBackup(ui::AppContext& context, QWidget* parent)
{
    std::unique_ptr<DatabaseCopies> ownCopies;
    DatabaseCopies* copies = nullptr;
    if (BackupService* service = BackupService::of(context.connection)) {
        copies = &service->copies();
    } else {
        ownCopies = copiesOf(context.connection);
        copies = ownCopies.get();
    }
    const QString reason = copies->unavailableReason();
    if (!reason.isEmpty()) {
        context.dialogs.message(parent, reason);
        return;
    }
    const QString proposedName =
        QStringLiteral("%1-yedek-%2.db")
            .arg(QFileInfo(copies->databasePath()).completeBaseName(),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm")));
    const QString target = context.dialogs.saveFileName(parent, QStringLiteral("Yedek Al"),
                                                        QStringLiteral("Zelvo yedeği (*.db)"),
                                                        QStringLiteral("db"), proposedName);
    if (target.isEmpty())
        return;
    try {
        ui::BusyCursor busy;
        copies->writeCopy(target);
    } catch (const db::DbError& e) {
        context.dialogs.error(parent, db::errorBoxText(e.text()));
        return;
    }
    context.dialogs.message(
        parent, QStringLiteral("Yedek alındı: %1").arg(QDir::toNativeSeparators(target)));
}

} // namespace zelvo::backup
