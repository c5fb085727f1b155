#include "register/importcommand.h"

#include "core/error.h"
#include "db/connection.h"
#include "register/studentimport.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

QString unitOf(db::Connection& connection, const QString& named)
{
    const auto units = connection.query(u"select birimkodu from birim order by birimkodu"_s).rows;
    QStringList codes;
    for (const auto& row : units)
        codes << row.value(0).toString().trimmed();
    if (!named.isEmpty()) {
        if (!codes.contains(named))
            throw core::Error(u"%1 kodlu birim yok."_s.arg(named));
        return named;
    }
    if (codes.size() != 1)
        throw core::Error(
            u"Veritabanında %1 birim var; --unit ile birim kodunu verin."_s.arg(codes.size()));
    return codes.first();
}

} // namespace

int runImportCommand(db::Connection& connection, const ImportCommand& command, QTextStream& out)
{
    StudentImport import(connection);
    ImportCheck check;
    QString unit;
    try {
        unit = unitOf(connection, command.unitCode);
        check = import.checkFile(command.file, unit);
    } catch (const core::Error& error) {
        out << error.text() << '\n';
        return 2;
    }
    for (const QString& header : std::as_const(check.ignoredHeaders))
        out << u"alınmayan sütun: %1"_s.arg(header) << '\n';
    for (const ImportRow& row : std::as_const(check.rows)) {
        if (row.outcome == ImportOutcome::Error)
            for (const QString& problem : row.problems)
                out << u"satır %1: %2"_s.arg(row.line).arg(problem) << '\n';
        else if (row.outcome == ImportOutcome::Skip)
            out << u"satır %1: kayıtta var, atlanacak (%2)"_s.arg(row.line).arg(
                       row.values.value(u"ogrencino"_s).toString())
                << '\n';
    }
    out << u"%1 satır: %2"_s.arg(check.rows.size()).arg(check.summary()) << '\n';

    const bool refused = check.count(ImportOutcome::Error) > 0 && !command.skipInvalid;
    if (command.dryRun || refused) {
        out << (command.dryRun ? u"Deneme: hiçbir öğrenci kaydedilmedi."_s
                               : u"Hatalı satırlar var: hiçbir öğrenci kaydedilmedi."_s)
            << '\n';
        return 1;
    }
    const ImportStamp stamp{unit, command.userName, u"(komut satırı)"_s, QDate::currentDate(),
                            QTime::currentTime()};
    try {
        const int stored = import.store(check, stamp, command.skipInvalid);
        out << u"%1 öğrenci kaydedildi (birim %2)."_s.arg(stored).arg(unit) << '\n';
        return 0;
    } catch (const core::Error& error) {
        out << error.text() << '\n' << u"Hiçbir öğrenci kaydedilmedi."_s << '\n';
        return 1;
    }
}

} // namespace zelvo::studentregister
