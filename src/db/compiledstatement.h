#pragma once

#include "db/connection.h"

#include <QSqlQuery>
#include <vector>

namespace zelvo::db {

// A statement as the database runs it: formal names replaced by placeholders, with the
// argument each placeholder takes.
struct Connection::Statement {
    QString sql;
    QVector<int> argIndex;
    std::unique_ptr<QSqlQuery> query;
};

struct Connection::Compiled {
    QString name;
    QStringList formals;
    WriteTarget target;
    bool returnsCount = false;
    bool readOnly = false;
    std::vector<Statement> statements;
};

} // namespace zelvo::db
