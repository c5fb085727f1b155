#pragma once

#include "dataset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>

class QRadioButton;

namespace controls {

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
    // Writes a user's change; a database error is reported through `failed`.
    void write(const QVariant& value);
    bool isRefreshing() const { return m_refreshing; }

Q_SIGNALS:
    void failed(const QString& text);

private:
    void refreshNow();

    QPointer<db::Dataset> m_dataset;
    QString m_field;
    std::function<void()> m_refresh;
    bool m_refreshing = false;
};

class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);
    void bind(db::Dataset* dataset, const QString& field) { m_link->bind(dataset, field); }
    FieldLink* link() const { return m_link; }

private:
    FieldLink* m_link;
};

class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DbCheckBox(const QString& text, QWidget* parent = nullptr);
    void bind(db::Dataset* dataset, const QString& field) { m_link->bind(dataset, field); }
    FieldLink* link() const { return m_link; }

private:
    FieldLink* m_link;
};

// A radio group whose items store the given values in the field.
class DbRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    DbRadioGroup(const QString& title, const QStringList& items, const QStringList& values,
                 QWidget* parent = nullptr);
    void bind(db::Dataset* dataset, const QString& field) { m_link->bind(dataset, field); }
    FieldLink* link() const { return m_link; }
    QRadioButton* item(int index) const { return m_buttons.value(index); }

private:
    QList<QRadioButton*> m_buttons;
    QStringList m_values;
    FieldLink* m_link;
};

// A date box ("DD-MM-YYYY") with a calendar; an empty date shows as an empty box.
class DbDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit DbDateEdit(QWidget* parent = nullptr);
    void bind(db::Dataset* dataset, const QString& field) { m_link->bind(dataset, field); }
    FieldLink* link() const { return m_link; }
    // The shown date, or a null date when the box is empty.
    QDate shownDate() const;
    void setShownDate(const QDate& date);

private:
    FieldLink* m_link;
};

// Shows a name of a lookup result and stores its key in the bound field.
class DbLookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DbLookupCombo(QWidget* parent = nullptr);
    void setLookup(db::Dataset* lookup, const QString& keyField, const QString& listField);
    void bind(db::Dataset* dataset, const QString& field) { m_link->bind(dataset, field); }
    FieldLink* link() const { return m_link; }

private:
    void fill();
    QPointer<db::Dataset> m_lookup;
    QString m_keyField;
    QString m_listField;
    FieldLink* m_link;
};

} // namespace controls
