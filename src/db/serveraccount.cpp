#include "db/serveraccount.h"

#include "db/connection.h"

#include <QSqlDriver>
#include <libpq-fe.h>
#include <memory>

namespace zelvo::db {

namespace {

struct PqFree {
    void operator()(char* text) const { PQfreemem(text); }
};
using PqText = std::unique_ptr<char, PqFree>;

PGconn* sessionOf(const Connection& connection)
{
    const QVariant handle = connection.database().driver()->handle();
    if (connection.backendName() != QLatin1String("postgresql") || !handle.isValid() ||
        // Qt names the type by libpq's struct (pg_conn*), which PGconn is
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        throw DbError(QStringLiteral("Sunucu oturumu açık değil"));
    PGconn* session = *static_cast<PGconn* const*>(handle.constData());
    if (!session)
        throw DbError(QStringLiteral("Sunucu oturumu açık değil"));
    return session;
}

QString libpqError(PGconn* session)
{
    return QString::fromUtf8(PQerrorMessage(session)).trimmed();
}

// A text quoted by libpq for the statement's text: as an identifier (PQescapeIdentifier) or a
// literal (PQescapeLiteral).
QString quoted(PGconn* session, const QString& text, char* (*escape)(PGconn*, const char*, size_t))
{
    const QByteArray bytes = text.toUtf8();
    const PqText result(escape(session, bytes.constData(), size_t(bytes.size())));
    if (!result)
        throw DbError(libpqError(session));
    return QString::fromUtf8(result.get());
}

} // namespace

QString scramVerifier(const Connection& connection, const QString& role, const QString& password)
{
    PGconn* session = sessionOf(connection);
    const QByteArray secret = password.toUtf8();
    const QByteArray user = role.toUtf8();
    const PqText verifier(
        PQencryptPasswordConn(session, secret.constData(), user.constData(), "scram-sha-256"));
    if (!verifier)
        throw DbError(QStringLiteral("Parola şifrelenemedi: %1").arg(libpqError(session)));
    return QString::fromUtf8(verifier.get());
}

bool serverPasswordAccepted(const Connection& connection, const QString& password)
{
    if (!connection.serverAddress())
        throw DbError(QStringLiteral("Sunucu oturumu açık değil"));
    ServerAddress address = *connection.serverAddress();
    address.password = password;
    Connection check;
    try {
        check.openPostgres(address, Connection::SchemaCheck::Skipped);
    } catch (const LoginRefused&) {
        return false;
    }
    return true;
}

void changeOwnServerPassword(Connection& connection, const QString& password)
{
    if (!connection.serverAddress())
        throw DbError(QStringLiteral("Sunucu oturumu açık değil"));
    const QString role = connection.serverAddress()->user;
    PGconn* session = sessionOf(connection);
    // a utility statement takes no bound values: the verifier goes as a quoted literal
    connection.applyScript(
        QStringLiteral("ALTER ROLE %1 PASSWORD %2")
            .arg(quoted(session, role, PQescapeIdentifier),
                 quoted(session, scramVerifier(connection, role, password), PQescapeLiteral)));
    connection.setServerPassword(password);
}

void addServerUser(Connection& connection, const NewServerUser& user, const QString& password)
{
    connection.query(
        QStringLiteral("SELECT zelvo_kullanici_ekle(@ad, @birim, @yonetici::integer = 1, @adsoy, "
                       "@dogrulayici)"),
        {{QStringLiteral("@ad"), user.name},
         {QStringLiteral("@birim"), user.unit},
         {QStringLiteral("@yonetici"), user.administrator ? 1 : 0},
         {QStringLiteral("@adsoy"), user.fullName},
         {QStringLiteral("@dogrulayici"), scramVerifier(connection, user.name, password)}});
}

void setServerUserPassword(Connection& connection, const QString& name, const QString& password)
{
    connection.query(QStringLiteral("SELECT zelvo_sifre_ata(@ad, @dogrulayici)"),
                     {{QStringLiteral("@ad"), name},
                      {QStringLiteral("@dogrulayici"), scramVerifier(connection, name, password)}});
}

void removeServerUser(Connection& connection, const QString& name)
{
    connection.query(QStringLiteral("SELECT zelvo_kullanici_sil(@ad)"),
                     {{QStringLiteral("@ad"), name}});
}

QStringList serverUsersWithoutLogin(Connection& connection)
{
    QStringList names;
    for (const QVector<QVariant>& row :
         connection.query(QStringLiteral("SELECT * FROM zelvo_rolsuz_kullanicilar()")).rows)
        names << row.value(0).toString();
    return names;
}

} // namespace zelvo::db
