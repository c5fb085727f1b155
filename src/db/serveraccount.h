#pragma once

#include <QString>
#include <QStringList>

namespace zelvo::db {

class Connection;

// A user of a shared server signs in as a login role of their own, named as they sign in, with
// their own password: the server, not the program, checks it and decides what they may read and
// change. Passwords reach the server only as SCRAM-SHA-256 verifiers made here, never as typed,
// so that no statement and no server log holds one.

// Whether `password` is the current password of the user the server session of `connection`
// signed in as: a second session is opened with it and closed again. Throws DbError when the
// server cannot be asked (unreachable), not for a wrong password.
bool serverPasswordAccepted(const Connection& connection, const QString& password);

// Gives the signed-in user a new password (ALTER ROLE with a verifier) and keeps it for a
// session opened again. Throws DbError when the server refuses it.
void changeOwnServerPassword(Connection& connection, const QString& password);

// The SCRAM-SHA-256 verifier of `password` for `role`, as the server stores it, made by libpq
// on the connection's session.
QString scramVerifier(const Connection& connection, const QString& role, const QString& password);

// The administration of users, with the installing role's session (one call each, as the
// server's functions of the secured schema do it). Throws DbError with the server's reason.
struct NewServerUser {
    QString name;
    QString unit;
    bool administrator = false;
    QString fullName;
};
void addServerUser(Connection& connection, const NewServerUser& user, const QString& password);
// Also makes the login role of a user row that has none (an upgraded database).
void setServerUserPassword(Connection& connection, const QString& name, const QString& password);
void removeServerUser(Connection& connection, const QString& name);
// The user rows without a login role, which cannot sign in until they are given a password.
QStringList serverUsersWithoutLogin(Connection& connection);

} // namespace zelvo::db
