// Statements and procedures as the database runs them: formal names ("@key1") replaced by the
// dialect's placeholders, prepared once and kept.

#include "db/compiledstatement.h"
#include "db/dialect.h"

namespace zelvo::db {

namespace {

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

qsizetype formalIndex(const QStringList& formals, const QString& parameter)
{
    const qsizetype exact = formals.indexOf(parameter);
    if (exact >= 0)
        return exact;
    for (qsizetype f = 0; f < formals.size(); ++f)
        if (formals.at(f).compare(parameter, Qt::CaseInsensitive) == 0)
            return f;
    return -1;
}

// Whether c belongs to a quoted literal, its quotes included; quote carries the open quote
// from one character to the next.
bool inQuotedText(QChar c, QChar& quote)
{
    if (!quote.isNull()) {
        if (c == quote)
            quote = QChar();
        return true;
    }
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        quote = c;
        return true;
    }
    return false;
}

// Where the name that follows the marker at `marker` ends.
qsizetype nameEnd(const QString& sql, qsizetype marker)
{
    qsizetype end = marker + 1;
    while (end < sql.size() && isIdentifierChar(sql.at(end)))
        ++end;
    return end;
}

// A query for sql, prepared on the database; context (a procedure's name) goes with an error.
std::unique_ptr<QSqlQuery> preparedQuery(const QString& sql, const QSqlDatabase& database,
                                         const Dialect& dialect, const QString& context)
{
    auto query = std::make_unique<QSqlQuery>(database);
    // rows are read once, front to back; a scrollable query allocates a row cache per exec
    query->setForwardOnly(dialect.streamsRows());
    if (!query->prepare(sql)) {
        if (context.isEmpty() || dialect.connectionLost(query->lastError()))
            dialect.fail(query->lastError());
        throw DbError(QStringLiteral("%1 (%2)").arg(dialect.describe(query->lastError()), context));
    }
    return query;
}

} // namespace

const Connection::Compiled& Connection::compileProcedure(const QString& name)
{
    const QString key = name.toLower();
    if (auto it = m_procedures.constFind(key); it != m_procedures.constEnd())
        return **it;

    ProcedureText text = dialect().procedureText(*this, name);
    auto compiled = std::make_shared<Compiled>();
    compiled->name = name;
    compiled->formals = text.formals;
    compiled->target = text.target;
    compiled->returnsCount = text.returnsCount;
    compiled->readOnly = text.readOnly;
    const bool namedSlots = m_dialect->namesSlots();
    for (const QString& sql : text.statements) {
        Statement statement;
        QChar quote;
        for (qsizetype i = 0; i < sql.size(); ++i) {
            const QChar c = sql.at(i);
            if (inQuotedText(c, quote)) {
                statement.sql += c;
            } else if (c == QLatin1Char('@')) {
                const qsizetype end = nameEnd(sql, i);
                const QString parameter = sql.mid(i, end - i);
                const qsizetype index = formalIndex(compiled->formals, parameter);
                if (index < 0)
                    throw DbError(QStringLiteral("Saklı yordam '%1' tanımsız bir parametre "
                                                 "kullanıyor: %2")
                                      .arg(name, parameter));
                if (namedSlots) {
                    // a parameter used several times is bound once: SQLite numbers named
                    // parameters by first use (Qt counts every '?', so ?N repeated would not do)
                    qsizetype slot = statement.argIndex.indexOf(int(index));
                    if (slot < 0) {
                        slot = statement.argIndex.size();
                        statement.argIndex << int(index);
                    }
                    statement.sql += QStringLiteral("@p") + QString::number(slot + 1);
                } else {
                    statement.argIndex << int(index);
                    statement.sql += QLatin1Char('?');
                }
                i = end - 1;
            } else {
                statement.sql += c;
            }
        }
        statement.query = preparedQuery(statement.sql, database(), *m_dialect, name);
        compiled->statements.push_back(std::move(statement));
    }
    return **m_procedures.insert(key, compiled);
}

const Connection::Compiled& Connection::compileStatement(const QString& sql,
                                                         const QStringList& formals)
{
    const QString key = formals.join(QLatin1Char(',')) + QLatin1Char('\n') + sql;
    if (auto it = m_statements.constFind(key); it != m_statements.constEnd())
        return **it;
    auto compiled = std::make_shared<Compiled>();
    compiled->formals = formals;
    compiled->readOnly = sql.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive);
    Statement statement;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!inQuotedText(c, quote) && (c == QLatin1Char('@') || c == QLatin1Char(':'))) {
            const qsizetype end = nameEnd(sql, i);
            const QString parameter = QLatin1Char('@') + sql.mid(i + 1, end - i - 1);
            const qsizetype found = formalIndex(formals, parameter);
            if (end > i + 1 && found >= 0) {
                statement.argIndex << int(found);
                statement.sql += QLatin1Char('?');
                i = end - 1;
                continue;
            }
            if (c == QLatin1Char('@') && end > i + 1)
                throw DbError(QStringLiteral("Tanımsız parametre: %1").arg(parameter));
        }
        statement.sql += c;
    }
    statement.query = preparedQuery(statement.sql, database(), dialect(), {});
    compiled->statements.push_back(std::move(statement));
    return **m_statements.insert(key, compiled);
}

QSqlQuery& Connection::prepared(const QString& sql)
{
    // preparing sends nothing that writes: on a lost session it is done again on the new one
    return guarded(Access::Read, [&]() -> QSqlQuery& {
        return *compileStatement(sql, {}).statements.front().query;
    });
}

} // namespace zelvo::db
