#pragma once

#include "db/settings.h"

#include <QString>
#include <QTextStream>
#include <functional>

namespace zelvo::app {

// The administration of a shared server's users from the command line, with the installing
// role's credentials (zelvo.ini's user=): --add-user, --set-password, --remove-user.
struct UserCommand {
    enum class Kind { None, Add, SetPassword, Remove };
    Kind kind = Kind::None;
    QString name;
    QString unit;
    bool administrator = false;
    QString fullName;
};

// Asks for a password with `prompt`; returns null when none could be read (end of input).
using PasswordPrompt = std::function<QString(const QString& prompt)>;

// From the terminal without echo, asked twice; from standard input (one line) when that is no
// terminal. Never from the command line, where other users and the shell's history see it.
PasswordPrompt terminalPasswordPrompt();
// Whether standard input is a terminal (a user typing) rather than a file or a pipe.
bool standardInputIsTerminal();

// Runs the command against the server the settings name; says what it did on `out`, or why not
// on `err`. Returns the exit status: 0 done, 1 not.
int runUserCommand(const UserCommand& command, const db::DatabaseSettings& settings,
                   const PasswordPrompt& askPassword, QTextStream& out, QTextStream& err);

// After an installation: the users who have no login role yet (the seeded administrator, the
// users of a database of an earlier version). Asked a password each when standard input is a
// terminal (an empty answer leaves one for later), else listed for --set-password.
void giveLoginsAfterInstall(const db::DatabaseSettings& settings, bool askTerminal,
                            const PasswordPrompt& askPassword, QTextStream& out);

} // namespace zelvo::app
