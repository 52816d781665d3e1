#pragma once

#include <QFont>
#include <QString>

// The settings and the font cycle name Windows fonts ("Courier New", "MS Sans Serif"); drawn under a
// family that is not installed they take whatever the font matcher offers, which can be a bitmap face
// whose glyphs overlap. Such names are drawn with an installed family of the same kind instead; the
// names themselves are kept as they are.
namespace InstalledFonts {

// The installed family a font name is drawn with: the name itself when it is installed, else a
// monospace or sans-serif family for the known Windows names, else the name, for the matcher.
QString family(const QString& name);

// A font of that name and size, drawn with family(name).
QFont font(const QString& name, int points);

} // namespace InstalledFonts
