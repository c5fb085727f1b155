#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

// The same statements the program's runs send, through the database's own client library with
// nothing between: prepared once, values bound as text, one transaction. What the database layer
// costs is the program's time over this floor.
class RawFloor {
public:
    struct Rows {
        QStringList columns;
        QVector<QStringList> rows;
        QString value(int row, const QString& column) const;
    };

    virtual ~RawFloor() = default;
    virtual void begin() = 0;
    virtual void commit() = 0;
    // A procedure of the catalog with its arguments in call order.
    virtual Rows call(const QString& procedure, const QStringList& args) = 0;
    // A statement with $1, $2 ... for its arguments.
    virtual Rows run(const QString& sql, const QStringList& args) = 0;
};

// The embedded database file, through the SQLite C library.
std::unique_ptr<RawFloor> sqliteFloor(const QString& path);
// A server database, through libpq; null when the benchmark was built without libpq.
std::unique_ptr<RawFloor> postgresFloor(const QString& host, const QString& database,
                                        const QString& user);
