#pragma once

#include "export/OutlineNode.h"

#include <QStringList>

class PrintSurface;

// Lays out the title printouts: one title, a category's titles under repeated header blocks, a
// language's titles, and the whole tree as an indented outline.
class TitlePrinter
{
public:
    static constexpr int ValueColumn = 30;
    static constexpr int TitlesPerBlock = 50; // after the first title of the list
    static constexpr int LinesPerPage = 70;   // of the outline

    TitlePrinter(PrintSurface& surface, QString margin, QString databaseLine);

    // The database line and the title of one snippet.
    void printTitle(const QString& title);

    // The category's titles, each at the value column; the header block (language, category,
    // "Titles:") stands before the first title and again before every further 50.
    void printCategoryTitles(const QString& language, const QString& category, const QStringList& titles);

    // The titles, one a line at the left edge.
    void printLanguageTitles(const QStringList& titles);

    // Four empty lines, then the outline of the roots and everything below them.
    void printOutline(const QList<OutlineNode>& roots);

    // Prints every node of the list and, after each, its descendants: the text at column
    // 4 * Level + 20. The page ends after its 70th line of the outline, or sooner when it is full,
    // and the next opens with four empty lines.
    void TraverseTree(const QList<OutlineNode>& nodes, int Level, int& LineCount);

private:
    void categoryHeader(const QString& language, const QString& category);

    PrintSurface& m_surface;
    QString m_margin;
    QString m_databaseLine;
    int m_outlineLinesOnPage = 0;
};
