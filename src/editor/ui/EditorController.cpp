#include "editor/ui/EditorController.h"

#include "editor/FontCycle.h"
#include "editor/ui/EditorCommands.h"
#include "editor/ui/MacroRecorder.h"
#include "editor/ui/SyntaxLexers.h"
#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/InstalledFonts.h"
#include "gui/Prompts.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "settings/AppSettings.h"
#include "store/DateStamp.h"
#include "store/PathNames.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <Qsci/qscilexer.h>
#include <QStatusBar>
#include <QToolButton>

namespace {

constexpr quint32 ShadedLine = 235 | (235 << 8) | (235 << 16);
constexpr quint32 WhiteLine = 255 | (255 << 8) | (255 << 16);

QFont styleFont(const QString& name, int points, int fontStyle)
{
    QFont font = InstalledFonts::font(name, points);
    font.setBold(fontStyle & 1);
    font.setItalic(fontStyle & 2);
    return font;
}

} // namespace

EditorController::EditorController(WindowContext& context, QObject* parent)
    : QObject(parent), m_context(context), m_editor(*context.views.txtCode),
      m_editorAlive(context.views.txtCode), m_colouredViews{context.views.txtTitle, context.views.txtKeywords,
                                                            context.views.txtObject, context.views.txtUpdate},
      m_colouredEditors{context.views.txtCode}
{
    QMenu* menu = m_context.menus.editorOptions;
    m_mnuAutoIndent = addOption("mnuAutoIndent", tr("&AutoIndent"), &EditorController::mnuAutoIndent_Click);
    m_mnuBraceMatching =
        addOption("mnuBraceMatching", tr("&Brace Matching"), &EditorController::mnuBraceMatching_Click);
    m_mnuLeftMargin =
        addOption("mnuLeftMargin", tr("Display Left &Margin"), &EditorController::mnuLeftMargin_Click);
    m_mnuWhiteSpace =
        addOption("mnuWhiteSpace", tr("Display &White Space"), &EditorController::mnuWhiteSpace_Click);
    m_mnuExpandTAB = addOption("mnuExpandTAB", tr("&Expand TAB"), &EditorController::mnuExpandTAB_Click);
    m_mnuLineNumbering =
        addOption("mnuLineNumbering", tr("&Line Numbering"), &EditorController::mnuLineNumbering_Click);
    m_mnuLineColors = addOption("mnuLineColors", tr("Line &Colors"), &EditorController::mnuLineColors_Click);
    menu->addSeparator();
    m_mnuColorSyntax =
        addOption("mnuColorSyntax", tr("Color &Syntax"), &EditorController::mnuColorSyntax_Click);
    m_mnuOverrideLang = addOption("mnuOverrideLang", tr("&Override Language Definition"),
                                  &EditorController::mnuOverrideLang_Click);
    m_mnuCapitalizeKeywords = addOption("mnuCapitalizeKeywords", tr("Ca&pitalize Keywords"),
                                        &EditorController::mnuCapitalizeKeywords_Click);
    QAction* now = menu->addAction(tr("Ca&pitalize Entire Snippet Now"), this,
                                   &EditorController::mnuCapitalizeNow_Click);
    now->setObjectName(QStringLiteral("mnuCapitalizeNow"));
    menu->addSeparator();
    QAction* colour = menu->addAction(tr("&Background Color"), this, &EditorController::mnuColorS_Click);
    colour->setObjectName(QStringLiteral("mnuColorS"));
    QAction* font = menu->addAction(tr("Select &Font"), this, &EditorController::SelectFont2);
    font->setObjectName(QStringLiteral("mnuFont"));
    m_mnuWordWrap = addOption("mnuWordWrap", tr("&Wordwrap"), &EditorController::mnuWordWrap_Click);
    m_mnuColorSyntax->setChecked(true);
    m_mnuCapitalizeKeywords->setChecked(true);

    m_lblFont = new QToolButton;
    m_lblFont->setObjectName(QStringLiteral("lblFont"));
    m_lblFont->setAutoRaise(true);
    m_lblFont->setToolTip(
        tr("Editor font: click to cycle bold and italic of the overridden language styles"));
    connect(m_lblFont, &QToolButton::clicked, this, &EditorController::lblFont_Click);
    if (auto* window = qobject_cast<QMainWindow*>(&m_context.window)) {
        window->statusBar()->addPermanentWidget(m_lblFont);
    } else {
        m_lblFont->setParent(&m_context.window);
    }
    updateFontLabel();

    m_context.toolbar.setCommand(QStringLiteral("Font"), [this] {
        m_context.ws.UpdateInProgress = true;
        SelectFont();
        m_context.ws.UpdateInProgress = false;
    });
    // The two-state button has already changed when its command runs: the menu follows it.
    m_context.toolbar.setCommand(QStringLiteral("WordWrap"), [this] {
        m_mnuWordWrap->setChecked(m_context.toolbar.button(QStringLiteral("WordWrap"))->isChecked());
    });

    m_commands = new EditorCommands(m_context, *this, this);
    m_macros = new MacroRecorder(m_context, *m_commands, this);

    m_context.startup.addSettingsClient(this);
    connect(&m_context.startup, &StartupController::loadingLists, this, &EditorController::LoadLanguageList);
    connect(&m_context.startup, &StartupController::preparingViews, this, &EditorController::SetColors);
    connect(&m_context.treeController, &TreeController::nodeShown, this, &EditorController::ApplySyntax);
}

