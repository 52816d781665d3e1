#include "export/RecordingSurface.h"

void RecordingSurface::setFont(const QString& name, int points)
{
    m_fonts.append(name + u' ' + QString::number(points));
}

void RecordingSurface::setBold(bool bold)
{
    m_bold = bold;
}

bool RecordingSurface::pageFull() const
{
    return m_linesPerPage > 0 && !m_pagePending && !m_lineOpen && m_pages.last().size() >= m_linesPerPage;
}

void RecordingSurface::startPendingPage()
{
    if (m_pagePending || pageFull()) {
        m_pagePending = false;
        m_pages.append(QStringList());
    }
}

void RecordingSurface::printPiece(const QString& piece)
{
    startPendingPage();
    m_line += piece;
    m_lineOpen = true;
    if (m_bold) {
        m_boldTexts.append(piece);
    }
}

void RecordingSurface::tab(int column)
{
    startPendingPage();
    const qsizetype target = qMax(column - 1, 0);
    if (m_line.size() > target) {
        endLine();
    }
    m_line += QString(target - m_line.size(), u' ');
    m_lineOpen = true;
}

void RecordingSurface::endLine()
{
    startPendingPage();
    m_pages.last().append(m_line);
    m_line.clear();
    m_lineOpen = false;
}

void RecordingSurface::newPage()
{
    if (m_lineOpen) {
        endLine();
    }
    m_pagePending = true;
}

void RecordingSurface::endDocument()
{
    if (m_lineOpen) {
        endLine();
    }
    m_ended = true;
}

QList<QStringList> RecordingSurface::pages() const
{
    QList<QStringList> all = m_pages;
    if (m_lineOpen) {
        all.last().append(m_line);
    }
    return all;
}

QStringList RecordingSurface::lines() const
{
    QStringList all;
    for (const QStringList& page : pages()) {
        all += page;
    }
    return all;
}
