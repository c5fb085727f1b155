#include "db/postgresdialect.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

// The bundled server scripts live in this static library; make sure they are registered.
static void initServerScripts()
{
    Q_INIT_RESOURCE(serverscripts);
}

namespace zelvo::db {

namespace {

const QString LockTimeoutState = QStringLiteral("55P03");

QString where(const ServerAddress& address)
{
    const QString host = address.host.isEmpty() ? QStringLiteral("localhost") : address.host;
    return address.port > 0 ? QStringLiteral("%1:%2").arg(host).arg(address.port) : host;
}

bool mentions(const QString& text, std::initializer_list<const char*> phrases)
{
    for (const char* phrase : phrases)
        if (text.contains(QLatin1String(phrase), Qt::CaseInsensitive))
            return true;
    return false;
}

// A value as libpq's connection string takes it: quoted, so that a blank in a path does not end
// it. The driver joins the options with blanks in place of ';', which no value may hold.
QString conninfoValue(QString value)
{
    if (value.contains(QLatin1Char(';')))
        throw DbError(QStringLiteral("Bağlantı ayarındaki değer ';' içeremez: %1").arg(value));
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

QVariant scalar(Connection& connection, const QString& sql, const Params& params = {})
{
    return connection.query(sql, params).rows.value(0).value(0);
}

// The procedures the bundled scripts register in zelvo_procedure: the rows "('Name', ..." of
// its catalog insert.
QStringList bundledProcedureNames()
{
    initServerScripts();
    QFile file(QStringLiteral(":/server/postgresql/02-procedures.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Kurulum betiği okunamadı: %1").arg(file.fileName()));
    const QString script = QString::fromUtf8(file.readAll());
    const qsizetype catalog = script.indexOf(QLatin1String("INSERT INTO zelvo_procedure"));
    static const QRegularExpression row(QStringLiteral("^\\s*\\('(\\w+)',"),
                                        QRegularExpression::MultilineOption);
    QStringList names;
    for (auto it = row.globalMatch(script.mid(qMax<qsizetype>(catalog, 0))); it.hasNext();)
        names << it.next().captured(1);
    if (catalog < 0 || names.isEmpty())
        throw DbError(QStringLiteral("Kurulum betiğinde yordam kataloğu bulunamadı"));
    return names;
}

// libpq's text of a login the server refused: a wrong password or an unknown user (which a
// server asking for passwords reports the same way), or no line of pg_hba.conf letting it in.
bool refusesLogin(const QString& detail)
{
    return mentions(detail, {"authentication failed", "no password supplied", "password", "role \"",
                             "pg_hba.conf"});
}

} // namespace

QString PostgresDialect::connectionFailure(const ServerAddress& address, const QString& driverText)
{
    const QString detail = driverText.simplified();
    if (mentions(detail, {"does not exist"}) && mentions(detail, {"database"}))
        return QStringLiteral("Veritabanı sunucusunda \"%1\" adlı veritabanı yok (sunucu %2). "
                              "Sunucu kurulumunu ve zelvo.ini dosyasındaki name değerini "
                              "denetleyin.\n(%3)")
            .arg(address.name, where(address), detail);
    if (refusesLogin(detail))
        return QStringLiteral("Veritabanı sunucusu girişi reddetti: kullanıcı adı ya da parola "
                              "yanlış (kullanıcı \"%1\", sunucu %2). Parolayı ~/.pgpass "
                              "dosyasında denetleyin.\n(%3)")
            .arg(address.user, where(address), detail);
    // before the unreachable server: libpq's text of a refused certificate begins the same way
    if (mentions(detail, {"certificate", "root cert", "SSL error", "SSL connection"}))
        return QStringLiteral("Veritabanı sunucusunun kimliği doğrulanamadı (sunucu %1): "
                              "sertifikası zelvo.ini dosyasındaki sslrootcert yetkilisince "
                              "verilmemiş ya da host değerindeki adı taşımıyor. Bağlantı "
                              "kurulmadı.\n(%2)")
            .arg(where(address), detail);
    if (mentions(detail, {"could not connect", "connection refused", "no such file",
                          "timeout expired", "could not translate host name", "no route to host",
                          "network is unreachable", "connection to server"}))
        return QStringLiteral("Veritabanı sunucusuna ulaşılamadı (%1). Sunucunun çalıştığını "
                              "ve ağ bağlantısını denetleyin.\n(%2)")
            .arg(where(address), detail);
    return QStringLiteral("Veritabanı sunucusuna bağlanılamadı (%1): %2")
        .arg(where(address), detail);
}

QString PostgresDialect::connect(Connection& connection, const ServerAddress& address)
{
    QSqlDatabase db =
        QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection.connectionName());
    if (!db.isValid())
        throw DbError(QStringLiteral("PostgreSQL veritabanı sürücüsü yüklenemedi (QPSQL); "
                                     "Qt'nin PostgreSQL eklentisi kurulu olmalı"));
    db.setHostName(address.host);
    if (address.port > 0)
        db.setPort(address.port);
    db.setDatabaseName(address.name);
    db.setUserName(address.user);
    // without a password libpq looks in its password file (~/.pgpass, PGPASSFILE)
    if (!address.password.isEmpty())
        db.setPassword(address.password);
    QStringList options = {
        QStringLiteral("connect_timeout=%1").arg(qMax(2, address.connectTimeoutSeconds)),
        QStringLiteral("application_name=zelvo"),
        // over TCP a network gone quiet is found within a minute, instead of a statement
        // waiting until the operating system gives up (libpq ignores these on a Unix socket)
        QStringLiteral("keepalives=1"), QStringLiteral("keepalives_idle=30"),
        QStringLiteral("keepalives_interval=10"), QStringLiteral("keepalives_count=3"),
        QStringLiteral("tcp_user_timeout=30000")};
    if (!address.sslmode.isEmpty())
        options << QStringLiteral("sslmode=%1").arg(conninfoValue(address.sslmode));
    if (!address.sslrootcert.isEmpty())
        options << QStringLiteral("sslrootcert=%1").arg(conninfoValue(address.sslrootcert));
    db.setConnectOptions(options.join(QLatin1Char(';')));
    return db.open() ? QString() : errorText(db.lastError());
}

void PostgresDialect::open(Connection& connection, const ServerAddress& address)
{
    const QString failure = connect(connection, address);
    if (failure.isEmpty())
        return;
    if (refusesLogin(failure.simplified()))
        throw LoginRefused(connectionFailure(address, failure));
    throw DbError(connectionFailure(address, failure));
}

void PostgresDialect::initialiseSession(Connection& connection)
{
    // a day-first text is refused in a date column instead of being read month-first; SET
    // cannot be prepared, so it goes as it is
    QSqlQuery q(connection.database());
    for (const char* setting : {"SET datestyle = 'ISO, YMD'", "SET client_min_messages = warning"})
        if (!q.exec(QLatin1String(setting)))
            fail(q.lastError());
}

int PostgresDialect::schemaVersion(Connection& connection)
{
    const QVariant installed =
        scalar(connection, QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL AND "
                                          "to_regclass('zelvo_procedure') IS NOT NULL"));
    if (!installed.toBool())
        throw DbError(QStringLiteral("Veritabanında Zelvo şeması kurulu değil (veritabanı \"%1\"). "
                                     "Kurmak için: zelvo --install-schema")
                          .arg(connection.database().databaseName()));
    return scalar(connection, QStringLiteral("SELECT max(version) FROM schema_version")).toInt();
}

