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

// The text of the system error box: a full stop is added when the last character sorts after
// the full stop (a letter or a digit), so "no such table: x" becomes "no such table: x.".
QString errorBoxText(const QString& text);

} // namespace zelvo::db