EditorController::~EditorController()
{
    // The lexers die with the list; the editor, when it is still there, must not keep one.
    if (!m_editorAlive.isNull()) {
        m_editor.setLexer(nullptr);
    }
}

QAction* EditorController::addOption(const char* name, const QString& caption,
                                     void (EditorController::*handler)())
{
    QAction* action = m_context.menus.editorOptions->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

bool EditorController::snippetShown() const
{
    return LibraryTree::tag(m_context.tree.currentItem()) == LibraryTree::CodeTag;
}

// Language definitions and colouring

void EditorController::unregisterAll()
{
    m_editor.setLexer(nullptr);
    m_setups.clear();
    m_shown = nullptr;
    m_secondEntry = nullptr;
    m_languages.clear();
    m_active = 0;
}

void EditorController::LoadLanguageList()
{
    unregisterAll();
    const QString folder = MergePathData(m_context.ws.programFolder, QStringLiteral("language_def"));
    const QStringList problems = m_languages.load(folder, m_keywordColour, m_commentColour);
    if (!problems.isEmpty()) {
        Prompts::message(
            &m_context.window,
            QStringLiteral("These language definitions could not be read and were skipped:\n\n") +
                problems.join(u'\n'),
            QStringLiteral("Load Language Definitions"), Prompts::Icon::Exclamation);
    }
}

QString EditorController::selectedLanguage() const
{
    // The language node's key is the language's name; its text may carry a child count.
    const QTreeWidgetItem* node = m_context.tree.currentItem();
    const QString tag = LibraryTree::tag(node);
    if (tag == LibraryTree::CatTag) {
        node = node->parent();
    } else if (tag == LibraryTree::CodeTag) {
        node = node->parent() ? node->parent()->parent() : nullptr;
    } else if (tag != LibraryTree::LangTag) {
        node = nullptr;
    }
    return LibraryTree::key(node).toLower();
}

LanguageList::Entry& EditorController::prepareEntry(const QString& language)
{
    LanguageList::Entry& entry = m_languages.at(m_languages.find(language));
    // Without colouring every style is black and regular; the override then gives every style the
    // editor's bold and italic. Both change the shared definition until it is loaded again.
    std::optional<quint32> colour;
    std::optional<int> fontStyle;
    if (!m_mnuColorSyntax->isChecked()) {
        colour = 0;
        fontStyle = 0;
    }
    if (m_mnuOverrideLang->isChecked()) {
        fontStyle = FontCycle::overrideFontStyle(m_bold, m_italic);
    }
    LanguageList::setAllStyles(entry, colour, fontStyle);
    return entry;
}

void EditorController::ApplySyntax()
{
    if (m_mnuLineColors->isChecked()) {
        AlternatingLineColors();
    }
    const bool dotted = m_editor.text(0, std::min(2, m_editor.length())) == QLatin1String("..");
    m_editor.setKeywordNormalisation(!dotted && m_mnuCapitalizeKeywords->isChecked());

    m_active = m_languages.find(selectedLanguage());
    LanguageList::Entry& entry = prepareEntry(selectedLanguage());
    configureEditor(entry);
    m_editor.setKeywordCase(entry.keywordCase);
}

void EditorController::ApplySyntaxTo(CodeEditor& editor, const QString& language)
{
    const LanguageList::Entry& entry = prepareEntry(language.toLower());
    const QFont editorFont = m_editor.editorFont();
    const LexerSetup setup{entry.revision, m_fontName,        m_fontSize,
                           m_background,   editorFont.bold(), editorFont.italic()};
    if (m_secondEntry == &entry && m_secondSetup == setup && !m_secondLexer.isNull() &&
        editor.lexer() == m_secondLexer.data()) {
        return;
    }
    editor.setLexer(nullptr);
    delete m_secondLexer.data();
    m_secondEntry = &entry;
    m_secondSetup = setup;
    // Owned by the view, so it goes when the view goes.
    m_secondLexer = entry.lexer ? SyntaxLexers::create(entry.definition, &editor) : nullptr;
    if (m_secondLexer.isNull()) {
        applyPlain(editor, entry);
        return;
    }
    styleLexer(*m_secondLexer, entry);
    editor.setLexer(m_secondLexer.data());
}

void EditorController::applyPlain(CodeEditor& editor, const LanguageList::Entry& entry) const
{
    const QFont editorFont = m_editor.editorFont();
    const TokenStyle* plain = entry.definition.styleFor(TokenKind::Default);
    QFont font = styleFont(m_fontName, m_fontSize, plain ? plain->fontStyle : 0);
    font.setBold(font.bold() || editorFont.bold());
    font.setItalic(font.italic() || editorFont.italic());
    editor.setFont(font);
    editor.setColor(CodeEditor::fromRgbValue(plain ? plain->colour : 0));
    editor.setPaper(CodeEditor::fromRgbValue(m_background));
}

void EditorController::styleLexer(QsciLexer& lexer, const LanguageList::Entry& entry) const
{
    const QColor paper = CodeEditor::fromRgbValue(m_background);
    lexer.setDefaultPaper(paper);
    lexer.setDefaultFont(styleFont(m_fontName, m_fontSize, 0));
    for (const auto& [style, kind] : entry.lexerStyles) {
        const TokenStyle* look = entry.definition.styleFor(kind);
        lexer.setColor(CodeEditor::fromRgbValue(look ? look->colour : 0), style);
        lexer.setFont(styleFont(m_fontName, m_fontSize, look ? look->fontStyle : 0), style);
        lexer.setPaper(paper, style);
    }
}

void EditorController::configureEditor(LanguageList::Entry& entry)
{
    // A keystroke runs this too: an editor already set up for the entry is left alone.
    const QFont editorFont = m_editor.editorFont();
    const LexerSetup setup{entry.revision, m_fontName,        m_fontSize,
                           m_background,   editorFont.bold(), editorFont.italic()};
    QsciLexer* lexer = entry.lexer.get();
    if (m_shown == &entry && m_shownSetup == setup && m_editor.lexer() == lexer) {
        return;
    }
    m_shown = &entry;
    m_shownSetup = setup;
    if (lexer == nullptr) {
        if (m_editor.lexer() != nullptr) {
            m_editor.setLexer(nullptr);
        }
        applyPlain(m_editor, entry);
        return;
    }
    // Styles are set while the lexer is apart from the editor, which then takes them all at once.
    if (m_editor.lexer() != nullptr) {
        m_editor.setLexer(nullptr);
    }
    if (m_setups.value(&entry) != setup) {
        styleLexer(*lexer, entry);
        m_setups.insert(&entry, setup);
    }
    m_editor.setLexer(lexer);
}

void EditorController::mnuColorSyntax_Click()
{
    if (m_mnuColorSyntax->isChecked()) {
        // Reloading brings back the colours that switching off blackened.
        LoadLanguageList();
    }
    ApplySyntax();
}

void EditorController::mnuOverrideLang_Click()
{
    if (!m_mnuOverrideLang->isChecked()) {
        LoadLanguageList();
    }
    ApplySyntax();
}

void EditorController::mnuCapitalizeKeywords_Click()
{
    m_editor.setKeywordNormalisation(m_mnuCapitalizeKeywords->isChecked());
    ApplySyntax();
}

void EditorController::mnuCapitalizeNow_Click()
{
    if (!snippetShown()) {
        return;
    }
    const QString before = m_editor.text();
    const bool typing = m_editor.keywordNormalisation();
    m_editor.setKeywordNormalisation(true);
    // The record is written here, once, rather than by the change event.
    const bool guarded = m_context.ws.UpdateInProgress;
    m_context.ws.UpdateInProgress = true;
    m_editor.normaliseKeywords();
    m_context.ws.UpdateInProgress = guarded;
    m_editor.setKeywordNormalisation(typing);

    const QString after = m_editor.text();
    if (after == before) {
        return;
    }
    if (SnippetRecord* record = m_context.treeController.selectedRecord()) {
        record->Code = after;
        record->Date = DateStamp::now();
    }
    m_context.ws.CodeChanged = true;
    ApplySyntax();
}

// Display options

void EditorController::applyEditorOptions()
{
    m_editor.setAutoIndent(m_mnuAutoIndent->isChecked());
    m_editor.setBraceMatching(m_mnuBraceMatching->isChecked() ? QsciScintilla::SloppyBraceMatch
                                                              : QsciScintilla::NoBraceMatch);
    m_editor.setLeftMarginVisible(m_mnuLeftMargin->isChecked());
    m_editor.setWhitespaceVisibility(m_mnuWhiteSpace->isChecked() ? QsciScintilla::WsVisible
                                                                  : QsciScintilla::WsInvisible);
    m_editor.setIndentationsUseTabs(!m_mnuExpandTAB->isChecked());
    m_editor.setLineNumbersVisible(m_mnuLineNumbering->isChecked());
}

void EditorController::switchDisplayOptions(bool on)
{
    for (QAction* option : {m_mnuAutoIndent, m_mnuBraceMatching, m_mnuLeftMargin, m_mnuWhiteSpace,
                            m_mnuExpandTAB, m_mnuLineNumbering, m_mnuLineColors}) {
        option->setChecked(on);
    }
    applyEditorOptions();
    AlternatingLineColors();
}

void EditorController::mnuAutoIndent_Click()
{
    m_editor.setAutoIndent(m_mnuAutoIndent->isChecked());
}

void EditorController::mnuBraceMatching_Click()
{
    m_editor.setBraceMatching(m_mnuBraceMatching->isChecked() ? QsciScintilla::SloppyBraceMatch
                                                              : QsciScintilla::NoBraceMatch);
}

void EditorController::mnuLeftMargin_Click()
{
    m_editor.setLeftMarginVisible(m_mnuLeftMargin->isChecked());
}

void EditorController::mnuWhiteSpace_Click()
{
    m_editor.setWhitespaceVisibility(m_mnuWhiteSpace->isChecked() ? QsciScintilla::WsVisible
                                                                  : QsciScintilla::WsInvisible);
}

void EditorController::mnuExpandTAB_Click()
{
    m_editor.setIndentationsUseTabs(!m_mnuExpandTAB->isChecked());
}

void EditorController::mnuLineNumbering_Click()
{
    m_editor.setLineNumbersVisible(m_mnuLineNumbering->isChecked());
}

void EditorController::mnuLineColors_Click()
{
    AlternatingLineColors();
}

void EditorController::AlternatingLineColors()
{
    if (!snippetShown()) {
        return;
    }
    if (!m_mnuLineColors->isChecked()) {
        // Without shading every line shows the editor's background.
        m_editor.clearLineColours();
        return;
    }
    const int lines = m_editor.lineCount();
    for (int line = 0; line < lines; ++line) {
        m_editor.setLineColour(line, line % 2 == 0 ? ShadedLine : WhiteLine);
    }
}

void EditorController::mnuWordWrap_Click()
{
    if (QAction* button = m_context.toolbar.button(QStringLiteral("WordWrap"))) {
        button->setChecked(m_mnuWordWrap->isChecked());
    }
}

bool EditorController::wordWrap() const
{
    return m_mnuWordWrap->isChecked();
}

// Colours

void EditorController::mnuColorS_Click()
{
    const std::optional<QColor> chosen = Prompts::chooseColour(&m_context.window);
    if (!chosen) {
        return;
    }
    m_background = CodeEditor::toRgbValue(*chosen);
    SetColors();
}

void EditorController::addColouredView(QWidget& view)
{
    m_colouredViews.append(&view);
}

void EditorController::addColouredEditor(CodeEditor& editor)
{
    m_colouredEditors.append(&editor);
}

void EditorController::SetColors()
{
    const QColor colour = CodeEditor::fromRgbValue(m_background);
    for (QWidget* view : std::as_const(m_colouredViews)) {
        if (view) {
            QPalette palette = view->palette();
            palette.setColor(QPalette::Base, colour);
            view->setPalette(palette);
        }
    }
    for (CodeEditor* editor : std::as_const(m_colouredEditors)) {
        if (editor) {
            editor->setColourEntry(CodeEditor::Background, m_background);
        }
    }
}

// Fonts

void EditorController::setEditorFontRegular()
{
    m_editor.setEditorFont(m_fontName, m_fontSize, false, false);
}

void EditorController::SelectFont()
{
    const FontCycle::Font next = FontCycle::next(m_fontName, m_fontSize);
    m_fontName = next.name;
    m_fontSize = next.points;
    setEditorFontRegular();
    if (snippetShown()) {
        ApplySyntax();
    }
    m_context.status.setText(FontCycle::statusText(m_fontName, m_fontSize));
    updateFontLabel();
}

void EditorController::SelectFont2()
{
    const std::optional<QFont> chosen = Prompts::chooseFont(&m_context.window);
    if (!chosen || chosen->family().isEmpty()) {
        return;
    }
    m_fontName = chosen->family();
    m_fontSize = FontCycle::pointsFromTenths(qRound(chosen->pointSizeF() * 10));
    m_bold = chosen->bold();
    m_italic = chosen->italic();
    m_editor.setEditorFont(m_fontName, m_fontSize, m_bold, m_italic);
    ApplySyntax();
    m_context.status.setText(FontCycle::statusText(m_fontName, m_fontSize));
    updateFontLabel();
}

void EditorController::lblFont_Click()
{
    std::tie(m_bold, m_italic) = FontCycle::nextBoldItalic(m_bold, m_italic);
    m_context.status.setText(FontCycle::boldItalicText(m_bold, m_italic));
    ApplySyntax();
    updateFontLabel();
}

void EditorController::updateFontLabel()
{
    QString text = FontCycle::statusText(m_fontName, m_fontSize);
    if (m_bold) {
        text += tr("  bold");
    }
    if (m_italic) {
        text += tr("  italic");
    }
    m_lblFont->setText(text);
}

// Settings

void EditorController::applySettings(const AppSettings& settings)
{
    m_mnuAutoIndent->setChecked(settings.AutoIndent);
    m_mnuBraceMatching->setChecked(settings.BraceMatching);
    m_mnuLeftMargin->setChecked(settings.LeftMargin);
    m_mnuWhiteSpace->setChecked(settings.WhiteSpace);
    m_mnuExpandTAB->setChecked(settings.ExpandTABs);
    m_mnuLineNumbering->setChecked(settings.LineNumbering);
    m_mnuLineColors->setChecked(settings.LineColors);
    m_mnuOverrideLang->setChecked(settings.Override);
    m_mnuColorSyntax->setChecked(settings.ColorSyntax);
    m_mnuCapitalizeKeywords->setChecked(settings.CapitalizeKeywords);
    m_mnuWordWrap->setChecked(settings.WordWrap != 0);
    if (QAction* button = m_context.toolbar.button(QStringLiteral("WordWrap"))) {
        button->setChecked(settings.WordWrap != 0);
    }
    m_background = settings.BColor;
    m_keywordColour = settings.Color14;
    m_commentColour = settings.Color15;
    // A font without a name or a size keeps the one before.
    if (!settings.FontName.trimmed().isEmpty()) {
        m_fontName = settings.FontName;
    }
    if (settings.FontSize > 0) {
        m_fontSize = settings.FontSize;
    }
    m_bold = settings.FontBold;
    m_italic = settings.FontItalic;
    // Bold and italic act only through the override of the definition styles.
    setEditorFontRegular();
    applyEditorOptions();
    updateFontLabel();
}

void EditorController::collectSettings(AppSettings& settings) const
{
    settings.AutoIndent = m_mnuAutoIndent->isChecked();
    settings.BraceMatching = m_mnuBraceMatching->isChecked();
    settings.LeftMargin = m_mnuLeftMargin->isChecked();
    settings.WhiteSpace = m_mnuWhiteSpace->isChecked();
    settings.ExpandTABs = m_mnuExpandTAB->isChecked();
    settings.LineNumbering = m_mnuLineNumbering->isChecked();
    settings.LineColors = m_mnuLineColors->isChecked();
    settings.Override = m_mnuOverrideLang->isChecked();
    settings.ColorSyntax = m_mnuColorSyntax->isChecked();
    settings.CapitalizeKeywords = m_mnuCapitalizeKeywords->isChecked();
    const QAction* button = m_context.toolbar.button(QStringLiteral("WordWrap"));
    settings.WordWrap = (button ? button->isChecked() : m_mnuWordWrap->isChecked()) ? 1 : 0;
    settings.BColor = m_background;
    settings.Color14 = m_keywordColour;
    settings.Color15 = m_commentColour;
    settings.FontName = m_fontName;
    settings.FontSize = m_fontSize;
    settings.FontBold = m_bold;
    settings.FontItalic = m_italic;
}