ProcedureText PostgresDialect::procedureText(Connection& connection, const QString& name)
{
    const ResultRows rows = connection.query(
        // a function the server knows as STABLE or IMMUTABLE cannot write
        QStringLiteral("SELECT name, params, target, target_key, returns_rows, "
                       "coalesce((SELECT bool_and(p.provolatile <> 'v') FROM pg_proc p "
                       "WHERE p.proname = lower(z.name COLLATE \"C\") "
                       "AND pg_function_is_visible(p.oid)), false) "
                       "FROM zelvo_procedure z "
                       // ASCII folding: under Turkish rules PARAMETREGETIR would lower to ...ır
                       "WHERE lower(name COLLATE \"C\") = lower(@name COLLATE \"C\")"),
        {{QStringLiteral("@name"), name}});
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QString stored = rows.rows.value(0).value(0).toString();
    if (rows.rows.isEmpty() || !identifier.match(stored).hasMatch())
        throw DbError(QStringLiteral("Saklı yordam bulunamadı: '%1'").arg(name));
    const QVector<QVariant>& row = rows.rows.first();
    ProcedureText text;
    for (const QString& formal : row.at(1).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        text.formals << formal.trimmed();
    text.target = {row.at(2).toString(), row.at(3).toString()};
    text.returnsCount = !row.at(4).toBool();
    text.readOnly = !text.returnsCount && row.at(5).toBool();
    const QString arguments = text.formals.join(QLatin1String(", "));
    text.statements << (text.returnsCount
                            ? QStringLiteral("SELECT %1(%2)").arg(stored, arguments)
                            : QStringLiteral("SELECT * FROM %1(%2)").arg(stored, arguments));
    return text;
}

TableInfo PostgresDialect::tableInfo(Connection& connection, const QString& table)
{
    const ResultRows rows = connection.query(
        QStringLiteral(
            "SELECT c.relname, a.attname, format_type(a.atttypid, a.atttypmod), "
            "CASE WHEN a.atttypid IN ('varchar'::regtype, 'bpchar'::regtype) AND a.atttypmod > 4 "
            "THEN a.atttypmod - 4 ELSE 0 END, a.atttypid = 'date'::regtype, "
            "COALESCE((SELECT a.attnum = ANY (i.indkey) FROM pg_index i "
            "WHERE i.indrelid = c.oid AND i.indisprimary), false) "
            "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
            "WHERE c.oid = to_regclass(@table) AND a.attnum > 0 AND NOT a.attisdropped "
            "ORDER BY a.attnum"),
        {{QStringLiteral("@table"), table}});
    TableInfo info;
    info.name = rows.rows.isEmpty() ? table.toLower() : rows.rows.first().at(0).toString();
    for (const QVector<QVariant>& row : rows.rows) {
        TableColumn column;
        column.name = row.at(1).toString();
        column.declaredType = row.at(2).toString();
        column.width = row.at(3).toInt();
        column.isDate = row.at(4).toBool();
        column.isKey = row.at(5).toBool();
        info.columns << column;
    }
    return info;
}

QStringList PostgresDialect::dateColumns(Connection& connection)
{
    QStringList names;
    const ResultRows rows = connection.query(QStringLiteral(
        "SELECT DISTINCT a.attname FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
        "WHERE c.relkind = 'r' AND c.relnamespace = current_schema()::regnamespace "
        "AND a.atttypid = 'date'::regtype AND NOT a.attisdropped"));
    for (const QVector<QVariant>& row : rows.rows)
        names << row.at(0).toString();
    return names;
}

QString PostgresDialect::insertStatement(const TableInfo& table, const QStringList& columns) const
{
    QString sql =
        columns.isEmpty()
            ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table.name)
            : QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES (%3)")
                  .arg(table.name, columns.join(QLatin1String("\",\"")),
                       QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    for (const TableColumn& column : table.columns)
        if (column.isKey)
            return sql + QStringLiteral(" RETURNING \"%1\"").arg(column.name);
    return sql;
}

QVariant PostgresDialect::insertedKey(QSqlQuery& query) const
{
    return query.isSelect() && query.next() ? query.value(0) : QVariant();
}

int PostgresDialect::changedRows(Connection&, QSqlQuery& query) const
{
    return query.numRowsAffected();
}

void PostgresDialect::applyScript(Connection& connection, const QString& script)
{
    Transaction tx(connection);
    // a scrollable query goes out as one simple-protocol query, which may hold many statements
    // and dollar-quoted bodies with ';' inside
    QSqlQuery q(connection.database());
    q.setForwardOnly(false);
    if (!q.exec(script))
        fail(q.lastError());
    q.finish();
    tx.commit();
}

void PostgresDialect::lockStep(Connection& connection, const QString& step, const QString& key,
                               int timeoutMs)
{
    const QVariant previous =
        scalar(connection, QStringLiteral("SELECT current_setting('lock_timeout')"));
    connection.query(QStringLiteral("SELECT set_config('lock_timeout', @wait, true)"),
                     {{QStringLiteral("@wait"), QStringLiteral("%1ms").arg(qMax(1, timeoutMs))}});
    const QString lockKey = QStringLiteral("zelvo/%1/%2").arg(step, key);
    try {
        // taken at once when nobody runs the step; otherwise the user is told before the wait
        const bool taken =
            scalar(connection,
                   QStringLiteral("SELECT pg_try_advisory_xact_lock(hashtextextended(@key, 0))"),
                   {{QStringLiteral("@key"), lockKey}})
                .toBool();
        if (!taken) {
            connection.noticeStepWait(step);
            connection.query(
                QStringLiteral("SELECT pg_advisory_xact_lock(hashtextextended(@key, 0))"),
                {{QStringLiteral("@key"), lockKey}});
        }
    } catch (const DbError& error) {
        if (!error.text().contains(QLatin1String("lock timeout")) &&
            !error.text().contains(LockTimeoutState))
            throw;
        throw StepRefused(QStringLiteral("%1 şu anda başka bir iş istasyonunda yapılıyor (%2); %3 "
                                         "saniye beklendi. O iş bittikten sonra yeniden deneyin.")
                              .arg(step, key)
                              .arg(qMax(1, timeoutMs / 1000)));
    }
    connection.query(QStringLiteral("SELECT set_config('lock_timeout', @wait, true)"),
                     {{QStringLiteral("@wait"), previous}});
}

QString PostgresDialect::describe(const QSqlError& error) const
{
    static const QRegularExpression severity(
        QStringLiteral("^(ERROR|FATAL|PANIC|HATA|ÖLÜMCÜL \\(FATAL\\)):\\s+"));
    QString text = errorText(error);
    text = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    text.remove(severity);
    const QString state = error.nativeErrorCode();
    if (!state.isEmpty() && text.endsWith(QStringLiteral("(%1)").arg(state)))
        text.chop(state.size() + 2);
    return text.trimmed();
}

bool PostgresDialect::connectionLost(const QSqlError& error) const
{
    const QString state = error.nativeErrorCode();
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
        state == QLatin1String("57P02") || state == QLatin1String("57P03"))
        return true;
    return mentions(error.text(), {"server closed the connection unexpectedly",
                                   "no connection to the server", "terminating connection"});
}

