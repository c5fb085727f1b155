#include "admin/adminlook.h"

#include "ui/look.h"

#include <QLabel>

namespace zelvo::admin {

QLabel* heading(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Heading"));
    ui::look::setHeadingFont(label);
    return label;
}

QLabel* caption(QWidget* parent, const QString& text, int pixelSize, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ui::look::verdana(pixelSize, true));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

} // namespace zelvo::admin
