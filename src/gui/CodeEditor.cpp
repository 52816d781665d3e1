#include "gui/CodeEditor.h"

#include "editor/KeywordCase.h"
#include "gui/InstalledFonts.h"

#include <Qsci/qscilexer.h>

namespace {

constexpr int NumbersMarginIndex = 0;
constexpr int LeftMarginIndex = 1;
constexpr int LeftMarginWidth = 16;
constexpr int FolderMask = int(0xFE000000);

int lineColourMask()
{
    return ((1 << CodeEditor::LineColourMarkers) - 1) << CodeEditor::FirstLineColourMarker;
}

bool isLineEnd(int character)
{
    return character == '\r' || character == '\n';
}

} // namespace

CodeEditor::CodeEditor(QWidget* parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(EolWindows);
    setEolVisibility(false);
    setTabWidth(4);
    setScrollWidth(1);
    setScrollWidthTracking(true);
    setEditorFont(QStringLiteral("Monospace"), 10, false, false);

    // Line colours are drawn behind the text, never as symbols in a margin.
    setMarginType(NumbersMarginIndex, NumberMargin);
    setMarginType(LeftMarginIndex, SymbolMargin);
    for (int margin = 0; margin < 5; ++margin) {
        setMarginMarkerMask(margin, margin == LeftMarginIndex ? ~FolderMask & ~lineColourMask() : 0);
    }
    setMarginWidth(NumbersMarginIndex, 0);
    setMarginWidth(LeftMarginIndex, 0);

    connect(this, &QsciScintilla::textChanged, this, &CodeEditor::changed);
    connect(this, &QsciScintillaBase::SCN_CHARADDED, this, &CodeEditor::keywordTyped);
    connect(this, &QsciScintilla::linesChanged, this, &CodeEditor::updateLineNumberWidth);
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
        } else {
            lexer()->setPaper(colour, -1);
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
    m_font = InstalledFonts::font(name, points);
    m_font.setBold(bold);
    m_font.setItalic(italic);
    setFont(m_font);
    setMarginsFont(m_font);
    updateLineNumberWidth();
}

int CodeEditor::lineColourMarker(quint32 rgb)
{
    const qsizetype known = m_markerColours.indexOf(rgb);
    if (known >= 0) {
        return FirstLineColourMarker + int(known);
    }
    // With every marker taken, the last one is given the new colour.
    const int index = int(std::min<qsizetype>(m_markerColours.size(), LineColourMarkers - 1));
    if (index == m_markerColours.size()) {
        m_markerColours.append(rgb);
    } else {
        m_markerColours[index] = rgb;
    }
    const int marker = FirstLineColourMarker + index;
    SendScintilla(SCI_MARKERDEFINE, marker, SC_MARK_BACKGROUND);
    SendScintilla(SCI_MARKERSETBACK, marker, fromRgbValue(rgb));
    return marker;
}

void CodeEditor::setLineColour(int line, quint32 rgb)
{
    const int marker = lineColourMarker(rgb);
    const int present = int(SendScintilla(SCI_MARKERGET, line)) & lineColourMask();
    for (int bit = FirstLineColourMarker; bit < FirstLineColourMarker + LineColourMarkers; ++bit) {
        if ((present & (1 << bit)) && bit != marker) {
            SendScintilla(SCI_MARKERDELETE, line, bit);
        }
    }
    if (!(present & (1 << marker))) {
        SendScintilla(SCI_MARKERADD, line, marker);
    }
}

std::optional<quint32> CodeEditor::lineColour(int line) const
{
    const int present = int(SendScintilla(SCI_MARKERGET, line)) & lineColourMask();
    for (int i = 0; i < m_markerColours.size(); ++i) {
        if (present & (1 << (FirstLineColourMarker + i))) {
            return m_markerColours[i];
        }
    }
    return std::nullopt;
}

void CodeEditor::clearLineColours()
{
    for (int i = 0; i < m_markerColours.size(); ++i) {
        SendScintilla(SCI_MARKERDELETEALL, FirstLineColourMarker + i);
    }
}

