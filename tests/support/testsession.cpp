#include "testsession.h"

#include "db/serveraccount.h"
#include "db/signedinuser.h"

#include <QFile>
#include <QThread>

using namespace zelvo;

TestSession::TestSession(const QString& user, const QString& password, pgtest::Backend backend,
                         const QString& embeddedFile)
{
    pgtest::openTestDatabase(connection, serverDatabase, backend, embeddedFile);
    if (serverDatabase)
        owner.openPostgres(pgtest::testAddress(serverDatabase->name()));
    login = std::make_unique<db::Dataset>(connection);
    login->setProcedure(QStringLiteral("BireyGetirLogin"));
    login->addParam(QStringLiteral("@Key1"));
    relogin(user, password);
    context.reset(new ui::AppContext{connection, *login, dialogs, &mainWindow});
    mainWindow.resize(200, 100);
    mainWindow.show();
}

void TestSession::relogin(const QString& user, const QString& password)
{
    login->close();
    if (serverDatabase)
        signInAsUser(user, password);
    login->setParam(QStringLiteral("@Key1"), user);
    login->open();
    db::recordSignedInUser(connection, user);
}

void TestSession::signInAsUser(const QString& user, const QString& password)
{
    const std::optional<db::ServerAddress>& current = connection.serverAddress();
    if (current && current->user == user && current->password == password)
        return;
    db::ServerAddress address = pgtest::testAddress(serverDatabase->name());
    address.user = user;
    address.password = password;
    for (int attempt = 1;; ++attempt) {
        try {
            connection.openPostgres(address);
            return;
        } catch (const db::LoginRefused&) {
            if (attempt == 4)
                throw;
        }
        try {
            db::setServerUserPassword(owner, user, password);
        } catch (const db::DbError&) {
            // another test process made the role at the same moment
            if (attempt == 3)
                throw;
            QThread::msleep(20);
        }
    }
}

void TestSession::loadDemo()
{
    QFile file(pgtest::demoScriptPath());
    if (!file.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("demo.sql missing"));
    setup().applyScript(QString::fromUtf8(file.readAll()));
}

int TestSession::addStudent(const QString& number, const QString& name, const QString& surname,
                            const QDate& start, const QDate& end, bool gss, const QString& status,
                            const QString& unit)
{
    return setup()
        .insertRow(QStringLiteral("ogrenci"), {{QStringLiteral("ogrencino"), number},
                                               {QStringLiteral("adi"), name},
                                               {QStringLiteral("soyadi"), surname},
                                               {QStringLiteral("baslangictarihi"), start},
                                               {QStringLiteral("bitistarihi"), end},
                                               {QStringLiteral("gss"), gss ? 1 : 0},
                                               {QStringLiteral("statu"), status},
                                               {QStringLiteral("birimkodu"), unit}})
        .toInt();
}

namespace {

QString changeWord(TestSession::Change change)
{
    switch (change) {
    case TestSession::Change::Insert:
        return QStringLiteral("INSERT");
    case TestSession::Change::Update:
        return QStringLiteral("UPDATE");
    case TestSession::Change::Delete:
        break;
    }
    return QStringLiteral("DELETE");
}

QString refusalName(TestSession::Change change, const QString& table)
{
    return QStringLiteral("refuse_%1_%2").arg(changeWord(change), table).toLower();
}

} // namespace

void TestSession::refuseChanges(Change change, const QString& table, const QString& message,
                                const QString& condition)
{
    createTrigger(refusalName(change, table), QStringLiteral("BEFORE ") + changeWord(change), table,
                  condition, QStringLiteral("SELECT RAISE(ABORT, '%1')").arg(message),
                  QStringLiteral("RAISE EXCEPTION '%1'").arg(message));
}

void TestSession::stopRefusing(Change change, const QString& table)
{
    dropTrigger(refusalName(change, table), table);
}

void TestSession::countUpdates(const QString& table)
{
    const QString writes = QStringLiteral("CREATE TABLE writes (n INTEGER)");
    if (embedded())
        connection.execute(writes);
    else
        setup().applyScript(writes); // a server prepares no DDL
    const QString count = QStringLiteral("INSERT INTO writes VALUES (1)");
    createTrigger(QStringLiteral("count_writes"), QStringLiteral("AFTER UPDATE"), table, {}, count,
                  count);
}

void TestSession::createTrigger(const QString& name, const QString& timing, const QString& table,
                                const QString& condition, const QString& sqliteAction,
                                const QString& serverAction)
{
    if (embedded()) {
        const QString when = condition.isEmpty() ? QString() : QStringLiteral(" WHEN ") + condition;
        connection.execute(QStringLiteral("CREATE TRIGGER %1 %2 ON %3%4 BEGIN %5; END")
                               .arg(name, timing, table, when, sqliteAction));
        return;
    }
    // sent as a script, as above; a BEFORE DELETE trigger must hand back OLD for the row to go.
    // It runs as the installer who made it, as the server's own triggers do: the user's role may
    // not write the test's tables.
    const QString when =
        condition.isEmpty() ? QString() : QStringLiteral(" WHEN (%1)").arg(condition);
    const QString kept =
        timing.endsWith(QLatin1String("DELETE")) ? QStringLiteral("OLD") : QStringLiteral("NEW");
    setup().applyScript(
        QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER "
                       "SET search_path = public, pg_temp AS $$ BEGIN %5; "
                       "RETURN %6; END $$; CREATE TRIGGER %1 %2 ON %3 FOR EACH ROW%4 EXECUTE "
                       "FUNCTION %1()")
            .arg(name, timing, table, when, serverAction, kept));
}

void TestSession::dropTrigger(const QString& name, const QString& table)
{
    if (embedded())
        connection.execute(QStringLiteral("DROP TRIGGER %1").arg(name));
    else
        setup().applyScript(
            QStringLiteral("DROP TRIGGER %1 ON %2; DROP FUNCTION %1()").arg(name, table));
}

QVariant TestSession::scalar(const QString& sql, const db::Params& params)
{
    const db::ResultRows rows = setup().query(sql, params);
    return rows.rows.isEmpty() ? QVariant() : rows.rows.first().value(0);
}
