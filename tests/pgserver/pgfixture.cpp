#include "pgfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>

namespace pgtest {

bool skipped = false;

namespace {

const QString TestRole = QStringLiteral("zelvo");
const QString AdminConnection = QStringLiteral("pgtest-admin");

QSqlDatabase open(const QString& connectionName, const QString& database,
                  const QString& user = TestRole, const QString& password = {})
{
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (db.isOpen())
        return db;
    db.setHostName(testCluster().host);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setPassword(password);
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!db.open())
        QTest::qFail(qPrintable(QStringLiteral("cannot connect to %1 on %2: %3")
                                    .arg(database, db.hostName(), db.lastError().text())),
                     __FILE__, __LINE__);
    return db;
}

QString errorText(const QSqlError& error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

// Copying the template's files takes about a fifth of the time of writing every block to the
// log (the default from PostgreSQL 15 on, which has the choice); with fsync off, the two
// checkpoints the file copy needs cost nothing.
QString copyStrategy(QSqlDatabase admin)
{
    static const bool hasChoice = [&admin] {
        QSqlQuery version(admin);
        return version.exec(QStringLiteral("SHOW server_version_num")) && version.next() &&
               version.value(0).toInt() >= 150000;
    }();
    return hasChoice ? QStringLiteral("STRATEGY FILE_COPY") : QString();
}

// A closed connection's server process ends a moment later; a DROP DATABASE that still finds
// it sleeps a tenth of a second before looking again, so the drop waits here in short steps.
void waitForSessionsToEnd(QSqlDatabase admin, const QString& database)
{
    QSqlQuery sessions(admin);
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (!sessions.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity "
                                          "WHERE datname = '%1'")
                               .arg(database)) ||
            !sessions.next() || sessions.value(0).toInt() == 0)
            return;
        QThread::msleep(2);
    }
}

} // namespace

Cluster testCluster()
{
    Cluster cluster;
    cluster.host = qEnvironmentVariable("ZELVO_PG_HOST");
    cluster.ciRequiresIt = qEnvironmentVariable("CI") == QLatin1String("true");
    if (cluster.host.isEmpty()) {
        cluster.unavailable = QStringLiteral("ZELVO_PG_HOST is not set (run the test through "
                                             "CTest, which starts the cluster)");
    } else if (QFile reason(QDir(cluster.host).filePath(QStringLiteral("unavailable")));
               reason.open(QIODevice::ReadOnly)) {
        cluster.unavailable = QString::fromUtf8(reason.readAll()).trimmed();
    } else if (!QFileInfo::exists(QDir(cluster.host).filePath(QStringLiteral(".s.PGSQL.5432")))) {
        cluster.unavailable = QStringLiteral("no server socket in %1").arg(cluster.host);
    }
    return cluster;
}

TestDatabase::TestDatabase(Content content, const QString& createOptions)
{
    static int serial = 0;
    m_name = QStringLiteral("zt_%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
    m_connection = QStringLiteral("pgtest-%1").arg(m_name);
    QSqlDatabase admin = open(AdminConnection, QStringLiteral("postgres"));
    const QString source = content == Content::Installed ? QStringLiteral("zelvo_template")
                                                         : QStringLiteral("template0");
    QSqlQuery create(admin);
    if (!create.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 %3 %4")
                         .arg(m_name, source, copyStrategy(admin), createOptions))) {
        QTest::qFail(qPrintable(QStringLiteral("CREATE DATABASE %1: %2")
                                    .arg(m_name, errorText(create.lastError()))),
                     __FILE__, __LINE__);
        return;
    }
    open(m_connection, m_name);
}

TestDatabase::~TestDatabase()
{
    for (const QString& name : QSqlDatabase::connectionNames()) {
        if (name != m_connection && !name.startsWith(m_connection + QLatin1Char('/')))
            continue;
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    QSqlDatabase admin = QSqlDatabase::database(AdminConnection, false);
    waitForSessionsToEnd(admin, m_name);
    QSqlQuery drop(admin);
    drop.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
}

QSqlDatabase TestDatabase::db() const
{
    return QSqlDatabase::database(m_connection, false);
}

QSqlDatabase TestDatabase::connect(const QString& connectionName) const
{
    return open(m_connection + QLatin1Char('/') + connectionName, m_name);
}

QSqlDatabase TestDatabase::signIn(const QString& user, const QString& password) const
{
    return open(m_connection + QLatin1Char('/') + user, m_name, user, password);
}

QString readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable(QStringLiteral("cannot read %1").arg(path)), __FILE__, __LINE__);
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString runScript(QSqlDatabase db, const QString& sql)
{
    // a scrollable query goes out as one simple query, which may hold many statements
    QSqlQuery q(db);
    q.setForwardOnly(false);
    return q.exec(sql) ? QString() : errorText(q.lastError());
}

Rows tryQuery(QSqlDatabase db, const QString& sql, const QVariantList& values)
{
    Rows result;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    bool ok = q.prepare(sql);
    for (const QVariant& value : values)
        q.addBindValue(value);
    ok = ok && q.exec();
    if (!ok) {
        result.error = errorText(q.lastError());
        result.sqlState = q.lastError().nativeErrorCode();
        return result;
    }
    if (!q.isSelect())
        return result;
    const QSqlRecord record = q.record();
    for (int c = 0; c < record.count(); ++c)
        result.columns << record.fieldName(c);
    while (q.next()) {
        QVector<QVariant> row(record.count());
        for (int c = 0; c < record.count(); ++c)
            row[c] = q.value(c);
        result.rows << row;
    }
    return result;
}

Rows query(QSqlDatabase db, const QString& sql, const QVariantList& values)
{
    Rows result = tryQuery(db, sql, values);
    if (!result.error.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, result.error)), __FILE__,
                     __LINE__);
    return result;
}

Rows callProcedure(QSqlDatabase db, const QString& name, const QVariantList& values)
{
    const QString sql =
        QStringLiteral("SELECT * FROM %1(%2)")
            .arg(name, QStringList(values.size(), QStringLiteral("?")).join(QLatin1String(", ")));
    return query(db, sql, values);
}

} // namespace pgtest
