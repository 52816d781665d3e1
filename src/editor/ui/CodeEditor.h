#pragma once

#include <Qsci/qsciscintilla.h>

#include <QColor>

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

    explicit CodeEditor(QWidget* parent = nullptr);

    // Sets a colour table entry from a 32-bit RGB value with red in the low byte.
    void setColourEntry(int entry, quint32 rgb);
    QColor colourEntry(int entry) const;

    // Font used for all text: name, size in points, bold, italic.
    void setEditorFont(const QString& name, int points, bool bold, bool italic);
    QFont editorFont() const { return m_font; }

    int lineCount() const { return lines(); }

    // Converts a colour between QColor and a 32-bit RGB value with red in the low byte.
    static QColor fromRgbValue(quint32 rgb);
    static quint32 toRgbValue(const QColor& colour);

signals:
    void changed();

private:
    QFont m_font;
    QHash<int, QColor> m_colours;
};
