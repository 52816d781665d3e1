#pragma once

#include <QList>
#include <QString>

// A node of the library tree as the outline printout sees it: its text and its children.
struct OutlineNode
{
    QString text;
    QList<OutlineNode> children;
};
