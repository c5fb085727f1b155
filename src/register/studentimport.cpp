#include "register/studentimport.h"

#include "db/connection.h"
#include "register/changestamp.h"

using namespace Qt::StringLiterals;

namespace zelvo::studentregister {

namespace {

QString title(const QString& column)
{
    return studentField(column)->title;
}

} // namespace

QString outcomeText(ImportOutcome outcome)
{
    switch (outcome) {
    case ImportOutcome::New:
        return u"yeni"_s;
    case ImportOutcome::Update:
        return u"güncellenecek"_s;
    case ImportOutcome::Skip:
        return u"atlanacak"_s;
    case ImportOutcome::Error:
        break;
    }
    return u"hata"_s;
}

int ImportCheck::count(ImportOutcome outcome) const
{
    return int(std::count_if(rows.cbegin(), rows.cend(),
                             [outcome](const ImportRow& row) { return row.outcome == outcome; }));
}

QString ImportCheck::summary() const
{
    return u"%1 yeni, %2 güncellenecek, %3 atlanacak, %4 hata"_s.arg(count(ImportOutcome::New))
        .arg(count(ImportOutcome::Update))
        .arg(count(ImportOutcome::Skip))
        .arg(count(ImportOutcome::Error));
}

ImportCheck checkStudents(const StudentSheet& sheet, const QStringList& statusCodes,
                          const RegisterIndex& known)
{
    ImportCheck check{sheet.columns, sheet.ignoredHeaders, {}};
    check.rows.reserve(sheet.students.size());
    QHash<QString, int> numbers;    // first line of each number in the file
    QHash<QString, int> identities; // and of each identity number
    numbers.reserve(sheet.students.size());
    identities.reserve(sheet.students.size());
    for (const SheetStudent& student : sheet.students) {
        ImportRow row{student.line, student.values, ImportOutcome::New, student.unreadable, {}};
        for (const QString& column : requiredColumns())
            if (row.values.contains(column) && // an unreadable value has said so already
                row.values.value(column).toString().trimmed().isEmpty() &&
                column != u"tckimlikno"_s) // the identity rule says it itself
                row.problems << u"%1 boş"_s.arg(title(column));
        for (const RuleViolation& violation : checkStudent(row.values, statusCodes, true))
            row.problems << violation.text;

        const QString number = row.values.value(u"ogrencino"_s).toString();
        const QString identity = row.values.value(u"tckimlikno"_s).toString();
        for (const auto& [key, seen, column] :
             {std::tuple{number, &numbers, u"ogrencino"_s},
              std::tuple{identity, &identities, u"tckimlikno"_s}}) {
            if (key.isEmpty())
                continue;
            if (const auto first = seen->constFind(key); first != seen->cend())
                row.problems << u"%1 %2 dosyada iki kez var (satır %3)"_s.arg(title(column), key)
                                    .arg(first.value());
            else
                seen->insert(key, row.line);
        }

        const QVariant byNumber = known.byNumber.value(number);
        const QVariant byIdentity = known.byIdentity.value(identity);
        if (byNumber.isValid() && byIdentity.isValid() && byNumber != byIdentity)
            row.problems << u"%1 %2 ve %3 %4 kayıtta iki ayrı öğrencide var"_s.arg(
                title(u"ogrencino"_s), number, title(u"tckimlikno"_s), identity);
        if (!row.problems.isEmpty()) {
            row.outcome = ImportOutcome::Error;
        } else if (byNumber.isValid() || byIdentity.isValid()) {
            row.outcome = ImportOutcome::Skip;
            row.existingId = byNumber.isValid() ? byNumber : byIdentity;
            row.problems << u"var"_s;
        }
        check.rows.append(std::move(row));
    }
    return check;
}

void chooseUpdate(ImportRow& row, bool update)
{
    if (row.outcome == ImportOutcome::Skip || row.outcome == ImportOutcome::Update)
        row.outcome = update ? ImportOutcome::Update : ImportOutcome::Skip;
}

ImportCheck StudentImport::checkFile(const QString& path, const QString& unitCode)
{
    return check(readStudentSheet(readSheetFile(path)), unitCode);
}

ImportCheck StudentImport::check(const StudentSheet& sheet, const QString& unitCode)
{
    return checkStudents(sheet, statusCodes(), registerIndex(unitCode));
}

QStringList StudentImport::statusCodes()
{
    QStringList codes;
    for (const auto& row : m_connection.query(u"select kodu from statu"_s).rows)
        codes << row.value(0).toString().trimmed();
    return codes;
}

RegisterIndex StudentImport::registerIndex(const QString& unitCode)
{
    RegisterIndex index;
    const auto result = m_connection.query(
        u"select idogrenci, ogrencino, tckimlikno from ogrenci where birimkodu = @unit"_s,
        {{u"@unit"_s, unitCode}});
    for (const auto& row : result.rows) {
        if (const QString number = row.value(1).toString(); !number.isEmpty())
            index.byNumber.insert(number, row.value(0));
        if (const QString identity = row.value(2).toString(); !identity.isEmpty())
            index.byIdentity.insert(identity, row.value(0));
    }
    return index;
}

int StudentImport::store(const ImportCheck& check, const ImportStamp& stamp, bool skipInvalid)
{
    if (check.count(ImportOutcome::Error) > 0 && !skipInvalid)
        return 0;
    const QString firstEntry =
        changeStamp(stamp.date, stamp.time, ChangeKind::FirstEntry, stamp.userName, stamp.fullName);
    const QString change =
        changeStamp(stamp.date, stamp.time, ChangeKind::Change, stamp.userName, stamp.fullName);

    QStringList columns = check.columns;
    columns << u"birimkodu"_s << u"aktarmatarihi"_s << u"degistiren"_s;
    QVector<QVector<QVariant>> inserts;
    db::Transaction transaction(m_connection);
    int stored = 0;
    for (const ImportRow& row : check.rows) {
        if (row.outcome == ImportOutcome::New) {
            QVector<QVariant> values;
            values.reserve(columns.size());
            for (const QString& column : check.columns)
                values << row.values.value(column);
            values << stamp.unitCode << stamp.date << firstEntry;
            inserts.append(std::move(values));
        } else if (row.outcome == ImportOutcome::Update) {
            QList<QPair<QString, QVariant>> values;
            for (const QString& column : check.columns)
                values.append({column, row.values.value(column)});
            values.append({u"aktarmatarihi"_s, stamp.date});
            values.append({u"degistiren"_s, change});
            m_connection.updateRow({u"ogrenci"_s, u"idogrenci"_s}, row.existingId, values);
            ++stored;
        }
    }
    m_connection.insertRows(u"ogrenci"_s, columns, inserts);
    transaction.commit();
    return stored + int(inserts.size());
}

} // namespace zelvo::studentregister
