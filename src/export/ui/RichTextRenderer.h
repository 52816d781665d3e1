#pragma once

#include "export/RtfToHtml.h"

#include <optional>
#include <QByteArray>

class QsciScintilla;

// Renders an editor's text as RTF with the colours, bold, italic and underline of its current
// styling, as the lexer has coloured it.
class RichTextRenderer
{
public:
    // The text between the byte positions start and end; lineEnd adds one more line break at the end,
    // as a CR LF appended to the text would.
    static QByteArray toRtf(QsciScintilla& editor, int start, int end, bool lineEnd = false);

    // The whole text.
    static QByteArray toRtf(QsciScintilla& editor, bool lineEnd = false);

    // Every this many bytes of text written, a rendering with progress calls it.
    static constexpr int ProgressBytes = 32 * 1024;

    // The whole text, calling progress after the styling and every ProgressBytes; nothing when
    // progress stopped it.
    static std::optional<QByteArray> toRtf(QsciScintilla& editor, bool lineEnd,
                                           const RtfToHtml::Progress& progress);

private:
    static std::optional<QByteArray> render(QsciScintilla& editor, int start, int end, bool lineEnd,
                                            const RtfToHtml::Progress& progress);
};
