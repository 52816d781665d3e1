#include "export/ui/RichTextRenderer.h"

#include <algorithm>
#include <QHash>
#include <QList>
#include <Qsci/qsciscintilla.h>

namespace {

constexpr int DefaultStyle = 32; // STYLE_DEFAULT
constexpr long White = 0xFFFFFF;

// How one style of the editor looks; colours as Scintilla gives them, red in the low byte.
struct StyleLook
{
    long foreground = 0;
    long background = White;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

StyleLook lookOf(QsciScintilla& editor, int style)
{
    StyleLook look;
    look.foreground = editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style) & 0xFFFFFF;
    look.background = editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style) & 0xFFFFFF;
    look.bold = editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETBOLD, style) != 0;
    look.italic = editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETITALIC, style) != 0;
    look.underline = editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETUNDERLINE, style) != 0;
    return look;
}

QByteArray rtfColour(long bgr)
{
    return "\\red" + QByteArray::number(bgr & 0xFF) + "\\green" + QByteArray::number((bgr >> 8) & 0xFF) +
           "\\blue" + QByteArray::number((bgr >> 16) & 0xFF) + ';';
}

// Appends text to RTF: braces and backslashes escaped, tabs and line ends as control words, every
// character beyond ASCII as \uN (16-bit units, negative above 32767) with "?" for old readers.
class TextWriter
{
public:
    explicit TextWriter(QByteArray& out) : m_out(out) {}

    // Bytes of the editor's text; plain ASCII, the bulk of code, goes in without decoding.
    void append(QByteArrayView text, bool utf8)
    {
        for (const char c : text) {
            if (uchar(c) >= 0x80) {
                append(utf8 ? QString::fromUtf8(text) : QString::fromLatin1(text));
                return;
            }
        }
        // Characters without a control word go in as spans.
        const char* data = text.data();
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = data[i];
            if (c == '\r' || c == '\n' || c == '\t' || c == '\\' || c == '{' || c == '}') {
                plain(data + from, i - from);
                put(char16_t(c));
                from = i + 1;
            }
        }
        plain(data + from, text.size() - from);
    }

    void append(const QString& text)
    {
        for (const QChar c : text) {
            put(c.unicode());
        }
    }

private:
    void plain(const char* data, qsizetype size)
    {
        if (size > 0) {
            m_out.append(data, size);
            m_afterCr = false;
        }
    }

    void put(char16_t u)
    {
        if (u == u'\n' && m_afterCr) {
            m_afterCr = false;
            return;
        }
        m_afterCr = u == u'\r';
        switch (u) {
        case u'\r':
        case u'\n':
            m_out += "\\par\r\n";
            break;
        case u'\t':
            m_out += "\\tab ";
            break;
        case u'\\':
        case u'{':
        case u'}':
            m_out += '\\';
            m_out += char(u);
            break;
        default:
            if (u < 0x80) {
                m_out += char(u);
            } else {
                m_out += "\\u";
                m_out += QByteArray::number(qint16(u));
                m_out += '?';
            }
            break;
        }
    }

    QByteArray& m_out;
    bool m_afterCr = false;
};

} // namespace

QByteArray RichTextRenderer::toRtf(QsciScintilla& editor, bool lineEnd)
{
    return toRtf(editor, 0, editor.length(), lineEnd);
}

QByteArray RichTextRenderer::toRtf(QsciScintilla& editor, int start, int end, bool lineEnd)
{
    return *render(editor, start, end, lineEnd, RtfToHtml::Progress());
}

std::optional<QByteArray> RichTextRenderer::toRtf(QsciScintilla& editor, bool lineEnd,
                                                  const RtfToHtml::Progress& progress)
{
    return render(editor, 0, editor.length(), lineEnd, progress);
}