void PostgresDialect::upgradeStoredData(Connection& connection)
{
    // The server scripts have stored passwords only as hashes from their first version, and
    // their login procedure has always taken the user name alone: nothing to bring forward.
    // The server's procedures are installed by an administrator, so a server installed by an
    // earlier version is refused at once, naming what it lacks, rather than in a monthly run.
    QStringList missing;
    const ResultRows present =
        connection.query(QStringLiteral("SELECT lower(name) FROM zelvo_procedure"));
    QSet<QString> names;
    for (const QVector<QVariant>& row : present.rows)
        names.insert(row.value(0).toString());
    for (const QString& name : bundledProcedureNames())
        if (!names.contains(name.toLower()))
            missing << name;
    if (!missing.isEmpty())
        throw DbError(QStringLiteral("Veritabanının şeması eski: bu sürümün saklı yordamları eksik "
                                     "(%1). Yükseltmek için: zelvo --install-schema")
                          .arg(missing.join(QStringLiteral(", "))));
}

void installServerSchema(Connection& connection)
{
    if (connection.backendName() != QLatin1String("postgresql"))
        throw DbError(QStringLiteral("Şema kurulumu yalnızca PostgreSQL sunucusu için gerekir; "
                                     "gömülü veritabanı ilk açılışta kendiliğinden kurulur"));
    initServerScripts();
    Transaction tx(connection);
    // every script can run again over an installed schema: 01 to 03 make it, 04 on bring an
    // earlier version's forward
    const QDir scripts(QStringLiteral(":/server/postgresql"));
    for (const QString& name :
         scripts.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        QFile file(scripts.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            throw DbError(QStringLiteral("Kurulum betiği okunamadı: %1").arg(file.fileName()));
        connection.applyScript(QString::fromUtf8(file.readAll()));
    }
    connection.execute(QStringLiteral("UPDATE schema_version SET version = @version "
                                      "WHERE version < @version"),
                       {{QStringLiteral("@version"), SchemaVersion}});
    tx.commit();
}

} // namespace zelvo::db
