#pragma once

#include "db/connection.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <optional>

namespace zelvo::db {

// The client's view of one result: the rows of a stored procedure, a statement or a table,
// with a current row and the browse / edit / insert states of a data-aware form. Fields are
// found by name regardless of letter case; a missing column is an error. A result that knows
// its write target stores an edited or appended row back to that table by its key.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    explicit Dataset(Connection& connection, QObject* parent = nullptr);

    Connection& connection() const { return m_connection; }

    // --- the procedure calling convention ---------------------------------------------
    void close();
    void clearParams() { m_params.clear(); }
    void setProcedure(const QString& name);
    // The whole convention in one: close, clear the parameters, name the procedure, add the
    // parameters in order. Then execProc() or open().
    void prepareCall(const QString& procedure, const Params& params = {});
    void addParam(const QString& name, const QVariant& value = {});
    void setParam(const QString& name, const QVariant& value);
    const Params& params() const { return m_params; }
    QString procedure() const { return m_procedure; }
    // Runs the procedure (or statement) and keeps no rows: for procedures that only act.
    void execProc();
    // Runs it and holds its rows, the first row current.
    void open();
    // Runs the same call again, keeping the current row position where it can.
    void refresh();

    // --- statements and tables ----------------------------------------------------------
    void setSql(const QString& sql, const WriteTarget& target = {});
    // The whole table, every row, written back by `keyColumn`.
    void setTable(const QString& table, const QString& keyColumn);
    void setWriteTarget(const WriteTarget& target) { m_target = target; }
    const WriteTarget& writeTarget() const { return m_target; }

    // --- rows and columns ---------------------------------------------------------------
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int currentIndex() const { return m_current; }
    const QStringList& columns() const { return m_columns; }
    int columnIndex(const QString& name) const;   // -1 when missing
    int requireColumn(const QString& name) const; // throws when missing
    bool hasColumn(const QString& name) const { return columnIndex(name) >= 0; }
    // The characters a text column of the write target holds; 0 when it is not bounded, not
    // text or not written back. Boxes and cells take no more, so nothing typed is cut silently.
    int textWidth(const QString& column) const;

    QVariant value(const QString& column) const; // of the current row
    QString text(const QString& column) const { return value(column).toString(); }
    QVariant valueAt(int row, int column) const;
    void setValue(const QString& column, const QVariant& value); // enters edit state if needed
    bool isModified() const { return !m_modified.isEmpty(); }

    // --- navigation (a changed row is posted before the current row moves) -------------
    void first() { moveTo(0); }
    void last() { moveTo(recordCount() - 1); }
    void next() { moveTo(m_current + 1); }
    void prior() { moveTo(m_current - 1); }
    void moveBy(int delta) { moveTo(m_current + delta); }
    void moveTo(int row);
    bool isBof() const { return m_current <= 0; }
    bool isEof() const { return m_current >= recordCount() - 1; }

    // --- changing rows ------------------------------------------------------------------
    void edit();
    void append(); // a new row at the end
    void insert(); // a new row at the current position
    void post();
    void cancel();
    void deleteCurrent(); // deletes the current row from its table
    // Posts a pending change, if any; does nothing in browse state.
    void postIfChanged();
    // A row read with its version (surum) is stored only while the server still holds that
    // version; otherwise post() throws RowConflict and the row stays as typed, in edit state.
    // The refusal's text while that row is still being edited; empty otherwise.
    QString refusedChange() const { return m_state == State::Edit ? m_refusedChange : QString(); }
    // The values typed into the current row since it was read, in column order.
    QList<QPair<QString, QVariant>> typedValues() const;
    // Drops the change and reads the rows again, the row of the same key current where it is
    // still stored.
    void reloadStoredRow();
    bool canModify() const { return m_target.isValid() && !m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly || !m_target.isValid(); }

    // A control may hold typed input that cannot go into the row (a date that is not one): its
    // check returns the refusal, or an empty text. Before a changed or new row is stored or
    // dropped the checks run, and a refusal is thrown with the row left as it is. A check goes
    // with its owner.
    void addEntryCheck(QObject* owner, std::function<QString()> check);
    void removeEntryChecks(QObject* owner);

    // Called just before a row is stored; may set values. The state tells new from changed.
    std::function<void(Dataset&)> beforePost;
    // Called after the current row has been stored.
    std::function<void(Dataset&)> afterPost;

Q_SIGNALS:
    void opened();
    void closed();
    void currentChanged(int row);
    void stateChanged(db::Dataset::State state);
    void rowChanged(int row);
    void rowsReset();

private:
    void setState(State state);
    void load(ResultRows rows);
    void reload(std::optional<int> keepRow);
    void startNewRow(bool atEnd);
    ResultRows runCall();
    void requireOpen() const;
    void requireFinishedEntries() const;

    Connection& m_connection;
    QString m_procedure;
    QString m_sql;
    Params m_params;
    WriteTarget m_target;
    bool m_readOnly = false;

    QStringList m_columns;
    QHash<QString, int> m_columnIndex; // lower-case name -> first column of that name
    QVector<QVector<QVariant>> m_rows;
    int m_current = -1;
    State m_state = State::Inactive;
    QVector<QVariant> m_savedRow; // the row as it was before edit / insert
    QSet<int> m_modified;         // columns changed since edit / insert
    QString m_refusedChange;      // why the last post of the edited row was refused
    QList<QPair<QPointer<QObject>, std::function<QString()>>> m_entryChecks;
};

// Every row of the dataset in order, each made by read(dataset, row).
template <typename Read>
auto mapRows(const Dataset& dataset, Read read) -> QList<decltype(read(dataset, 0))>
{
    QList<decltype(read(dataset, 0))> rows;
    rows.reserve(dataset.recordCount());
    for (int row = 0; row < dataset.recordCount(); ++row)
        rows.append(read(dataset, row));
    return rows;
}

} // namespace zelvo::db
