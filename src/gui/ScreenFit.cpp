#include "gui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenFit {

QRect inside(QRect frame, const QRect& available)
{
    frame.setSize(frame.size().boundedTo(available.size()));
    if (frame.right() > available.right()) {
        frame.moveRight(available.right());
    }
    if (frame.bottom() > available.bottom()) {
        frame.moveBottom(available.bottom());
    }
    if (frame.left() < available.left()) {
        frame.moveLeft(available.left());
    }
    if (frame.top() < available.top()) {
        frame.moveTop(available.top());
    }
    return frame;
}

void placeOver(QWidget& window, const QWidget* owner)
{
    const QWidget* ownerWindow = owner ? owner->window() : nullptr;
    QScreen* screen = ownerWindow ? ownerWindow->screen() : window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    // The new window's frame is not known before it is shown; it is taken to be as wide as the owner's.
    QMargins frame;
    if (ownerWindow && ownerWindow->isVisible()) {
        const QRect inner = ownerWindow->geometry();
        const QRect outer = ownerWindow->frameGeometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    QRect outer(QPoint(), window.size().grownBy(frame));
    outer.moveCenter(ownerWindow ? ownerWindow->frameGeometry().center() : available.center());
    window.setGeometry(inside(outer, available).marginsRemoved(frame));
}

} // namespace ScreenFit
