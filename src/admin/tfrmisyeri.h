#pragma once

#include "ui/childwindow.h"

#include <QList>

namespace zelvo::controls {
class DbEdit;
}

namespace zelvo::admin {

// The workplace record of the user's unit (the row of `isyerigetir`), shown in six boxes.
// There is no store button: a change is written back only when the window closes, and a
// refused write keeps the window open with the change still pending.
class TFrmisyeri : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmisyeri(ui::AppContext& context, QWidget* owner = nullptr);

protected:
    void activate() override;
    void closing() override;

private:
    void addBox(QWidget* panel, const QString& label, const QString& field, int width);
    void limitBoxesToColumnWidths();

    db::Dataset* m_spGetir;
    QList<controls::DbEdit*> m_boxes;
};

} // namespace zelvo::admin
