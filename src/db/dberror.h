#pragma once

#include "core/error.h"

#include <QString>

namespace zelvo::db {

// The one error type of the database layer. It carries the text the provider (or the layer
// itself) gave, which the windows show in the system error box. It is core's error, so a
// failed period rule is caught by the same handlers.
using DbError = core::Error;

// A step of the monthly work that gave up waiting for another workstation's run of it: nothing
// was changed, the month holds what that run stored.
class StepRefused : public DbError {
public:
    using DbError::DbError;
};

// A store refused because the row is no longer the one that was read: another workstation
// changed it (or deleted it) in the meantime. Nothing was written. The text tells the user who
// changed it and when, where the server recorded it.
class RowConflict : public DbError {
public:
    enum class Kind { Changed, Deleted };
    // `user` and `when` (DD.MM.YYYY HH:MM) are empty when nobody's change is on record.
    RowConflict(Kind kind, const QString& user = {}, const QString& when = {});
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// The connection to a database server broke under a statement (the server restarted, or ended
// the session), or cannot be opened again. The Connection re-opens it on the next action and
// tells the user whether the work of the interrupted one was kept.
class ConnectionLost : public DbError {
public:
    using DbError::DbError;
    // Work the server did not keep (a write, or anything inside a transaction): it rolled it
    // back when the session ended. serverText is the server's (or libpq's) own message.
    static ConnectionLost cutWork(const QString& serverText);
    // The server could not be reached again; reason is libpq's message.
    static ConnectionLost unreachable(const QString& reason);
};

// The server refused the user name or the password of a login. libpq's text does not tell which,
// and neither does the server, so that a user name cannot be found out by trying.
class LoginRefused : public DbError {
public:
    using DbError::DbError;
};

// The text of the system error box: a full stop is added when the last character sorts after
// the full stop (a letter or a digit), so "no such table: x" becomes "no such table: x.".
QString errorBoxText(const QString& text);

} // namespace zelvo::db
