#pragma once

#include "editor/ui/LanguageList.h"
#include "gui/SettingsClient.h"

#include <QObject>
#include <QPointer>

class CodeEditor;
class EditorCommands;
class MacroRecorder;
class QAction;
class QsciLexer;
class QToolButton;
class QWidget;
struct WindowContext;

// Language definitions, colouring, editor options, commands, macros and fonts of the code editor.
class EditorController : public QObject, public SettingsClient
{
    Q_OBJECT

public:
    explicit EditorController(WindowContext& context, QObject* parent = nullptr);
    ~EditorController() override;

    // Reads the definitions of "language_def" afresh and registers them.
    void LoadLanguageList();

    // Shades every other line of a shown snippet, or takes the shading off.
    void AlternatingLineColors();

    // Gives the background colour to the snippet views, the lists and both code editors.
    void SetColors();

    // Other panels' views that take the background colour as well; the shell names them.
    void addColouredView(QWidget& view);
    void addColouredEditor(CodeEditor& editor);

    // The option items of "&Editor"; each runs after its check mark has flipped.
    void mnuAutoIndent_Click();
    void mnuBraceMatching_Click();
    void mnuLeftMargin_Click();
    void mnuWhiteSpace_Click();
    void mnuExpandTAB_Click();
    void mnuLineNumbering_Click();
    void mnuLineColors_Click();
    void mnuColorSyntax_Click();
    void mnuOverrideLang_Click();
    void mnuCapitalizeKeywords_Click();
    void mnuWordWrap_Click();

    // Asks for the background colour.
    void mnuColorS_Click();

    // Writes every keyword of the shown snippet in its defined case.
    void mnuCapitalizeNow_Click();

    // The quick font cycle, the font dialog, and the bold and italic cycle of the override.
    void SelectFont();
    void SelectFont2();
    void lblFont_Click();

    // The definitions, and the one the editor shows now.
    const LanguageList& languages() const { return m_languages; }
    int activeIndex() const { return m_active; }
    const LanguageDefinition& activeDefinition() const { return m_languages.at(m_active).definition; }

    // Word wrap as the menu and the toolbar button show it; printing reads it.
    bool wordWrap() const;

    // The editor font as the options hold it.
    QString fontName() const { return m_fontName; }
    int fontSize() const { return m_fontSize; }
    bool fontBold() const { return m_bold; }
    bool fontItalic() const { return m_italic; }
    quint32 backgroundColour() const { return m_background; }

    EditorCommands& commands() const { return *m_commands; }
    MacroRecorder& macros() const { return *m_macros; }

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

public slots:
    // Chooses the definition for the selected node's language and applies the colouring options.
    void ApplySyntax();

    // Colours a second, read-only code view (the server code view) for language, as the main
    // editor is coloured for a snippet of that language. The view keeps a lexer of its own.
    void ApplySyntaxTo(CodeEditor& editor, const QString& language);

    // Switches the seven display options (auto-indent to line colours) all on or all off.
    void switchDisplayOptions(bool on);

private:
    QAction* addOption(const char* name, const QString& caption, void (EditorController::*handler)());
    void applyEditorOptions();
    LanguageList::Entry& prepareEntry(const QString& language);
    void configureEditor(LanguageList::Entry& entry);
    void applyPlain(CodeEditor& editor, const LanguageList::Entry& entry) const;
    void styleLexer(QsciLexer& lexer, const LanguageList::Entry& entry) const;
    void unregisterAll();
    bool snippetShown() const;
    QString selectedLanguage() const;
    void setEditorFontRegular();
    void updateFontLabel();

    WindowContext& m_context;
    CodeEditor& m_editor;
    QPointer<CodeEditor> m_editorAlive; // the window may destroy the editor before this controller
    LanguageList m_languages;
    int m_active = 0;

    QAction* m_mnuAutoIndent = nullptr;
    QAction* m_mnuBraceMatching = nullptr;
    QAction* m_mnuLeftMargin = nullptr;
    QAction* m_mnuWhiteSpace = nullptr;
    QAction* m_mnuExpandTAB = nullptr;
    QAction* m_mnuLineNumbering = nullptr;
    QAction* m_mnuLineColors = nullptr;
    QAction* m_mnuColorSyntax = nullptr;
    QAction* m_mnuOverrideLang = nullptr;
    QAction* m_mnuCapitalizeKeywords = nullptr;
    QAction* m_mnuWordWrap = nullptr;
    QToolButton* m_lblFont = nullptr;

    QString m_fontName = QStringLiteral("Courier New");
    int m_fontSize = 10;
    bool m_bold = false;
    bool m_italic = false;
    quint32 m_background = 0xFFFFFF;
    quint32 m_keywordColour = 0xFF0000;
    quint32 m_commentColour = 0x008000;

    // What the lexer of each entry was last set up with, so an unchanged one is not set up again.
    struct LexerSetup
    {
        int revision = -1;
        QString fontName;
        int fontSize = 0;
        quint32 background = 0;
        bool bold = false; // the editor font's, which plain text shows
        bool italic = false;
        bool operator==(const LexerSetup&) const = default;
    };
    QHash<const LanguageList::Entry*, LexerSetup> m_setups;
    const LanguageList::Entry* m_shown = nullptr; // the entry the editor was last set up for
    LexerSetup m_shownSetup;

    // The second view's own lexer (a lexer serves one editor), and what it was made for.
    QPointer<QsciLexer> m_secondLexer;
    const LanguageList::Entry* m_secondEntry = nullptr;
    LexerSetup m_secondSetup;

    EditorCommands* m_commands = nullptr;
    MacroRecorder* m_macros = nullptr;

    // The views SetColors colours: the snippet's own, then those the shell adds.
    QList<QPointer<QWidget>> m_colouredViews;
    QList<QPointer<CodeEditor>> m_colouredEditors;
};
