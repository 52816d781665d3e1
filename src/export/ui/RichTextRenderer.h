#pragma once

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
};
