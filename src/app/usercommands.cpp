#include "app/usercommands.h"

#include "db/dberror.h"
#include "db/passwordhash.h"
#include "db/serveraccount.h"

#include <cstdio>
#include <iostream>
#include <string>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace zelvo::app {

bool standardInputIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin));
#else
    return isatty(STDIN_FILENO);
#endif
}

namespace {

// Echo of the terminal off while it lives.
class HiddenInput {
public:
    HiddenInput()
    {
#ifdef Q_OS_WIN
        m_console = GetStdHandle(STD_INPUT_HANDLE);
        m_hidden = GetConsoleMode(m_console, &m_mode) &&
                   SetConsoleMode(m_console, m_mode & ~DWORD(ENABLE_ECHO_INPUT));
#else
        m_hidden = tcgetattr(STDIN_FILENO, &m_mode) == 0;
        if (m_hidden) {
            termios quiet = m_mode;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            m_hidden = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        }
#endif
    }
    ~HiddenInput()
    {
        if (!m_hidden)
            return;
#ifdef Q_OS_WIN
        SetConsoleMode(m_console, m_mode);
#else
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_mode);
#endif
        std::fputs("\n", stderr);
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

private:
    bool m_hidden = false;
#ifdef Q_OS_WIN
    HANDLE m_console = nullptr;
    DWORD m_mode = 0;
#else
    termios m_mode{};
#endif
};

QString readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return {};
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    // an empty line is an empty text, not the null of the end of input
    return line.empty() ? QStringLiteral("") : QString::fromStdString(line);
}

QString askHidden(const QString& prompt)
{
    std::fputs(qPrintable(prompt), stderr);
    std::fflush(stderr);
    const HiddenInput hidden;
    return readLine();
}

// The same rule as the password window's.
QString passwordProblem(const QString& password)
{
    if (password.size() < db::shortestPassword)
        return QStringLiteral("Parola en az %1 karakter olmalı.").arg(db::shortestPassword);
    if (password.size() > db::longestPassword)
        return QStringLiteral("Parola en fazla %1 karakter olabilir.").arg(db::longestPassword);
    return {};
}

QString askValidPassword(const PasswordPrompt& askPassword, const QString& name)
{
    const QString password = askPassword(QStringLiteral("%1 kullanıcısının parolası: ").arg(name));
    if (password.isNull())
        throw db::DbError(QStringLiteral("Parola okunamadı"));
    if (const QString problem = passwordProblem(password); !problem.isEmpty())
        throw db::DbError(problem);
    return password;
}

void requireServer(const db::DatabaseSettings& settings)
{
    if (!settings.isServer())
        throw db::DbError(QStringLiteral("Kullanıcı komutları yalnızca PostgreSQL sunucusu için "
                                         "(zelvo.ini: kind=postgresql); gömülü veritabanının "
                                         "kullanıcıları programın içinden yönetilir"));
}

} // namespace

PasswordPrompt terminalPasswordPrompt()
{
    return [](const QString& prompt) -> QString {
        if (!standardInputIsTerminal())
            return readLine();
        const QString first = askHidden(prompt);
        if (first.isNull())
            return {};
        if (askHidden(QStringLiteral("Parola (yeniden): ")) != first)
            throw db::DbError(QStringLiteral("İki parola aynı değil"));
        return first;
    };
}

int runUserCommand(const UserCommand& command, const db::DatabaseSettings& settings,
                   const PasswordPrompt& askPassword, QTextStream& out, QTextStream& err)
{
    try {
        requireServer(settings);
        db::Connection connection;
        connection.openPostgres(settings.server);
        switch (command.kind) {
        case UserCommand::Kind::Add: {
            if (command.unit.isEmpty())
                throw db::DbError(QStringLiteral("Kullanıcının birimi verilmedi (--unit KOD)"));
            const QString password = askValidPassword(askPassword, command.name);
            db::addServerUser(connection,
                              {command.name, command.unit, command.administrator, command.fullName},
                              password);
            out << QStringLiteral("Kullanıcı eklendi: %1 (birim %2, %3)\n")
                       .arg(command.name, command.unit,
                            command.administrator ? QStringLiteral("yönetici")
                                                  : QStringLiteral("personel"));
            break;
        }
        case UserCommand::Kind::SetPassword:
            db::setServerUserPassword(connection, command.name,
                                      askValidPassword(askPassword, command.name));
            out << QStringLiteral("Parola verildi: %1\n").arg(command.name);
            break;
        case UserCommand::Kind::Remove:
            db::removeServerUser(connection, command.name);
            out << QStringLiteral("Kullanıcı silindi: %1 (sunucudaki girişi de kaldırıldı; "
                                  "değişiklik kaydındaki adı kalır)\n")
                       .arg(command.name);
            break;
        case UserCommand::Kind::None:
            break;
        }
    } catch (const db::DbError& error) {
        err << db::errorBoxText(error.text()) << '\n';
        return 1;
    }
    return 0;
}

void giveLoginsAfterInstall(const db::DatabaseSettings& settings, bool askTerminal,
                            const PasswordPrompt& askPassword, QTextStream& out)
{
    db::Connection connection;
    connection.openPostgres(settings.server);
    QStringList waiting;
    for (const QString& name : db::serverUsersWithoutLogin(connection)) {
        if (askTerminal) {
            const QString password = askPassword(
                QStringLiteral("%1 kullanıcısının parolası (boş: sonra --set-password ile): ")
                    .arg(name));
            if (!password.isEmpty()) {
                if (const QString problem = passwordProblem(password); !problem.isEmpty()) {
                    out << problem << '\n';
                } else {
                    db::setServerUserPassword(connection, name, password);
                    out << QStringLiteral("Parola verildi: %1\n").arg(name);
                    continue;
                }
            }
        }
        waiting << name;
    }
    if (!waiting.isEmpty())
        out << QStringLiteral("Sunucuda girişi olmayan kullanıcılar (parola verilene dek giriş "
                              "yapamazlar; zelvo --set-password AD): %1\n")
                   .arg(waiting.join(QStringLiteral(", ")));
}

} // namespace zelvo::app
