#include "export/SnippetPrinter.h"

#include "export/PrintSurface.h"

#include <cmath>
#include <QStringList>

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool isBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

} // namespace

SnippetPrinter::SnippetPrinter(PrintSurface& surface, Options options)
    : m_surface(surface), m_options(std::move(options))
{}

void SnippetPrinter::labelLine(const QString& label, const QString& value)
{
    m_surface.setBold(true);
    m_surface.print(m_options.margin + label);
    m_surface.setBold(false);
    m_surface.tab(ValueColumn);
    m_surface.printLine(value);
}

void SnippetPrinter::PrintSnippet(const SnippetRecord& record)
{
    m_surface.setFont(m_options.fontName, m_options.fontSize);
    m_surface.emptyLines(3);
    m_surface.setBold(true);
    m_surface.printLine(m_options.margin + m_options.databaseLine);
    m_surface.setBold(false);
    m_surface.emptyLines(2);

    labelLine(QStringLiteral("Title:"), record.Title);
    m_surface.endLine();
    labelLine(QStringLiteral("Language:"), record.Language);
    labelLine(QStringLiteral("Category:"), record.Category);
    labelLine(QStringLiteral("Keywords:"), record.Keywords);
    labelLine(QStringLiteral("Date:"), record.Date);
    labelLine(QStringLiteral("Object:"),
              isBlank(record.ObjectName) ? QStringLiteral("<no object>") : record.ObjectName);

    m_surface.setBold(true);
    m_surface.endLine();
    m_surface.printLine(m_options.margin + QStringLiteral("Source Code:"));
    m_surface.setBold(false);

    QString code = record.Code.toString();
    if (isBlank(code)) {
        m_surface.printLine(m_options.margin + QStringLiteral("<empty>"));
    } else if (m_options.wordWrap) {
        m_surface.printLine(WrapByCharacter(code));
    } else {
        m_surface.printLine(m_options.margin + code.replace(CrLf, CrLf + m_options.margin));
    }

    if (!m_options.pageBreak) {
        m_surface.newPage();
    }
}

QString SnippetPrinter::WrapByCharacter(const QString& code) const
{
    const double wrapWidth = std::round(m_surface.pageWidth() * 0.7);
    QString wrapped;
    for (const QString& line : code.split(CrLf)) {
        wrapped += CrLf + m_options.margin;
        if (m_surface.textWidth(line) < wrapWidth) {
            wrapped += line;
            continue;
        }
        // Only a blank past the width breaks the line, so a line without blanks stays whole. A piece
        // that has grown too wide stays so as it grows, which spares measuring it again.
        qsizetype pieceStart = 0;
        bool tooWide = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            tooWide = tooWide || m_surface.textWidth(line.mid(pieceStart, i - pieceStart + 1)) > wrapWidth;
            if (tooWide && line.at(i) == u' ') {
                wrapped += u'_' + CrLf + m_options.margin;
                pieceStart = i;
                tooWide = false;
            } else {
                wrapped += line.at(i);
            }
        }
    }
    return wrapped.mid(2);
}
