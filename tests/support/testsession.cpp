#include "testsession.h"

#include <QFile>

TestSession::TestSession(const QString& user, const QString& password, pgtest::Backend backend)
{
    pgtest::openTestDatabase(connection, serverDatabase, backend);
    login = std::make_unique<db::Dataset>(connection);
    login->setProcedure(QStringLiteral("BireyGetirLogin"));
    login->addParam(QStringLiteral("@Key1"));
    relogin(user, password);
    context.reset(new app::AppContext{connection, *login, dialogs, &mainWindow});
    mainWindow.resize(200, 100);
    mainWindow.show();
}

void TestSession::relogin(const QString& user, const QString&)
{
    login->close();
    login->setParam(QStringLiteral("@Key1"), user);
    login->open();
}

void TestSession::loadDemo()
{
    QFile file(pgtest::demoScriptPath(connection));
    if (!file.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("demo.sql missing"));
    connection.applyScript(QString::fromUtf8(file.readAll()));
}

int TestSession::addStudent(const QString& number, const QString& name, const QString& surname,
                            const QDate& start, const QDate& end, bool gss, const QString& status,
                            const QString& unit)
{
    return connection
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

void TestSession::refuseInserts(const QString& table, const QString& condition,
                                const QString& message)
{
    const QString name = QStringLiteral("refuse_") + table.toLower();
    if (connection.backendName() == QLatin1String("sqlite")) {
        connection.execute(QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 WHEN %3 BEGIN "
                                          "SELECT RAISE(ABORT, '%4'); END")
                               .arg(name, table, condition, message));
        return;
    }
    connection.applyScript(
        QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF %3 "
                       "THEN RAISE EXCEPTION '%4'; END IF; RETURN NEW; END $$; CREATE TRIGGER %1 "
                       "BEFORE INSERT ON %2 FOR EACH ROW EXECUTE FUNCTION %1()")
            .arg(name, table, condition, message));
}

void TestSession::stopRefusingInserts(const QString& table)
{
    const QString name = QStringLiteral("refuse_") + table.toLower();
    if (connection.backendName() == QLatin1String("sqlite"))
        connection.execute(QStringLiteral("DROP TRIGGER %1").arg(name));
    else // a server prepares no DDL: sent as a script
        connection.applyScript(QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table));
}

QVariant TestSession::scalar(const QString& sql, const db::Params& params)
{
    const db::ResultRows rows = connection.query(sql, params);
    return rows.rows.isEmpty() ? QVariant() : rows.rows.first().value(0);
}
