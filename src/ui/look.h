#pragma once

#include "core/lookvalues.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

class QFrame;
class QToolButton;
class QWidget;

// The program's look: colours, fonts and pictures shared by every window.
namespace zelvo::ui::look {

inline const QColor mainBackground{QRgb(core::look::mainBackground)};
inline const QColor toolBar{QRgb(core::look::toolBar)};
inline const QColor childBackground{QRgb(core::look::childBackground)};
inline const QColor gridAlternate{QRgb(core::look::gridAlternate)};
inline const QColor gridCurrent{QRgb(core::look::gridCurrent)};

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

} // namespace zelvo::ui::look
