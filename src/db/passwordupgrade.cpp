#include "db/passwordupgrade.h"

#include "db/connection.h"
#include "db/passwordhash.h"

#include <QFile>
#include <QRegularExpression>

// The bundled server scripts live in this static library; make sure they are registered.
static void registerBundledSchema()
{
    Q_INIT_RESOURCE(serverscripts);
}

namespace zelvo::db {

namespace {

const QString userTable = QStringLiteral("kullanici");
const QString rebuiltTable = QStringLiteral("kullanici_yeni");

bool passwordColumnTooNarrow(Connection& connection)
{
    const TableColumn* column = connection.tableInfo(userTable).column(QStringLiteral("sifre"));
    return column && column->width > 0 && column->width < passwordHashWidth;
}

const QRegularExpression& createTableHead()
{
    static const QRegularExpression head(QStringLiteral("^CREATE\\s+TABLE\\s+kullanici\\s*\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    return head;
}

QStringList bundledStatements(const QString& script)
{
    registerBundledSchema();
    QFile file(QStringLiteral(":/server/sqlite/") + script);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Kurulum betiği okunamadı: %1").arg(file.fileName()));
    return splitStatements(QString::fromUtf8(file.readAll()));
}

// An older catalog took the password as a second argument and compared it in SQL; the login
// procedure is replaced by the bundled one when its formal parameters differ from it.
void replaceLoginProcedure(Connection& connection)
{
    static const QRegularExpression loginInsert(
        QStringLiteral("^INSERT\\s+INTO\\s+zelvo_procedure\\b.*?VALUES\\s*\\(\\s*"
                       "'BireyGetirLogin'\\s*,\\s*'([^']*)'"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    for (const QString& statement : bundledStatements(QStringLiteral("02-procedures.sql"))) {
        const QRegularExpressionMatch match = loginInsert.match(statement);
        if (!match.hasMatch())
            continue;
        const QVariant stored =
            connection
                .query(QStringLiteral("SELECT params FROM zelvo_procedure WHERE name = @name"),
                       {{QStringLiteral("@name"), QStringLiteral("BireyGetirLogin")}})
                .rows.value(0)
                .value(0);
        if (stored.isValid() && stored.toString() == match.captured(1))
            return;
        connection.execute(QStringLiteral("DELETE FROM zelvo_procedure WHERE name = @name"),
                           {{QStringLiteral("@name"), QStringLiteral("BireyGetirLogin")}});
        connection.applyScript(statement);
        return;
    }
    throw DbError(QStringLiteral("Kurulum betiğinde BireyGetirLogin bulunamadı"));
}

// The statements of the bundled schema that create the user table and its indexes, the table
// first: the rebuilt table is the one a new database gets.
QStringList bundledUserTable()
{
    static const QRegularExpression indexHead(
        QStringLiteral("^CREATE\\s+(UNIQUE\\s+)?INDEX\\s+\\w+\\s+ON\\s+kullanici\\s*\\("),
        QRegularExpression::CaseInsensitiveOption);
    QString table;
    QStringList indexes;
    for (const QString& statement : bundledStatements(QStringLiteral("01-schema.sql"))) {
        if (createTableHead().match(statement).hasMatch())
            table = statement;
        else if (indexHead.match(statement).hasMatch())
            indexes << statement;
    }
    if (table.isEmpty())
        throw DbError(QStringLiteral("Kurulum betiğinde kullanıcı tablosu bulunamadı"));
    return QStringList{table} + indexes;
}

QString quoted(const QString& identifier)
{
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// SQLite cannot change a column's declared type, so the table is built anew beside the old one,
// filled, and put in its place; its AUTOINCREMENT counter keeps its place too, so no key of a
// deleted user is handed out again.
void widenPasswordColumn(Connection& connection)
{
    QStringList statements = bundledUserTable();
    QString create = statements.takeFirst();
    create.replace(createTableHead(), QStringLiteral("CREATE TABLE %1 (").arg(rebuiltTable));
    connection.applyScript(create);
    // columns a later migration added to the table (the row version) go with it
    QStringList added;
    const ResultRows old = connection.query(
        QStringLiteral("SELECT name, type, \"notnull\", dflt_value FROM pragma_table_info(@name)"),
        {{QStringLiteral("@name"), userTable}});
    const TableInfo bundled = connection.tableInfo(rebuiltTable);
    for (const QVector<QVariant>& column : old.rows)
        if (!bundled.column(column.at(0).toString()))
            added << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3%4%5")
                         .arg(rebuiltTable, quoted(column.at(0).toString()),
                              column.at(1).toString(),
                              column.at(2).toInt() ? QStringLiteral(" NOT NULL") : QString(),
                              column.at(3).isNull()
                                  ? QString()
                                  : QStringLiteral(" DEFAULT ") + column.at(3).toString());
    if (!added.isEmpty())
        connection.applyScript(added.join(QStringLiteral(";\n")) + QLatin1Char(';'));

    QStringList shared;
    const TableInfo& rebuilt = connection.tableInfo(rebuiltTable);
    for (const TableColumn& column : connection.tableInfo(userTable).columns)
        if (rebuilt.column(column.name))
            shared << quoted(column.name);
    const QString columns = shared.join(QLatin1Char(','));
    const QVariant counter =
        connection
            .query(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = @name"),
                   {{QStringLiteral("@name"), userTable}})
            .rows.value(0)
            .value(0);

    // The views and triggers that name the table would stop the rename (a view of a table that
    // is gone) or go with the old table (its triggers): they are dropped first and made again
    // from their own text, in the order they were made.
    QStringList views;
    QStringList triggers;
    QStringList dropDependents;
    const ResultRows dependents = connection.query(
        QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE type IN ('view', "
                       "'trigger') AND sql IS NOT NULL AND (tbl_name = @name OR sql LIKE '%' || "
                       "@name || '%') ORDER BY rowid"),
        {{QStringLiteral("@name"), userTable}});
    // triggers may use the views, and views other views: dropped last made first, made again
    // views first, each kind in its own order
    for (auto row = dependents.rows.crbegin(); row != dependents.rows.crend(); ++row) {
        const bool view = row->at(0).toString() == QLatin1String("view");
        (view ? views : triggers).prepend(row->at(2).toString());
        const QString drop = QStringLiteral("DROP %1 IF EXISTS %2")
                                 .arg(view ? QStringLiteral("VIEW") : QStringLiteral("TRIGGER"),
                                      quoted(row->at(1).toString()));
        if (view)
            dropDependents.append(drop);
        else
            dropDependents.prepend(drop);
    }

    QStringList script = dropDependents;
    script << QStringList{
        QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3")
            .arg(rebuiltTable, columns, userTable),
        QStringLiteral("DROP TABLE %1").arg(userTable),
        QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(rebuiltTable, userTable),
    };
    script << statements;
    script << views << triggers;
    if (!counter.isNull()) {
        const QString seq = QString::number(counter.toLongLong());
        script << QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT '%1', 0 WHERE NOT "
                                 "EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = '%1')")
                      .arg(userTable)
               << QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, %1) WHERE name = '%2'")
                      .arg(seq, userTable);
    }
    connection.applyScript(script.join(QStringLiteral(";\n")) + QLatin1Char(';'));
}

int hashPlainTextPasswords(Connection& connection)
{
    const ResultRows rows = connection.query(
        QStringLiteral("SELECT idkullanici, sifre FROM kullanici WHERE sifre IS NOT NULL"));
    int hashed = 0;
    for (const QVector<QVariant>& row : rows.rows) {
        const QString stored = row.at(1).toString();
        if (isPasswordHash(stored))
            continue;
        connection.execute(
            QStringLiteral("UPDATE kullanici SET sifre = @hash WHERE idkullanici = @id"),
            {{QStringLiteral("@hash"), hashPassword(stored)}, {QStringLiteral("@id"), row.at(0)}});
        ++hashed;
    }
    return hashed;
}

} // namespace

int upgradeStoredPasswords(Connection& connection)
{
    Transaction transaction(connection);
    replaceLoginProcedure(connection);
    if (passwordColumnTooNarrow(connection))
        widenPasswordColumn(connection);
    const int hashed = hashPlainTextPasswords(connection);
    transaction.commit();
    return hashed;
}

} // namespace zelvo::db
