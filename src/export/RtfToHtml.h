#pragma once

#include <QByteArrayView>
#include <QString>

// Our RTF-to-HTML converter: turns the editor's rich-text rendering into HTML for a page body.
class RtfToHtml
{
public:
    // A <pre> block showing the RTF's text with its colours, bold, italic and underline; the text is
    // escaped for HTML, and blanks, tabs and line breaks stay as they are. Reads groups, the font and
    // colour tables, \cf \cb \highlight \b \i \ul \plain \f \fs \par \line \tab \'hh, \uN with its
    // fallback, and escaped braces and backslashes; other control words and destinations are skipped.
    static QString convert(QByteArrayView rtf);

    // Reads rtfFile and writes its HTML (UTF-8) to htmlFile. The library and entry name the outside
    // converter the program once called; this one is built in, so they load nothing. False when the
    // RTF file cannot be read or the HTML file cannot be written.
    static bool ConvertRtfToHtml(const QString& rtfFile, const QString& htmlFile, const QString& library,
                                 const QString& entry);
};
