#include "db/dataset.h"

#include <QSet>

#include <algorithm>

namespace zelvo::db {

Dataset::Dataset(Connection& connection, QObject* parent)
    : QObject(parent), m_connection(connection)
{
}

void Dataset::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void Dataset::close()
{
    if (m_state == State::Inactive)
        return;
    m_rows.clear();
    m_columns.clear();
    m_columnIndex.clear();
    m_modified.clear();
    m_current = -1;
    setState(State::Inactive);
    Q_EMIT rowsReset();
    Q_EMIT closed();
}

void Dataset::setProcedure(const QString& name)
{
    m_procedure = name;
    m_sql.clear();
}

void Dataset::prepareCall(const QString& procedure, const Params& params)
{
    close();
    clearParams();
    setProcedure(procedure);
    for (const Param& p : params)
        addParam(p.name, p.value);
}

void Dataset::addParam(const QString& name, const QVariant& value)
{
    m_params.append({name, value});
}

void Dataset::setParam(const QString& name, const QVariant& value)
{
    for (Param& p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0) {
            p.value = value;
            return;
        }
    throw DbError(QStringLiteral("Parametre bulunamadı: %1").arg(name));
}

void Dataset::setSql(const QString& sql, const WriteTarget& target)
{
    m_sql = sql;
    m_procedure.clear();
    m_target = target;
}

void Dataset::setTable(const QString& table, const QString& keyColumn)
{
    // unquoted, so that a server storing names in lower case finds "Parametre" too
    setSql(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, keyColumn),
           {table, keyColumn});
}

ResultRows Dataset::runCall()
{
    if (!m_procedure.isEmpty())
        return m_connection.callProcedure(m_procedure, m_params);
    if (!m_sql.isEmpty())
        return m_connection.query(m_sql, m_params);
    throw DbError(QStringLiteral("Çalıştırılacak yordam ya da komut verilmedi"));
}

void Dataset::execProc()
{
    runCall();
}

void Dataset::load(ResultRows rows)
{
    m_columns = std::move(rows.columns);
    m_columnIndex.clear();
    for (int i = 0; i < m_columns.size(); ++i) {
        const QString key = m_columns.at(i).toLower();
        if (!m_columnIndex.contains(key))
            m_columnIndex.insert(key, i);
    }
    m_rows = std::move(rows.rows);
    if (!m_procedure.isEmpty())
        m_target = rows.target;
    m_modified.clear();
    m_refusedChange.clear();
    m_current = m_rows.isEmpty() ? -1 : 0;
}

void Dataset::open()
{
    reload(std::nullopt);
}

void Dataset::refresh()
{
    reload(m_current);
}

// Runs the call again; with a row, the current row stays there as far as the new rows reach.
void Dataset::reload(std::optional<int> keepRow)
{
    close();
    load(runCall());
    if (keepRow && !m_rows.isEmpty())
        m_current = qBound(0, *keepRow, int(m_rows.size()) - 1);
    setState(State::Browse);
    Q_EMIT rowsReset();
    Q_EMIT opened();
    Q_EMIT currentChanged(m_current);
}

void Dataset::requireOpen() const
{
    if (m_state == State::Inactive)
        throw DbError(QStringLiteral("Veri kümesi kapalı: %1")
                          .arg(m_procedure.isEmpty() ? m_sql.left(40) : m_procedure));
}

int Dataset::columnIndex(const QString& name) const
{
    return m_columnIndex.value(name.toLower(), -1);
}

int Dataset::textWidth(const QString& column) const
{
    if (!m_target.isValid())
        return 0;
    try {
        const TableColumn* stored = m_connection.tableInfo(m_target.table).column(column);
        return stored && !stored->isDate ? stored->width : 0;
    } catch (const DbError&) {
        return 0; // a table the database does not know limits nothing
    }
}

int Dataset::requireColumn(const QString& name) const
{
    const int index = columnIndex(name);
    if (index < 0)
        throw DbError(
            QStringLiteral("Sütun bulunamadı: '%1' (%2)")
                .arg(name, m_procedure.isEmpty() ? QStringLiteral("komut") : m_procedure));
    return index;
}

