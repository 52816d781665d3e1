#pragma once

#include "store/SnippetRecord.h"

#include <QString>

class PrintSurface;

// Lays out snippet pages: a margin of blanks, bold labels, the values at column 30, then the code,
// wrapped at blanks when asked.
class SnippetPrinter
{
public:
    struct Options
    {
        QString margin;       // stands in front of every label and every code line
        QString databaseLine; // heads the page
        QString fontName;     // the print font, the editor's
        int fontSize = 10;
        bool wordWrap = false;
        bool pageBreak = false; // checked: the next snippet follows on the same page
    };

    static constexpr int ValueColumn = 30;

    SnippetPrinter(PrintSurface& surface, Options options);

    // Prints one snippet page; the document is left open for the next one.
    void PrintSnippet(const SnippetRecord& record);

    // The code with a margin before every printed line, lines wider than 70 % of the page broken
    // at blanks after the width is passed, each broken piece ending in "_".
    QString WrapByCharacter(const QString& code) const;

private:
    void labelLine(const QString& label, const QString& value);

    PrintSurface& m_surface;
    Options m_options;
};
