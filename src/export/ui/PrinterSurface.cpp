#include "export/ui/PrinterSurface.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QSaveFile>
#include <Qsci/qsciscintillabase.h>

std::unique_ptr<PrinterSurface> PrinterSurface::defaultPrinter()
{
    std::unique_ptr<PrinterSurface> surface(new PrinterSurface(QString()));
    surface->m_printer.setPrinterName(QPrinterInfo::defaultPrinter().printerName());
    surface->begin();
    return surface;
}

std::unique_ptr<PrinterSurface> PrinterSurface::pdfFile(const QString& path)
{
    std::unique_ptr<PrinterSurface> surface(new PrinterSurface(path));
    // The document goes into a draft first; the named file is replaced only by a complete one.
    surface->m_pdfDraft.setFileTemplate(QDir::temp().filePath(QStringLiteral("zorbeth-print-XXXXXX.pdf")));
    if (!surface->m_pdfDraft.open()) {
        surface->fail(QStringLiteral("No working file for the PDF: ") + surface->m_pdfDraft.errorString());
        return surface;
    }
    surface->m_pdfDraft.close();
    surface->m_printer.setOutputFormat(QPrinter::PdfFormat);
    surface->m_printer.setOutputFileName(surface->m_pdfDraft.fileName());
    surface->begin();
    return surface;
}

PrinterSurface::PrinterSurface(const QString& pdfPath)
    : m_printer(QPrinter::HighResolution), m_pdfPath(pdfPath), m_font(QStringLiteral("Courier New"), 10)
{
    m_font.setStyleHint(QFont::TypeWriter);
    applyFont();
}

PrinterSurface::~PrinterSurface()
{
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

void PrinterSurface::begin()
{
    // The printer's own margins where it has them, but never less than the minimum.
    const QMarginsF given = m_printer.pageLayout().margins(QPageLayout::Millimeter);
    const QMarginsF margins(std::max(given.left(), MinimumMarginMm), std::max(given.top(), MinimumMarginMm),
                            std::max(given.right(), MinimumMarginMm),
                            std::max(given.bottom(), MinimumMarginMm));
    m_printer.setPageMargins(margins, QPageLayout::Millimeter);
    if (!m_painter.begin(&m_printer)) {
        fail(m_pdfPath.isEmpty() ? QStringLiteral("The printer could not be opened.")
                                 : QStringLiteral("The PDF could not be started."));
        return;
    }
    applyFont();
}

void PrinterSurface::fail(const QString& why)
{
    if (m_error.isEmpty()) {
        m_error = why;
    }
}

void PrinterSurface::applyFont()
{
    m_metrics.emplace(m_font, &m_printer);
    if (m_painter.isActive()) {
        m_painter.setFont(m_font);
    }
}

void PrinterSurface::setFont(const QString& name, int points)
{
    m_font.setFamily(name);
    if (points > 0) {
        m_font.setPointSize(points);
    }
    applyFont();
}

void PrinterSurface::setBold(bool bold)
{
    m_font.setBold(bold);
    applyFont();
}

bool PrinterSurface::pageFull() const
{
    return working() && !m_pagePending && m_x == 0 && m_y > 0 &&
           m_y + m_metrics->lineSpacing() > m_printer.height();
}

void PrinterSurface::makeRoomForLine()
{
    if (!m_pagePending && !pageFull()) {
        return;
    }
    // A page asked for but left empty is never sent, so the document does not end on a blank page.
    m_pagePending = false;
    m_x = 0;
    m_y = 0;
    if (!m_printer.newPage()) {
        fail(QStringLiteral("The printer did not take a new page."));
    }
}

void PrinterSurface::printPiece(const QString& piece)
{
    if (!working()) {
        return;
    }
    makeRoomForLine();
    m_painter.drawText(QPointF(m_x, m_y + m_metrics->ascent()), piece);
    m_x += m_metrics->horizontalAdvance(piece);
}

void PrinterSurface::tab(int column)
{
    if (!working()) {
        return;
    }
    const double target = qMax(column - 1, 0) * m_metrics->averageCharWidth();
    if (m_x > target + 0.5) {
        endLine();
    }
    makeRoomForLine();
    m_x = target;
}

void PrinterSurface::endLine()
{
    if (!working()) {
        return;
    }
    makeRoomForLine();
    m_x = 0;
    m_y += m_metrics->lineSpacing();
}

void PrinterSurface::newPage()
{
    if (!working()) {
        return;
    }
    m_pagePending = true;
    m_x = 0;
    m_y = 0;
}

void PrinterSurface::endDocument()
{
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (m_painter.isActive() && !m_painter.end()) {
        fail(QStringLiteral("The document could not be finished."));
    }
    if (m_printer.printerState() == QPrinter::Error) {
        fail(QStringLiteral("The printer reported an error."));
    }
    if (!m_pdfPath.isEmpty() && m_error.isEmpty()) {
        writePdf();
    }
}

void PrinterSurface::writePdf()
{
    QFile draft(m_pdfDraft.fileName());
    if (!draft.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("The PDF could not be read back: ") + draft.errorString());
        return;
    }
    QSaveFile target(m_pdfPath);
    if (!target.open(QIODevice::WriteOnly) || target.write(draft.readAll()) != draft.size() ||
        !target.commit()) {
        fail(QStringLiteral("%1 could not be written: %2")
                 .arg(QDir::toNativeSeparators(m_pdfPath), target.errorString()));
    }
}

double PrinterSurface::textWidth(const QString& text) const
{
    return m_metrics->horizontalAdvance(text);
}

double PrinterSurface::pageWidth() const
{
    return m_printer.width();
}

void PrinterSurface::printPicture(const QImage& picture)
{
    if (!working() || picture.isNull()) {
        return;
    }
    const double screenScale = m_printer.resolution() / 96.0;
    const double scale = std::min({screenScale, m_printer.width() / double(picture.width()),
                                   m_printer.height() / double(picture.height())});
    m_painter.drawImage(QRectF(0, 0, picture.width() * scale, picture.height() * scale), picture);
}

void PrinterSurface::printEditorLines(QsciScintillaBase& editor, int fromLine, int toLine, bool wordWrap)
{
    if (!working()) {
        return;
    }
    // From the start of the first line to the end of the last one, without its line end: the
    // editor prints every line the range touches, so a range up to the start of the next line
    // would print that line too.
    const long length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long start =
        fromLine > 0 ? editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, (unsigned long)fromLine)
                     : 0;
    const long end =
        toLine >= 0 ? editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, (unsigned long)toLine)
                    : length;
    if (start < 0 || end < start) {
        fail(QStringLiteral("The editor could not print its selection."));
        return;
    }
    editor.SendScintilla(QsciScintillaBase::SCI_SETPRINTWRAPMODE,
                         wordWrap ? QsciScintillaBase::SC_WRAP_WORD : QsciScintillaBase::SC_WRAP_NONE);
    editor.SendScintilla(QsciScintillaBase::SCI_SETPRINTMAGNIFICATION, 0UL);
    const QRect area(0, 0, m_printer.width(), m_printer.height());
    long position = start;
    for (bool firstPage = true;; firstPage = false) {
        if (!firstPage && !m_printer.newPage()) {
            fail(QStringLiteral("The printer did not take a new page."));
            return;
        }
        const long next =
            editor.SendScintilla(QsciScintillaBase::SCI_FORMATRANGE, 1UL, &m_painter, area, position, end);
        // A page that took nothing would come back for ever.
        if (next >= end || next <= position) {
            return;
        }
        position = next;
    }
}
