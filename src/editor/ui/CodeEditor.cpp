#include "editor/ui/CodeEditor.h"

CodeEditor::CodeEditor(QWidget* parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(EolWindows);
    setEolVisibility(false);
    setMarginWidth(1, 0);
    setTabWidth(4);
    setScrollWidth(1);
    setScrollWidthTracking(true);
    setEditorFont(QStringLiteral("Monospace"), 10, false, false);
    connect(this, &QsciScintilla::textChanged, this, &CodeEditor::changed);
}

QColor CodeEditor::fromRgbValue(quint32 rgb)
{
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

quint32 CodeEditor::toRgbValue(const QColor& colour)
{
    return quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
}

void CodeEditor::setColourEntry(int entry, quint32 rgb)
{
    const QColor colour = fromRgbValue(rgb);
    m_colours.insert(entry, colour);
    switch (entry) {
    case Background:
        setPaper(colour);
        if (lexer() == nullptr) {
            SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, colour);
        }
        break;
    case Margins:
        setMarginsBackgroundColor(colour);
        setFoldMarginColors(colour, colour);
        break;
    case CaretLine:
        setCaretLineBackgroundColor(colour);
        break;
    default:
        break;
    }
}

QColor CodeEditor::colourEntry(int entry) const
{
    return m_colours.value(entry);
}

void CodeEditor::setEditorFont(const QString& name, int points, bool bold, bool italic)
{
    m_font = QFont(name, points);
    m_font.setStyleHint(QFont::TypeWriter);
    m_font.setBold(bold);
    m_font.setItalic(italic);
    setFont(m_font);
    setMarginsFont(m_font);
}
