#pragma once

#include <functional>
#include <optional>
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

    // Called now and then during a long conversion, so a window can repaint; false stops it.
    using Progress = std::function<bool()>;
    // Every this many bytes of RTF read, the conversion calls its progress.
    static constexpr qsizetype ProgressBytes = 32 * 1024;

    // As above, calling progress every ProgressBytes; nothing when progress stopped it.
    static std::optional<QString> convert(QByteArrayView rtf, const Progress& progress);

    // Reads rtfFile and writes its HTML (UTF-8) to htmlFile. The library and entry name the outside
    // converter the program once called; this one is built in, so they load nothing. False when the
    // RTF file cannot be read or the HTML file cannot be written.
    static bool ConvertRtfToHtml(const QString& rtfFile, const QString& htmlFile, const QString& library,
                                 const QString& entry);

    // As above, calling progress during the conversion and before the HTML is written; false, and no
    // HTML file written, when progress stopped it. On a failure, error gets the cause and the file.
    static bool ConvertRtfToHtml(const QString& rtfFile, const QString& htmlFile, const QString& library,
                                 const QString& entry, const Progress& progress, QString* error = nullptr);
};
