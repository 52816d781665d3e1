#pragma once

#include <QString>

// The editor font's quick cycle and the bold and italic flags that override definition styles.
namespace FontCycle {

struct Font
{
    QString name;
    int points = 0;

    bool operator==(const Font&) const = default;
};

// The font after this one: Courier New 8, 10, 12, 16, then MS Sans Serif 8, 10, 12, 16, and round again;
// any other font goes to MS Sans Serif 8.
Font next(const QString& name, int points);

// The status text for a font: name, two blanks, size and " pt".
QString statusText(const QString& name, int points);

// The (bold, italic) pair after this one: (F, F), (T, F), (F, T), (T, T), and round again.
std::pair<bool, bool> nextBoldItalic(bool bold, bool italic);

// "Bold:True    Italic:False".
QString boldItalicText(bool bold, bool italic);

// The font style the override gives every definition style: 1 for bold plus 2 for italic.
int overrideFontStyle(bool bold, bool italic);

// A size in tenths of a point to whole points, halves to the even neighbour.
int pointsFromTenths(int tenths);

} // namespace FontCycle
