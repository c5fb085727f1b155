#include "db/signedinuser.h"

#include "db/connection.h"

namespace zelvo::db {

void recordSignedInUser(Connection& connection, const QString& user)
{
    if (connection.backendName() != QLatin1String("sqlite"))
        return;
    connection.execute(
        QStringLiteral("INSERT OR REPLACE INTO zelvo_oturum (id, kullanici) VALUES (1, @user)"),
        {{QStringLiteral("@user"), user}});
}

} // namespace zelvo::db
