#pragma once

#include <QString>

#include <functional>

class QLineEdit;

namespace zelvo::controls {

// Holds a box to the characters its column takes. Typing stops at the width; a paste or drop
// that would make the text longer is refused whole (never cut), and `refused` hears why, after
// the box has finished handling the input. A width of 0 lifts the limit.
void limitTextWidth(QLineEdit* edit, int width, std::function<void(const QString&)> refused);

} // namespace zelvo::controls
