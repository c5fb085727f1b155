#pragma once

#include "db/connection.h"
#include "db/dataset.h"
#include "scripteddialogs.h"
#include "testbackend.h"
#include "ui/appcontext.h"

#include <QDate>
#include <QWidget>
#include <memory>

// A fresh database built from the server scripts (in memory, or on the test cluster when the
// suite runs against PostgreSQL), a stand-in main window and a login row, as every window test
// needs them.
class TestSession {
public:
    // Logs in as the seeded administrator unless told otherwise.
    // With `embeddedFile`, the embedded database is that file, which a second workstation
    // (openSecondWorkstation) may open too.
    explicit TestSession(const QString& user = QStringLiteral("admin"),
                         const QString& password = QStringLiteral("admin"),
                         pgtest::Backend backend = pgtest::Backend::Requested,
                         const QString& embeddedFile = {});
    explicit TestSession(pgtest::Backend backend)
        : TestSession(QStringLiteral("admin"), QStringLiteral("admin"), backend)
    {
    }

    std::unique_ptr<pgtest::TestDatabase> serverDatabase; // outlives the connections
    // On a server, the installing role's own session beside the user's.
    zelvo::db::Connection owner;
    // The user's: on a server signed in as the user's own login role, as the login does.
    zelvo::db::Connection connection;
    ScriptedDialogs dialogs;
    QWidget mainWindow;
    std::unique_ptr<zelvo::db::Dataset> login;
    std::unique_ptr<zelvo::ui::AppContext> context;

    // The database as its installer sees it, for arranging what a test needs (other units' rows,
    // users, triggers) and for reading back what was stored: on a server the installing role,
    // whom the row policies do not limit; on the embedded database the one connection.
    zelvo::db::Connection& setup() { return owner.isOpen() ? owner : connection; }

    // Applies the demonstration data of the backend (server/demo.sql).
    void loadDemo();
    // Adds a student of the unit and returns its key.
    int addStudent(const QString& number, const QString& name, const QString& surname,
                   const QDate& start, const QDate& end, bool gss = false,
                   const QString& status = QStringLiteral("1"),
                   const QString& unit = QStringLiteral("01"));
    QVariant scalar(const QString& sql, const zelvo::db::Params& params = {});
    // Opens `other` on this session's database, as another workstation would.
    void openSecondWorkstation(zelvo::db::Connection& other) const
    {
        pgtest::openSecondWorkstation(other, connection, serverDatabase.get());
    }
    enum class Change { Insert, Update, Delete };
    // Makes the database refuse a change of `table` with `message` as the server's error: for
    // every row, or for those where `condition` holds (on NEW, on OLD for a deletion). A
    // trigger in the SQL of the session's backend.
    void refuseChanges(Change change, const QString& table, const QString& message,
                       const QString& condition = {});
    void stopRefusing(Change change, const QString& table);
    void refuseInserts(const QString& table, const QString& condition, const QString& message)
    {
        refuseChanges(Change::Insert, table, message, condition);
    }
    void stopRefusingInserts(const QString& table) { stopRefusing(Change::Insert, table); }
    // Counts the rows the database updates in `table`: one row of the table `writes` each.
    void countUpdates(const QString& table);
    // Takes the user's row as the main window holds it after a successful login. The password
    // is not verified here on the embedded database: a verification costs about 0.1 s, too much
    // for every session of the suite; the main window's tests verify it. On a server the session
    // signs in as the user's login role with the password (see signInAsUser).
    void relogin(const QString& user, const QString& password);

private:
    // Opens `connection` as the login role named `user`. The roles are the test cluster's, shared
    // by the test databases copied from one template (the seeded admin, the demo's personel): the
    // first session that needs one makes it, or gives it this password, the way the installer
    // would (--set-password). A test that changes a password uses a user of its own.
    void signInAsUser(const QString& user, const QString& password);
    // A row trigger running `sqliteAction` or `serverAction` (one statement each) at `timing`
    // ("BEFORE UPDATE", ...) for the rows where `condition` holds, or for all.
    void createTrigger(const QString& name, const QString& timing, const QString& table,
                       const QString& condition, const QString& sqliteAction,
                       const QString& serverAction);
    void dropTrigger(const QString& name, const QString& table);
    bool embedded() const { return connection.backendName() == QLatin1String("sqlite"); }
};
