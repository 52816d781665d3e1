#pragma once

#include <QRect>

class QWidget;

// Keeps secondary windows where they can be seen whole: inside the screen's available area.
namespace ScreenFit {

// frame moved, and made smaller where it is larger, so that it lies inside available.
QRect inside(QRect frame, const QRect& available);

// Centres a window that is about to be shown over the window of owner, inside the available area of
// owner's screen, its frame included.
void placeOver(QWidget& window, const QWidget* owner);

} // namespace ScreenFit
