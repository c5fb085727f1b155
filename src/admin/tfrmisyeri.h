#pragma once

#include "childwindow.h"

#include <QList>

namespace controls {
class DbEdit;
}

namespace admin {

// The workplace record of the user's unit (the row of `isyerigetir`), shown in six boxes.
// There is no store button: a change is written back only when the window closes, and a
// refused write keeps the window open with the change still pending.
class TFrmisyeri : public app::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmisyeri(app::AppContext& context, QWidget* owner = nullptr);

protected:
    void activate() override;
    void closing() override;

private:
    void addBox(QWidget* panel, const QString& label, const QString& field, int width);
    void limitBoxesToColumnWidths();

    db::Dataset* m_spGetir;
    QList<controls::DbEdit*> m_boxes;
};

} // namespace admin