QVariant Dataset::value(const QString& column) const
{
    requireOpen();
    const int index = requireColumn(column);
    if (m_current < 0)
        return {};
    return m_rows.at(m_current).at(index);
}

QVariant Dataset::valueAt(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    return m_rows.at(row).at(column);
}

void Dataset::setValue(const QString& column, const QVariant& value)
{
    requireOpen();
    const int index = requireColumn(column);
    if (m_state == State::Browse)
        edit();
    QVariant& cell = m_rows[m_current][index];
    if (cell == value && cell.isNull() == value.isNull() && cell.typeId() == value.typeId())
        return;
    cell = value;
    m_modified.insert(index);
    Q_EMIT rowChanged(m_current);
}

void Dataset::moveTo(int row)
{
    requireOpen();
    if (m_rows.isEmpty())
        return;
    row = qBound(0, row, int(m_rows.size()) - 1);
    if (row == m_current && m_state == State::Browse)
        return;
    const int before = m_current;
    const qsizetype rowsBefore = m_rows.size();
    postIfChanged();
    // An untouched new row was dropped: the rows after it moved up one place, so the row the
    // user pointed at (the one they came from, after "next") has the index below.
    if (m_rows.size() < rowsBefore && row > before)
        --row;
    row = qBound(0, row, int(m_rows.size()) - 1);
    if (row == m_current)
        return;
    m_current = row;
    Q_EMIT currentChanged(m_current);
}

void Dataset::edit()
{
    requireOpen();
    if (m_state != State::Browse)
        return;
    if (isReadOnly())
        throw DbError(QStringLiteral("Bu veriler yalnızca okunabilir"));
    if (m_rows.isEmpty()) {
        append();
        return;
    }
    m_savedRow = m_rows.at(m_current);
    m_modified.clear();
    setState(State::Edit);
}

void Dataset::append()
{
    startNewRow(true);
}

void Dataset::insert()
{
    startNewRow(false);
}

// A pending change is stored first; the new row's place is taken after that.
void Dataset::startNewRow(bool atEnd)
{
    requireOpen();
    postIfChanged();
    if (isReadOnly())
        throw DbError(QStringLiteral("Bu veriler yalnızca okunabilir"));
    const int at = atEnd ? int(m_rows.size()) : std::max(m_current, 0);
    m_rows.insert(at, QVector<QVariant>(m_columns.size()));
    m_current = at;
    m_modified.clear();
    setState(State::Insert);
    Q_EMIT rowsReset();
    Q_EMIT currentChanged(m_current);
}

void Dataset::addEntryCheck(QObject* owner, std::function<QString()> check)
{
    m_entryChecks.append({owner, std::move(check)});
}

void Dataset::removeEntryChecks(QObject* owner)
{
    m_entryChecks.removeIf([owner](const auto& entry) { return entry.first == owner; });
}

void Dataset::requireFinishedEntries() const
{
    for (const auto& [owner, check] : m_entryChecks)
        if (owner)
            if (const QString refusal = check(); !refusal.isEmpty())
                throw DbError(refusal);
}

