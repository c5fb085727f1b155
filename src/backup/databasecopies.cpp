#include "backup/databasecopies.h"

#include "backup/sqlitecopies.h"
#include "db/connection.h"

namespace zelvo::backup {

namespace {

// A database the program does not copy itself: every request is refused with the reason.
class UnavailableCopies : public DatabaseCopies {
public:
    explicit UnavailableCopies(QString reason) : m_reason(std::move(reason)) {}

    QString unavailableReason() const override { return m_reason; }
    QString databasePath() const override { return {}; }
    void writeCopy(const QString&) override { throw db::DbError(m_reason); }
    std::unique_ptr<StagedCopy> stage(const QString&) const override
    {
        throw db::DbError(m_reason);
    }
    void replaceWith(const StagedCopy&) override { throw db::DbError(m_reason); }

private:
    QString m_reason;
};

} // namespace

std::unique_ptr<DatabaseCopies> copiesOf(db::Connection& connection)
{
    if (!connection.isOpen())
        return std::make_unique<UnavailableCopies>(
            QStringLiteral("Veritabanı bağlantısı açık değil"));
    if (connection.backendName() != QLatin1String("sqlite"))
        return std::make_unique<UnavailableCopies>(
            QStringLiteral("Veritabanı bir sunucuda; yedeklerini sunucunun yöneticisi sunucunun "
                           "kendi araçlarıyla (pg_dump) alır. Program bu veritabanının yedeğini "
                           "almaz ve geri yüklemez."));
    if (connection.filePath().isEmpty())
        return std::make_unique<UnavailableCopies>(
            QStringLiteral("Bellekteki bir veritabanının yedeği alınmaz"));
    return std::make_unique<SqliteCopies>(connection);
}

} // namespace zelvo::backup
