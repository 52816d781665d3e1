#pragma once

#include <QString>

// Where printing lays its text out: lines of text in the current font, with tabs to character
// columns, on pages. The real surface draws on a printer; tests and the benchmark record.
class PrintSurface
{
public:
    virtual ~PrintSurface() = default;

    // The font of what is printed from now on: name and size in points.
    virtual void setFont(const QString& name, int points) = 0;
    virtual void setBold(bool bold) = 0;

    // Prints text at the current position; every CR LF (or lone LF or CR) in it ends the line there.
    void print(const QString& text);
    // Moves to a character column, the leftmost being 1; when already past it, to that column of
    // the next line.
    virtual void tab(int column) = 0;
    // Ends the current line; on a line with nothing printed, that leaves an empty line.
    virtual void endLine() = 0;
    // Ends the current line and the page; what follows goes on a new page.
    virtual void newPage() = 0;
    // Sends the document; nothing may be printed after it.
    virtual void endDocument() = 0;

    // The width of a text in the current font, and the width of the page, in the same unit.
    virtual double textWidth(const QString& text) const = 0;
    virtual double pageWidth() const = 0;

    // Whether the page is full: a further line would go onto the next page. Never, on an endless page.
    virtual bool pageFull() const { return false; }

    // Why the document could not be printed; empty while all is well.
    virtual QString error() const { return {}; }

    // Shorthands: text and a line end; several empty lines.
    void printLine(const QString& text);
    void emptyLines(int count);

protected:
    // Prints a piece of text that holds no line end.
    virtual void printPiece(const QString& piece) = 0;
};
