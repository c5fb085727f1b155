#include "db/connection.h"
#include "db/sqlfunctions.h"
#include "rawfloor.h"

#include <QHash>
#include <QRegularExpression>
#include <sqlite3.h>
#include <stdexcept>

using namespace zelvo;

QString RawFloor::Rows::value(int row, const QString& column) const
{
    const qsizetype c = columns.indexOf(column.toLower());
    return c < 0 ? QString() : rows.value(row).value(c);
}

namespace {

class SqliteFloor : public RawFloor {
public:
    explicit SqliteFloor(const QString& path)
    {
        if (sqlite3_open(path.toUtf8().constData(), &m_db) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        db::registerSqlFunctions(m_db);
        plain("PRAGMA foreign_keys=ON");
    }
    ~SqliteFloor() override
    {
        for (sqlite3_stmt* statement : std::as_const(m_cache))
            sqlite3_finalize(statement);
        sqlite3_close(m_db);
    }

    void begin() override { plain("BEGIN"); }
    void commit() override { plain("COMMIT"); }

    Rows call(const QString& procedure, const QStringList& args) override
    {
        auto& statements = m_procedures[procedure];
        if (statements.isEmpty()) {
            const Rows catalog = run(QStringLiteral("SELECT params, body FROM zelvo_procedure "
                                                    "WHERE name = $1"),
                                     {procedure});
            m_formals[procedure] = catalog.rows.value(0).value(0).split(QLatin1Char(','));
            for (const QString& sql : db::splitStatements(catalog.rows.value(0).value(1)))
                statements << prepare(sql);
        }
        const QStringList& formals = m_formals[procedure];
        Rows result;
        for (sqlite3_stmt* statement : std::as_const(statements)) {
            for (int p = 1; p <= sqlite3_bind_parameter_count(statement); ++p) {
                const QString name = QString::fromUtf8(sqlite3_bind_parameter_name(statement, p));
                for (int f = 0; f < formals.size(); ++f)
                    if (formals.at(f).trimmed().compare(name, Qt::CaseInsensitive) == 0)
                        bind(statement, p, args.value(f));
            }
            Rows rows = step(statement);
            if (sqlite3_column_count(statement) > 0)
                result = std::move(rows);
        }
        return result;
    }

    Rows run(const QString& sql, const QStringList& args) override
    {
        sqlite3_stmt*& statement = m_cache[sql];
        if (!statement)
            statement = prepare(QString(sql).replace(QLatin1Char('$'), QLatin1Char('?')));
        for (int i = 0; i < args.size(); ++i)
            bind(statement, i + 1, args.at(i));
        return step(statement);
    }

private:
    void plain(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
    }
    sqlite3_stmt* prepare(const QString& sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        m_owned << statement;
        return statement;
    }
    static void bind(sqlite3_stmt* statement, int index, const QString& value)
    {
        if (value.isNull()) {
            sqlite3_bind_null(statement, index);
            return;
        }
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    Rows step(sqlite3_stmt* statement)
    {
        Rows rows;
        const int count = sqlite3_column_count(statement);
        for (int c = 0; c < count; ++c)
            rows.columns << QString::fromUtf8(sqlite3_column_name(statement, c)).toLower();
        int status;
        while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < count; ++c)
                row << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, c)));
            rows.rows << row;
        }
        sqlite3_reset(statement);
        if (status != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        return rows;
    }

    sqlite3* m_db = nullptr;
    QHash<QString, sqlite3_stmt*> m_cache;
    QHash<QString, QVector<sqlite3_stmt*>> m_procedures;
    QHash<QString, QStringList> m_formals;
    QVector<sqlite3_stmt*> m_owned;
};

} // namespace

std::unique_ptr<RawFloor> sqliteFloor(const QString& path)
{
    return std::make_unique<SqliteFloor>(path);
}
