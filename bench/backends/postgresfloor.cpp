#include "rawfloor.h"

#ifdef ZELVO_WITH_LIBPQ
#include <QHash>
#include <libpq-fe.h>
#include <stdexcept>

namespace {

class PostgresFloor : public RawFloor {
public:
    PostgresFloor(const QString& host, const QString& database, const QString& user)
    {
        const QByteArray info =
            QStringLiteral("host='%1' dbname='%2' user='%3'").arg(host, database, user).toUtf8();
        m_conn = PQconnectdb(info.constData());
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(m_conn));
        plain("SET datestyle = 'ISO, YMD'");
    }
    ~PostgresFloor() override { PQfinish(m_conn); }

    void begin() override { plain("BEGIN"); }
    void commit() override { plain("COMMIT"); }

    Rows call(const QString& procedure, const QStringList& args) override
    {
        QStringList placeholders;
        for (int i = 1; i <= args.size(); ++i)
            placeholders << QStringLiteral("$%1").arg(i);
        return run(QStringLiteral("SELECT * FROM %1(%2)")
                       .arg(procedure, placeholders.join(QLatin1Char(','))),
                   args);
    }

    Rows run(const QString& sql, const QStringList& args) override
    {
        QByteArray& name = m_prepared[sql];
        if (name.isEmpty()) {
            name = "floor_" + QByteArray::number(m_prepared.size());
            PGresult* prepared =
                PQprepare(m_conn, name.constData(), sql.toUtf8().constData(), 0, nullptr);
            check(prepared, PGRES_COMMAND_OK);
        }
        QVector<QByteArray> utf8;
        QVector<const char*> values;
        for (const QString& arg : args)
            utf8 << arg.toUtf8();
        for (int i = 0; i < args.size(); ++i)
            values << (args.at(i).isNull() ? nullptr : utf8.at(i).constData());
        PGresult* result = PQexecPrepared(m_conn, name.constData(), int(values.size()),
                                          values.constData(), nullptr, nullptr, 0);
        if (PQresultStatus(result) != PGRES_TUPLES_OK) {
            check(result, PGRES_COMMAND_OK);
            return {};
        }
        Rows rows;
        for (int c = 0; c < PQnfields(result); ++c)
            rows.columns << QString::fromUtf8(PQfname(result, c));
        for (int r = 0; r < PQntuples(result); ++r) {
            QStringList row;
            for (int c = 0; c < PQnfields(result); ++c)
                row << (PQgetisnull(result, r, c) ? QString()
                                                  : QString::fromUtf8(PQgetvalue(result, r, c)));
            rows.rows << row;
        }
        PQclear(result);
        return rows;
    }

private:
    void plain(const char* sql) { check(PQexec(m_conn, sql), PGRES_COMMAND_OK); }
    void check(PGresult* result, ExecStatusType expected)
    {
        const bool ok = PQresultStatus(result) == expected;
        const std::string error = ok ? std::string() : PQresultErrorMessage(result);
        PQclear(result);
        if (!ok)
            throw std::runtime_error(error);
    }

    PGconn* m_conn = nullptr;
    QHash<QString, QByteArray> m_prepared;
};

} // namespace

std::unique_ptr<RawFloor> postgresFloor(const QString& host, const QString& database,
                                        const QString& user)
{
    return std::make_unique<PostgresFloor>(host, database, user);
}
#else
std::unique_ptr<RawFloor> postgresFloor(const QString&, const QString&, const QString&)
{
    return nullptr;
}
#endif
