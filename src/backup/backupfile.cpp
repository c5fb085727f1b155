#include "backup/backupfile.h"

#include <QRegularExpression>

#include <array>

namespace zelvo::backup {

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-dd-HHmmss");

// Each kind's tag in a file name and its title for the user, in one place.
struct KindNames {
    BackupKind kind;
    QString tag;
    QString title;
};

const std::array<KindNames, 3>& kindNames()
{
    static const std::array<KindNames, 3> names{{
        {BackupKind::Daily, QStringLiteral("gunluk"), QStringLiteral("Günlük")},
        {BackupKind::BeforeRun, QStringLiteral("islem-oncesi"), QStringLiteral("İşlem öncesi")},
        {BackupKind::BeforeRestore, QStringLiteral("geri-yukleme-oncesi"),
         QStringLiteral("Geri yükleme öncesi")},
    }};
    return names;
}

const KindNames* namesOf(BackupKind kind)
{
    for (const KindNames& names : kindNames())
        if (names.kind == kind)
            return &names;
    return nullptr;
}

QString kindTag(BackupKind kind)
{
    const KindNames* names = namesOf(kind);
    return names ? names->tag : QString();
}

std::optional<BackupKind> kindOfTag(const QString& tag)
{
    for (const KindNames& names : kindNames())
        if (names.tag == tag)
            return names.kind;
    return std::nullopt;
}

} // namespace

QString backupFileName(const QString& databaseName, BackupKind kind, const QDateTime& taken)
{
    return QStringLiteral("%1-%2-%3.db")
        .arg(databaseName, kindTag(kind), taken.toString(dateFormat));
}

std::optional<BackupFile> parseBackupFileName(const QString& fileName, const QString& databaseName)
{
    // the database name may hold dashes itself, so the kind is found from the end
    static const QRegularExpression pattern(
        QStringLiteral("^(.+)-(gunluk|islem-oncesi|geri-yukleme-oncesi)-"
                       "(\\d{4}-\\d{2}-\\d{2}-\\d{6})\\.db$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch() || match.captured(1) != databaseName)
        return std::nullopt;
    const QDateTime taken = QDateTime::fromString(match.captured(3), dateFormat);
    const std::optional<BackupKind> kind = kindOfTag(match.captured(2));
    if (!taken.isValid() || !kind)
        return std::nullopt;
    BackupFile file;
    file.path = fileName;
    file.kind = *kind;
    file.taken = taken;
    return file;
}

QString partialPath(const QString& target)
{
    return target + QStringLiteral(".part");
}

bool isPartialFileOf(const QString& fileName, const QString& databaseName)
{
    // "<copy>.part" and the journal files SQLite keeps beside it while writing
    static const QRegularExpression partial(QStringLiteral("\\.db\\.part(-journal|-wal|-shm)?$"));
    return fileName.startsWith(databaseName + QLatin1Char('-')) &&
           partial.match(fileName).hasMatch();
}

QString kindTitle(BackupKind kind)
{
    const KindNames* names = namesOf(kind);
    return names ? names->title : QString();
}

} // namespace zelvo::backup
