#pragma once

#include "export/PrintSurface.h"

#include <memory>
#include <optional>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

class QImage;
class QsciScintillaBase;

// The print surface of a real printer: the system's default printer, or a PDF file. A failure is
// kept and reported by error() once the document has ended; what follows a failure is dropped.
class PrinterSurface : public PrintSurface
{
public:
    // The system's default printer.
    static std::unique_ptr<PrinterSurface> defaultPrinter();
    // A PDF file. It is written whole when the document ends, so a failed print leaves a file of
    // that name as it was.
    static std::unique_ptr<PrinterSurface> pdfFile(const QString& path);

    ~PrinterSurface() override;

    void setFont(const QString& name, int points) override;
    void setBold(bool bold) override;
    void tab(int column) override;
    void endLine() override;
    void newPage() override;
    void endDocument() override;
    double textWidth(const QString& text) const override;
    double pageWidth() const override;
    bool pageFull() const override;
    QString error() const override { return m_error; }

    // A picture on the page, as large as it shows on the screen but no larger than the page.
    void printPicture(const QImage& picture);
    // Lines fromLine to toLine of an editor (counted from 0; -1 for its first and last), in its
    // colours, as the editor itself prints them.
    void printEditorLines(QsciScintillaBase& editor, int fromLine, int toLine, bool wordWrap);

    // Margins below this are widened to it: most printers cannot print nearer the paper's edge.
    static constexpr double MinimumMarginMm = 10;
    // The page as laid out: paper and margins.
    QPageLayout pageLayout() const { return m_printer.pageLayout(); }

    // The PDF file printed into; empty for a printer.
    QString pdfPath() const { return m_pdfPath; }

protected:
    void printPiece(const QString& piece) override;

private:
    explicit PrinterSurface(const QString& pdfPath);
    void begin();
    void fail(const QString& why);
    bool working() const { return m_error.isEmpty() && m_painter.isActive(); }
    void applyFont();
    // Starts the page a newPage() asked for, or the next one when the line would run off the foot.
    void makeRoomForLine();
    void writePdf();

    QPrinter m_printer;
    QPainter m_painter;
    QString m_pdfPath;
    QTemporaryFile m_pdfDraft;
    QFont m_font;
    std::optional<QFontMetricsF> m_metrics;
    double m_x = 0;
    double m_y = 0;
    bool m_pagePending = false; // a new page was asked for; it starts with what is printed next
    bool m_ended = false;
    QString m_error;
};