void Dataset::post()
{
    requireOpen();
    if (m_state == State::Browse)
        return;
    requireFinishedEntries();
    if (beforePost)
        beforePost(*this);
    const TableInfo& info = m_connection.tableInfo(m_target.table);
    QVector<QVariant>& row = m_rows[m_current];
    // the version read goes with the key; a row read without one is written by its key alone
    const int version = info.column(RowVersionColumn) ? columnIndex(RowVersionColumn) : -1;
    QList<QPair<QString, QVariant>> values;
    QList<int> written;
    for (int c = 0; c < m_columns.size(); ++c) {
        const bool wanted = m_state == State::Insert ? !row.at(c).isNull() : m_modified.contains(c);
        if (!wanted || columnIndex(m_columns.at(c)) != c)
            continue;
        const TableColumn* column = info.column(m_columns.at(c));
        if (!column || (column->isKey && (m_state != State::Insert || row.at(c).isNull())) ||
            c == version)
            continue;
        values.append({m_columns.at(c), row.at(c)});
        written << c;
    }
    if (m_state == State::Insert) {
        const QVariant key = m_connection.insertRow(m_target.table, values);
        if (const int k = columnIndex(m_target.keyColumn); k >= 0)
            row[k] = key;
        // the server's triggers may have changed the new row already
        if (version >= 0)
            row[version] = m_connection.rowVersion(m_target, key);
    } else {
        // the row is found by its key as it was read, whatever was typed since
        const int k = requireColumn(m_target.keyColumn);
        const QVariant readVersion = version >= 0 ? m_savedRow.value(version) : QVariant();
        int written = 0;
        try {
            written = m_connection.updateRow(m_target, m_savedRow.value(k, row.at(k)), values,
                                             readVersion);
        } catch (const RowConflict& conflict) {
            m_refusedChange = conflict.text();
            throw;
        }
        // the server raised the version by one: the next store from this row is ours again
        if (written > 0 && !readVersion.isNull())
            row[version] = readVersion.toLongLong() + 1;
    }
    // what is shown is what was stored: texts cut to their width
    for (int c : written) {
        const TableColumn* column = info.column(m_columns.at(c));
        if (column->width > 0 && row.at(c).typeId() == QMetaType::QString)
            row[c] = row.at(c).toString().left(column->width);
    }
    m_modified.clear();
    m_savedRow.clear();
    m_refusedChange.clear();
    setState(State::Browse);
    Q_EMIT rowChanged(m_current);
    if (afterPost)
        afterPost(*this);
}

void Dataset::postIfChanged()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    requireFinishedEntries(); // even a row with nothing written is kept, not dropped
    if (m_modified.isEmpty())
        cancel(); // an untouched row stays as it was, an untouched new one is dropped
    else
        post();
}

QList<QPair<QString, QVariant>> Dataset::typedValues() const
{
    QList<QPair<QString, QVariant>> typed;
    if (m_current < 0)
        return typed;
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_modified.contains(c))
            typed.append({m_columns.at(c), m_rows.at(m_current).at(c)});
    return typed;
}

void Dataset::reloadStoredRow()
{
    requireOpen();
    const int k = columnIndex(m_target.keyColumn);
    QVariant key;
    if (k >= 0 && m_current >= 0)
        key = m_state == State::Edit ? m_savedRow.value(k) : m_rows.at(m_current).at(k);
    cancel();
    refresh();
    for (int row = 0; k >= 0 && !key.isNull() && row < m_rows.size(); ++row)
        if (m_rows.at(row).at(k) == key && row != m_current) {
            m_current = row;
            Q_EMIT currentChanged(m_current);
            break;
        }
}

void Dataset::cancel()
{
    m_refusedChange.clear();
    if (m_state == State::Edit) {
        m_rows[m_current] = m_savedRow;
        m_modified.clear();
        setState(State::Browse);
        Q_EMIT rowChanged(m_current);
    } else if (m_state == State::Insert) {
        m_rows.removeAt(m_current);
        m_current = qMin(m_current, int(m_rows.size()) - 1);
        m_modified.clear();
        setState(State::Browse);
        Q_EMIT rowsReset();
        Q_EMIT currentChanged(m_current);
    }
}

void Dataset::deleteCurrent()
{
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_current < 0)
        throw DbError(QStringLiteral("Silinecek kayıt yok"));
    if (isReadOnly())
        throw DbError(QStringLiteral("Bu veriler yalnızca okunabilir"));
    if (m_state == State::Edit)
        cancel();
    const QVariant key = m_rows.at(m_current).at(requireColumn(m_target.keyColumn));
    const int version = columnIndex(RowVersionColumn);
    m_connection.deleteRow(m_target, key,
                           version >= 0 ? m_rows.at(m_current).at(version) : QVariant());
    m_rows.removeAt(m_current);
    m_current = qMin(m_current, int(m_rows.size()) - 1);
    Q_EMIT rowsReset();
    Q_EMIT currentChanged(m_current);
}

} // namespace zelvo::db