std::optional<QByteArray> RichTextRenderer::render(QsciScintilla& editor, int start, int end, bool lineEnd,
                                                   const RtfToHtml::Progress& progress)
{
    start = std::clamp(start, 0, editor.length());
    end = std::clamp(end, start, editor.length());
    if (!progress) {
        editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, start, end);
    }
    // A long text is styled a piece at a time, each from the start of the line where the last one
    // stopped, as the editor styles what it shows.
    for (int from = start, upTo = start; progress && upTo < end;) {
        upTo = std::min(end, upTo + 2 * ProgressBytes);
        editor.SendScintilla(QsciScintillaBase::SCI_COLOURISE, from, upTo);
        if (!progress()) {
            return std::nullopt;
        }
        const long styled = editor.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
        from =
            int(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                     editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, styled)));
    }
    // Scintilla's text range, which its header does not give: characters and styles in one call.
    struct TextRange
    {
        long cpMin;
        long cpMax;
        char* text;
    };
    QByteArray styled(2 * qsizetype(end - start) + 2, '\0');
    TextRange range{start, end, styled.data()};
    editor.SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, 0UL, &range);
    QByteArray bytes(end - start, Qt::Uninitialized);
    for (int i = 0; i < end - start; ++i) {
        bytes[i] = styled[2 * i];
    }
    auto styleAt = [&styled, start](int pos) { return int(uchar(styled[2 * (pos - start) + 1])); };

    // The runs of one style, and the colours they use; colour 0 of the table stays automatic.
    struct Run
    {
        int style;
        int start;
        int end;
    };
    QList<Run> runs;
    for (int pos = start; pos < end;) {
        const int style = styleAt(pos);
        int next = pos + 1;
        while (next < end && styleAt(next) == style) {
            ++next;
        }
        runs.append({style, pos, next});
        pos = next;
    }
    QHash<int, StyleLook> looks;
    QList<long> colours;
    auto colourIndex = [&colours](long bgr) {
        qsizetype index = colours.indexOf(bgr);
        if (index < 0) {
            colours.append(bgr);
            index = colours.size() - 1;
        }
        return int(index) + 1;
    };
    for (const Run& run : runs) {
        if (!looks.contains(run.style)) {
            looks.insert(run.style, lookOf(editor, run.style));
        }
    }

    const int fontStyle = runs.isEmpty() ? DefaultStyle : runs.first().style;
    // The font name is as long as the settings made it: ask for its length before taking it.
    const long fontLength =
        editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, (unsigned long)fontStyle, 0L);
    QByteArray fontName(std::max(0L, fontLength) + 1, '\0');
    editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, fontStyle, fontName.data());
    fontName.truncate(qstrnlen(fontName.constData(), fontName.size()));
    fontName.replace(';', ' ').replace('{', ' ').replace('}', ' ').replace('\\', ' ');
    const int points = std::max(1, int(editor.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, fontStyle)));
    // A tab stop in twips, for characters of a fixed-pitch font, 0.6 em wide.
    const long tabTwips = std::lround(editor.tabWidth() * points * 0.6 * 20);

    QByteArray body;
    // About what the text takes with its groups; growing a large page step by step costs more.
    body.reserve(bytes.size() + bytes.size() / 4 + 64);
    TextWriter writer(body);
    const bool utf8 = editor.isUtf8();
    // The opening of each style's groups, made at its first run, when its colours get their places.
    QHash<int, QByteArray> openings;
    qsizetype nextProgress = ProgressBytes;
    for (const Run& run : runs) {
        if (progress && run.start - start >= nextProgress) {
            if (!progress()) {
                return std::nullopt;
            }
            nextProgress = run.start - start + ProgressBytes;
        }
        auto opening = openings.constFind(run.style);
        if (opening == openings.constEnd()) {
            const StyleLook& look = looks[run.style];
            QByteArray group = "{\\cf" + QByteArray::number(colourIndex(look.foreground));
            if (look.background != White) {
                group += "\\cb" + QByteArray::number(colourIndex(look.background));
            }
            group += look.bold ? "\\b" : "";
            group += look.italic ? "\\i" : "";
            group += look.underline ? "\\ul" : "";
            group += ' ';
            opening = openings.insert(run.style, group);
        }
        body += *opening;
        writer.append(QByteArrayView(bytes.constData() + run.start - start, run.end - run.start), utf8);
        body += '}';
    }
    if (lineEnd) {
        body += "\\par\r\n";
    }

    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern " + fontName.trimmed() +
                     ";}}\r\n{\\colortbl ;";
    for (const long bgr : colours) {
        rtf += rtfColour(bgr);
    }
    rtf += "}\r\n\\deftab" + QByteArray::number(qint64(tabTwips)) + "\\f0\\fs" +
           QByteArray::number(points * 2) + ' ';
    rtf += body;
    rtf += '}';
    return rtf;
}
