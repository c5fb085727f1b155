#pragma once

#include "appcontext.h"
#include "connection.h"
#include "dataset.h"
#include "scripteddialogs.h"
#include "testbackend.h"

#include <QDate>
#include <QWidget>
#include <memory>

// A fresh database built from the server scripts (in memory, or on the test cluster when the
// suite runs against PostgreSQL), a stand-in main window and a login row, as every window test
// needs them.
class TestSession {
public:
    // Logs in as the seeded administrator unless told otherwise.
    explicit TestSession(const QString& user = QStringLiteral("admin"),
                         const QString& password = QStringLiteral("admin"),
                         pgtest::Backend backend = pgtest::Backend::Requested);
    explicit TestSession(pgtest::Backend backend)
        : TestSession(QStringLiteral("admin"), QStringLiteral("admin"), backend)
    {
    }

    std::unique_ptr<pgtest::TestDatabase> serverDatabase; // outlives the connection
    db::Connection connection;
    ScriptedDialogs dialogs;
    QWidget mainWindow;
    std::unique_ptr<db::Dataset> login;
    std::unique_ptr<app::AppContext> context;

    // Applies the demonstration data of the backend (server/<backend>/demo.sql).
    void loadDemo();
    // Adds a student of the unit and returns its key.
    int addStudent(const QString& number, const QString& name, const QString& surname,
                   const QDate& start, const QDate& end, bool gss = false,
                   const QString& status = QStringLiteral("1"),
                   const QString& unit = QStringLiteral("01"));
    QVariant scalar(const QString& sql, const db::Params& params = {});
    // Makes the database refuse a new row of `table` for which `condition` (on NEW) holds,
    // with `message` as the server's error: a trigger in the SQL of the session's backend.
    void refuseInserts(const QString& table, const QString& condition, const QString& message);
    void stopRefusingInserts(const QString& table);
    // Takes the user's row as the main window holds it after a successful login. The password
    // is not verified here: a verification costs about 0.1 s, too much for every session of the
    // suite; the main window's tests verify it.
    void relogin(const QString& user, const QString& password);
};
