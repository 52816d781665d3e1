#include "editor/FontCycle.h"

namespace {

const QString CourierNew = QStringLiteral("Courier New");
const QString SansSerif = QStringLiteral("MS Sans Serif");

QString trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

namespace FontCycle {

Font next(const QString& name, int points)
{
    const bool courier = name == CourierNew;
    if (!courier && name != SansSerif) {
        return {SansSerif, 8};
    }
    switch (points) {
    case 8:
        return {name, 10};
    case 10:
        return {name, 12};
    case 12:
        return {name, 16};
    default:
        return {courier ? SansSerif : CourierNew, 8};
    }
}

QString statusText(const QString& name, int points)
{
    return name + QStringLiteral("  ") + QString::number(points) + QStringLiteral(" pt");
}

std::pair<bool, bool> nextBoldItalic(bool bold, bool italic)
{
    if (!bold && !italic) {
        return {true, false};
    }
    if (bold && !italic) {
        return {false, true};
    }
    if (!bold && italic) {
        return {true, true};
    }
    return {false, false};
}

QString boldItalicText(bool bold, bool italic)
{
    return QStringLiteral("Bold:") + trueFalse(bold) + QStringLiteral("    Italic:") + trueFalse(italic);
}

int overrideFontStyle(bool bold, bool italic)
{
    return 2 * (italic ? 1 : 0) + (bold ? 1 : 0);
}

int pointsFromTenths(int tenths)
{
    const int whole = tenths / 10;
    const int rest = tenths % 10;
    if (rest > 5 || (rest == 5 && whole % 2 != 0)) {
        return whole + 1;
    }
    return whole;
}

} // namespace FontCycle
