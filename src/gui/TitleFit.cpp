#include "gui/TitleFit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace TitleFit {

int widthFor(const QWidget& dialog, const QString& title)
{
    // Title bars commonly draw their text in bold, beside an icon and up to three buttons.
    QFont font = dialog.font();
    font.setBold(true);
    constexpr int TitleBarExtras = 160;
    const int wanted = QFontMetrics(font).horizontalAdvance(title) + TitleBarExtras;
    const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    return screen ? std::min(wanted, screen->availableGeometry().width() - 40) : wanted;
}

} // namespace TitleFit