void CodeEditor::setLeftMarginVisible(bool visible)
{
    m_leftMargin = visible;
    setMarginWidth(LeftMarginIndex, visible ? LeftMarginWidth : 0);
}

void CodeEditor::setLineNumbersVisible(bool visible)
{
    m_lineNumbers = visible;
    setMarginLineNumbers(NumbersMarginIndex, visible);
    updateLineNumberWidth();
}

void CodeEditor::updateLineNumberWidth()
{
    if (!m_lineNumbers) {
        setMarginWidth(NumbersMarginIndex, 0);
        return;
    }
    // Room for one digit more than the last line number needs.
    setMarginWidth(NumbersMarginIndex, QString(QString::number(lines()).size() + 1, QLatin1Char('9')));
}

void CodeEditor::setKeywordCase(std::shared_ptr<const KeywordCase> keywords)
{
    m_keywordCase = std::move(keywords);
}

void CodeEditor::replaceRange(int start, int end, const QString& text)
{
    SendScintilla(SCI_SETTARGETRANGE, start, end);
    const QByteArray bytes = text.toUtf8();
    SendScintilla(SCI_REPLACETARGET, bytes.size(), bytes.constData());
}

void CodeEditor::keywordTyped(int character)
{
    if (!m_normalise || !m_keywordCase || m_keywordCase->isEmpty() || isReadOnly()) {
        return;
    }
    // Only a character that ends a word completes one.
    if (character > 0x7F || (!isLineEnd(character) && m_keywordCase->isWordChar(QChar(character)))) {
        return;
    }
    if (text(0, std::min(2, length())) == QLatin1String("..")) {
        return;
    }
    int wordEnd = 0;
    if (isLineEnd(character)) {
        int line = 0;
        int index = 0;
        getCursorPosition(&line, &index);
        if (line == 0) {
            return;
        }
        wordEnd = int(SendScintilla(SCI_GETLINEENDPOSITION, line - 1));
    } else {
        wordEnd = int(SendScintilla(SCI_GETCURRENTPOS)) - 1;
        if (wordEnd < 0 || int(SendScintilla(SCI_GETCHARAT, wordEnd)) != character) {
            return;
        }
    }
    // A short look back finds the word; only a keyword in another case needs the whole text before it.
    const QString tail = text(std::max(0, wordEnd - 256), wordEnd);
    qsizetype start = tail.size();
    while (start > 0 && m_keywordCase->isWordChar(tail[start - 1])) {
        --start;
    }
    if (m_keywordCase->canonical(QStringView(tail).mid(start)).isEmpty()) {
        return;
    }
    const QString before = text(0, wordEnd);
    const std::optional<KeywordCase::Replacement> rewrite =
        m_keywordCase->completedWord(before, before.size());
    if (!rewrite) {
        return;
    }
    const int wordStart =
        wordEnd - int(QStringView(before).mid(rewrite->start, rewrite->length).toUtf8().size());
    replaceRange(wordStart, wordEnd, rewrite->text);
}

bool CodeEditor::normaliseKeywords()
{
    if (!m_keywordCase || m_keywordCase->isEmpty()) {
        return false;
    }
    const QString old = text();
    const QString rewritten = m_keywordCase->capitalizeAll(old);
    if (rewritten == old) {
        return false;
    }
    // Only the stretch between the first and the last change is replaced, so the lines around it
    // keep their markers and the view does not jump.
    qsizetype head = 0;
    while (head < old.size() && old[head] == rewritten[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < old.size() - head && old[old.size() - 1 - tail] == rewritten[rewritten.size() - 1 - tail]) {
        ++tail;
    }
    const int start = int(QStringView(old).left(head).toUtf8().size());
    const int end = length() - int(QStringView(old).right(tail).toUtf8().size());
    replaceRange(start, end, rewritten.mid(head, rewritten.size() - head - tail));
    return true;
}
