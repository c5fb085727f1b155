#pragma once

#include "ui/childwindow.h"

class QLabel;

namespace zelvo::admin {

// What the program is for and whom to ask for help. Unlike the other child windows it has a
// frame, can be resized, leaves the main window visible and has no activation steps.
class TFrmHakkinda : public ui::ChildWindow {
    Q_OBJECT
public:
    explicit TFrmHakkinda(ui::AppContext& context, QWidget* owner = nullptr);

private:
    QWidget* pictureWithPurpose();
    QWidget* authorLine();
    QWidget* contributorsPanel();
    QLabel* line(QWidget* parent, const QString& text, int pixelSize, bool bold);
};

} // namespace zelvo::admin
