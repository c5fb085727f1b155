#pragma once

#include <QString>

class QTextStream;

namespace zelvo::db {
class Connection;
}

namespace zelvo::studentregister {

// `zelvo --import-students FILE [--unit CODE] [--dry-run] [--skip-invalid]`
struct ImportCommand {
    QString file;
    QString unitCode; // empty: the database's only unit
    bool dryRun = false;
    bool skipInvalid = false;
    QString userName; // for the change stamp
};

// Checks and stores the file as the register's import does, printing one line per problem and
// a summary. Returns 0 when it stored, 1 when it stored nothing because of errors (or a dry
// run), 2 when the file (or the unit) cannot be read.
int runImportCommand(db::Connection& connection, const ImportCommand& command, QTextStream& out);

} // namespace zelvo::studentregister
