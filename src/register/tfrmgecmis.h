#pragma once

#include "ui/childwindow.h"

#include <QVariant>

class QTableWidget;

namespace zelvo::studentregister {

// The recorded changes of one student, newest first: when, by whom, what was done and which
// values changed. Read only; it leaves the register open behind it.
class TFrmGecmis : public ui::ChildWindow {
    Q_OBJECT
public:
    TFrmGecmis(ui::AppContext& context, const QVariant& studentId, const QString& caption,
               QWidget* owner = nullptr);

    // Reads the history from the database (DegisiklikGetir). Throws DbError.
    void load();
    QTableWidget* table() const { return m_table; }

private:
    QVariant m_studentId;
    QTableWidget* m_table = nullptr;
};

// What a recorded change did to the values, as one line per changed field ("adi: Ali → Veli");
// for a new row its values, for a removed row the values it had. `before` and `after` are JSON
// objects as recorded, empty when absent.
QString changedValues(const QString& before, const QString& after);

} // namespace zelvo::studentregister
