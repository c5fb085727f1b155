#pragma once

#include "controls/datefield.h"
#include "db/dataset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>

class QRadioButton;

namespace zelvo::controls {

// Keeps one widget in step with one field of a dataset's current row: shown when the row moves
// or changes, written back (entering the edit state) when the user changes the widget.
class FieldLink : public QObject {
    Q_OBJECT
public:
    FieldLink(QObject* parent, std::function<void()> refresh);
    void bind(db::Dataset* dataset, const QString& field);
    db::Dataset* dataset() const { return m_dataset; }
    const QString& field() const { return m_field; }
    QVariant value() const;
    // Whether there is a row to show: without one (closed, or a search that found nothing) the
    // bound controls are disabled, so that nothing typed into them can make a blank row.
    bool hasRow() const;
    // Writes a user's change; a database error is reported through `failed`.
    void write(const QVariant& value);
    bool isRefreshing() const { return m_refreshing; }

Q_SIGNALS:
    // A database error, or a typed entry the control refuses; for the window to show.
    void failed(const QString& text);

private:
    void refreshNow();

    QPointer<db::Dataset> m_dataset;
    QString m_field;
    std::function<void()> m_refresh;
    bool m_refreshing = false;
};

// What every bound control offers: binding to a field, and the link whose `failed` the window
// shows. The control creates the link in its constructor.
class BoundControl {
public:
    void bind(db::Dataset* dataset, const QString& field) { m_link->bind(dataset, field); }
    FieldLink* link() const { return m_link; }

protected:
    BoundControl() = default;
    ~BoundControl() = default;

    FieldLink* m_link = nullptr;
};

class DbEdit : public QLineEdit, public BoundControl {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);
};

class DbCheckBox : public QCheckBox, public BoundControl {
    Q_OBJECT
public:
    explicit DbCheckBox(const QString& text, QWidget* parent = nullptr);
};

// A radio group whose items store the given values in the field.
class DbRadioGroup : public QGroupBox, public BoundControl {
    Q_OBJECT
public:
    DbRadioGroup(const QString& title, const QStringList& items, const QStringList& values,
                 QWidget* parent = nullptr);
    QRadioButton* item(int index) const { return m_buttons.value(index); }

private:
    QList<QRadioButton*> m_buttons;
    QStringList m_values;
};

// A date box ("DD-MM-YYYY") with a calendar, bound to a date field; an empty box is no date.
// Typing starts changing the row; what is typed goes into the field as soon as it reads as a
// date (or is emptied). A typed text that is not a date is refused through `failed` when the
// box is left and keeps the row from being stored.
class DbDateEdit : public DateField, public BoundControl {
    Q_OBJECT
public:
    explicit DbDateEdit(QWidget* parent = nullptr);
    // Also moves the box's entry check (a refused typed text) to the bound dataset.
    void bind(db::Dataset* dataset, const QString& field);
    // The shown date, or a null date when the box is empty.
    QDate shownDate() const { return date(); }
    // As picking the date in the calendar: shown and written (a null date empties the field).
    void setShownDate(const QDate& date) { setDate(date); }

private:
    void refresh();
    void takeTyping();

    bool m_entryOpen = false; // typing since the field was last shown
    int m_typedRow = -1;      // the row the typed text belongs to
    QVariant m_valueBefore;   // the field's value when the typing began
};

// Shows a name of a lookup result and stores its key in the bound field.
class DbLookupCombo : public QComboBox, public BoundControl {
    Q_OBJECT
public:
    explicit DbLookupCombo(QWidget* parent = nullptr);
    void setLookup(db::Dataset* lookup, const QString& keyField, const QString& listField);

private:
    void fill();
    QPointer<db::Dataset> m_lookup;
    QString m_keyField;
    QString m_listField;
};

} // namespace zelvo::controls
