#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

class QFrame;
class QToolButton;
class QWidget;

// The program's look: colours, fonts and pictures shared by every window.
namespace look {

inline const QColor mainBackground{232, 233, 254};
inline const QColor toolBar{95, 103, 160};
inline const QColor childBackground{146, 172, 220};
inline const QColor gridAlternate{207, 216, 222};
inline const QColor gridCurrent{0, 0, 160};

// Maps Verdana and Century Gothic onto the metric-compatible faces Debian ships.
void installFontSubstitutions();
QFont verdana(int pixelSize, bool bold = false);
QFont centuryGothic(int pixelSize, bool bold = true);

// A JPEG picture of the program's resources; throws std::runtime_error when it cannot be
// decoded (a missing JPEG plugin must not give blank buttons).
QPixmap picture(const QString& name);

// A raised panel as the windows group their controls on.
QFrame* raisedPanel(QWidget* parent, const QString& objectName = {});
// A flat button with a 32 x 32 picture above its caption.
QToolButton* speedButton(QWidget* parent, const QString& objectName, const QString& caption,
                         const QString& pictureName);
// The bold heading of the child windows.
void setHeadingFont(QWidget* label, int pixelSize = 21);

} // namespace look
