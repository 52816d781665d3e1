#pragma once

#include "export/PrintSurface.h"

#include <QList>
#include <QStringList>

// A print surface that keeps what was printed as text: one character is one unit of width, and a
// tab pads the line with blanks up to its column. A page holds linesPerPage lines (0: any number);
// a line that does not fit goes onto the next page, as on a printer.
class RecordingSurface : public PrintSurface
{
public:
    explicit RecordingSurface(double pageWidth = 100, int linesPerPage = 0)
        : m_pageWidth(pageWidth), m_linesPerPage(linesPerPage)
    {}

    void setFont(const QString& name, int points) override;
    void setBold(bool bold) override;
    void tab(int column) override;
    void endLine() override;
    void newPage() override;
    void endDocument() override;
    double textWidth(const QString& text) const override { return double(text.size()); }
    double pageWidth() const override { return m_pageWidth; }
    bool pageFull() const override;

    // The pages as printed, each a list of its lines; the line still open counts as printed, a new
    // page that nothing was printed on does not.
    QList<QStringList> pages() const;
    // Every line of every page, in order.
    QStringList lines() const;
    // Every piece of text printed while bold was on, blanks of tabs not included.
    const QStringList& boldTexts() const { return m_boldTexts; }
    // Every font set, as "name points".
    const QStringList& fonts() const { return m_fonts; }
    bool ended() const { return m_ended; }

protected:
    void printPiece(const QString& piece) override;

private:
    void startPendingPage();

    double m_pageWidth;
    int m_linesPerPage;
    QList<QStringList> m_pages{QStringList()};
    QString m_line;
    bool m_lineOpen = false;
    bool m_pagePending = false; // a new page was asked for; it starts with what is printed next
    bool m_bold = false;
    bool m_ended = false;
    QStringList m_boldTexts;
    QStringList m_fonts;
};
