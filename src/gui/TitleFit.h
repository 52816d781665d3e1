#pragma once

#include <QString>

class QWidget;

// Small boxes take the width of their text, and the window manager then cuts a longer title short
// ("Resto... base"): they are made wide enough for the title instead.
namespace TitleFit {

// The width dialog needs to show title whole beside the title bar's icon and buttons, at most the
// width of its screen's available area.
int widthFor(const QWidget& dialog, const QString& title);

} // namespace TitleFit
