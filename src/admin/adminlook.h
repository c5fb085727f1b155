#pragma once

#include <QColor>
#include <QString>

class QLabel;
class QVBoxLayout;
class QWidget;

// The pieces the administration windows share: their heading and their field captions.
namespace zelvo::admin {

// The window's heading in bold Century Gothic, 21 pixels.
QLabel* heading(QWidget* parent, const QString& text);
// The window's layout, its first row the heading centred and closeButton at the right end.
QVBoxLayout* headedLayout(QWidget* window, const QString& title, QWidget* closeButton);
// A field caption in bold Verdana of the given size and colour.
QLabel* caption(QWidget* parent, const QString& text, int pixelSize, const QColor& colour);

} // namespace zelvo::admin
