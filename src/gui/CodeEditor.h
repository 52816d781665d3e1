#pragma once

#include <memory>
#include <optional>
#include <QColor>
#include <Qsci/qsciscintilla.h>

class KeywordCase;

// The code view: QScintilla with the operations the rest of the program relies on.
// Text keeps CR LF line ends as given; changed() fires after every change, typed or set.
class CodeEditor : public QsciScintilla
{
    Q_OBJECT

public:
    // Colour table entries: 0 is the background, 1 the margins, 5 the line of the caret.
    enum ColourEntry
    {
        Background = 0,
        Margins = 1,
        CaretLine = 5
    };

    // Markers 20 to 27 colour whole lines; other markers are free for symbols in the left margin.
    static constexpr int FirstLineColourMarker = 20;
    static constexpr int LineColourMarkers = 8;

    explicit CodeEditor(QWidget* parent = nullptr);

    // Sets a colour table entry from a 32-bit RGB value with red in the low byte.
    void setColourEntry(int entry, quint32 rgb);
    QColor colourEntry(int entry) const;

    // Font used for all text: name, size in points, bold, italic.
    void setEditorFont(const QString& name, int points, bool bold, bool italic);
    QFont editorFont() const { return m_font; }

    int lineCount() const { return lines(); }

    // The background colour of one line (counted from 0), over the editor's background.
    void setLineColour(int line, quint32 rgb);
    std::optional<quint32> lineColour(int line) const;
    void clearLineColours();

    // The left margin beside the text, and the line numbers.
    void setLeftMarginVisible(bool visible);
    bool isLeftMarginVisible() const { return m_leftMargin; }
    void setLineNumbersVisible(bool visible);
    bool lineNumbersVisible() const { return m_lineNumbers; }

    // Keyword case normalisation: while on, a keyword typed in another case takes its defined case.
    void setKeywordCase(std::shared_ptr<const KeywordCase> keywords);
    void setKeywordNormalisation(bool on) { m_normalise = on; }
    bool keywordNormalisation() const { return m_normalise; }

    // Rewrites every keyword of the text in its defined case, as one change; false when none differed.
    bool normaliseKeywords();

    // What typing a character does to the keyword before the caret; replayed typing calls it too.
    void keywordTyped(int character);

    // Converts a colour between QColor and a 32-bit RGB value with red in the low byte.
    static QColor fromRgbValue(quint32 rgb);
    static quint32 toRgbValue(const QColor& colour);

signals:
    void changed();

private:
    void replaceRange(int start, int end, const QString& text);
    void updateLineNumberWidth();
    int lineColourMarker(quint32 rgb);

    QFont m_font;
    QHash<int, QColor> m_colours;
    QList<quint32> m_markerColours; // the colour of each line-colour marker defined so far
    bool m_leftMargin = false;
    bool m_lineNumbers = false;
    bool m_normalise = false;
    std::shared_ptr<const KeywordCase> m_keywordCase;
};
