#include "admin/adminlook.h"

#include "ui/look.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zelvo::admin {

QLabel* heading(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Heading"));
    ui::look::setHeadingFont(label);
    return label;
}

QVBoxLayout* headedLayout(QWidget* window, const QString& title, QWidget* closeButton)
{
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(heading(window, title));
    top->addStretch();
    top->addWidget(closeButton);
    layout->addLayout(top);
    return layout;
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
