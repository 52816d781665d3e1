#include "export/TitlePrinter.h"

#include "export/PrintSurface.h"

TitlePrinter::TitlePrinter(PrintSurface& surface, QString margin, QString databaseLine)
    : m_surface(surface), m_margin(std::move(margin)), m_databaseLine(std::move(databaseLine))
{}

void TitlePrinter::printTitle(const QString& title)
{
    m_surface.emptyLines(3);
    m_surface.setBold(true);
    m_surface.printLine(m_margin + m_databaseLine);
    m_surface.emptyLines(2);
    m_surface.print(m_margin + QStringLiteral("Title:"));
    m_surface.setBold(false);
    m_surface.tab(ValueColumn);
    m_surface.printLine(title);
}

void TitlePrinter::categoryHeader(const QString& language, const QString& category)
{
    m_surface.emptyLines(3);
    m_surface.setBold(true);
    m_surface.printLine(m_margin + m_databaseLine);
    m_surface.endLine();
    m_surface.print(m_margin + QStringLiteral("Language:"));
    m_surface.tab(ValueColumn);
    m_surface.printLine(language);
    m_surface.endLine();
    m_surface.print(m_margin + QStringLiteral("Category:"));
    m_surface.tab(ValueColumn);
    m_surface.printLine(category);
    m_surface.endLine();
    m_surface.print(m_margin + QStringLiteral("Titles:"));
    m_surface.tab(ValueColumn);
    m_surface.setBold(false);
}

void TitlePrinter::printCategoryTitles(const QString& language, const QString& category,
                                       const QStringList& titles)
{
    if (titles.isEmpty()) {
        return;
    }
    categoryHeader(language, category);
    int count = -1; // the first title is not counted
    for (const QString& title : titles) {
        // The header comes back only before a title that follows, never after the last one.
        if (count == TitlesPerBlock) {
            categoryHeader(language, category);
            count = 0;
        }
        m_surface.tab(ValueColumn);
        m_surface.printLine(title);
        ++count;
    }
}

void TitlePrinter::printLanguageTitles(const QStringList& titles)
{
    for (const QString& title : titles) {
        m_surface.printLine(title);
    }
}

void TitlePrinter::printOutline(const QList<OutlineNode>& roots)
{
    m_surface.emptyLines(4);
    int lineCount = 0;
    m_outlineLinesOnPage = 0;
    TraverseTree(roots, 1, lineCount);
}

void TitlePrinter::TraverseTree(const QList<OutlineNode>& nodes, int Level, int& LineCount)
{
    for (const OutlineNode& node : nodes) {
        m_surface.tab(4 * Level + 20);
        m_surface.printLine(node.text);
        ++LineCount;
        ++m_outlineLinesOnPage;
        // A full page breaks here too, so that the next one opens with its empty lines and counts
        // its 70 lines from its own start.
        if (m_outlineLinesOnPage == LinesPerPage || m_surface.pageFull()) {
            m_surface.newPage();
            m_surface.emptyLines(4);
            m_outlineLinesOnPage = 0;
        }
        if (!node.children.isEmpty()) {
            TraverseTree(node.children, Level + 1, LineCount);
        }
    }
}
