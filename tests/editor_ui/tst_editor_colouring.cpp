#include "editor/ui/EditorController.h"
#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "gui/InstalledFonts.h"
#include "library/ui/TreeController.h"
#include "store/DateStamp.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <Qsci/qscilexer.h>
#include <QTest>
#include <QToolButton>

namespace {

constexpr quint32 Shaded = 235 | (235 << 8) | (235 << 16);
constexpr quint32 White = 0xFFFFFF;

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// A program folder seeded as usual, whose language definitions are only the given files.
void useDefinitions(WindowFixture& f, const QList<QPair<QString, QString>>& files)
{
    QVERIFY(ProgramFolder::seed(f.folder(), ProgramFolder::shippedDataFolder()));
    QDir folder(f.folder() + QStringLiteral("/language_def"));
    QVERIFY(folder.removeRecursively());
    QVERIFY(QDir().mkpath(folder.path()));
    for (const auto& [name, text] : files) {
        writeText(folder.filePath(name), text);
    }
}

QString definition(const QString& name, const QString& lexer, const QString& styles = {})
{
    return QStringLiteral("[Language]\nName = %1\nLexer = %2\nCaseSensitive = no\nLineComment = --\n"
                          "[Keywords]\nSELECT FROM\n[Styles]\n%3")
        .arg(name, lexer, styles);
}

void show(WindowFixture& f, const QString& text)
{
    QTreeWidgetItem* item = f.node(text);
    QVERIFY2(item, qPrintable(text));
    f.tree()->setCurrentItem(item);
    f.window().treeController().Tree_NodeClick(item);
}

void trigger(WindowFixture& f, const char* name)
{
    QAction* action = f.find<QAction>(name);
    QVERIFY2(action, name);
    action->trigger();
}

QList<int> lexerStyles(const QsciLexer* lexer)
{
    QList<int> styles;
    for (int style = 0; style < 256; ++style) {
        if (!lexer->description(style).isEmpty()) {
            styles << style;
        }
    }
    return styles;
}

SnippetRecord& shownRecord(MainWindow& w)
{
    return w.workspace().codeArray[size_t(w.treeController().Selection())];
}

} // namespace

class EditorColouringTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DateStamp::pin(QDateTime(QDate(2026, 5, 6), QTime(7, 8, 9))); }
    void cleanup() { DateStamp::pin(QDateTime()); }

    void loadLanguageList_readsDefaultFirstThenTheOthersByName()
    {
        WindowFixture f;
        useDefinitions(
            f, {
                   {QStringLiteral("DEFAULT.LNG"),
                    definition(QStringLiteral("Fallback"), QStringLiteral("none"))},
                   {QStringLiteral("b.lng"), definition(QStringLiteral("Beta"), QStringLiteral("sql"))},
                   {QStringLiteral("a.lng"), definition(QStringLiteral("Alpha"), QStringLiteral("sql"))},
                   {QStringLiteral("a2.lng"), definition(QStringLiteral("ALPHA"), QStringLiteral("cpp"))},
                   {QStringLiteral("notes.txt"), QStringLiteral("not a definition")},
               });
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("alpha"), QStringLiteral("C"), QStringLiteral("one")),
             WindowFixture::record(QStringLiteral("Gamma"), QStringLiteral("C"), QStringLiteral("two"))});
        MainWindow& w = f.open({}, false);
        auto* editor = w.findChild<EditorController*>();
        auto* code = f.find<CodeEditor>("txtCode");
        QVERIFY(Prompts::takeHistory().isEmpty());

        QStringList names;
        for (int i = 0; i < editor->languages().count(); ++i) {
            names << editor->languages().at(i).definition.name;
        }
        // DEFAULT.LNG is default.lng: element 0, and only once.
        QCOMPARE(names, QStringList({QStringLiteral("Fallback"), QStringLiteral("Alpha"),
                                     QStringLiteral("ALPHA"), QStringLiteral("Beta")}));

        // Names match in any case, and the first of two files that name the same language wins.
        show(f, QStringLiteral("one"));
        QCOMPARE(editor->activeIndex(), 1);
        QCOMPARE(QLatin1String(code->lexer()->lexer()), QLatin1String("sql"));
        show(f, QStringLiteral("two"));
        QCOMPARE(editor->activeIndex(), 0);
        QCOMPARE(code->lexer(), nullptr);
    }

    void applySyntax_takesTheLanguageOfCategoryAndLanguageNodes()
    {
        WindowFixture f;
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("Joins"), QStringLiteral("j")),
             WindowFixture::record(QStringLiteral("Python"), QStringLiteral("Files"), QStringLiteral("p"))});
        MainWindow& w = f.open();
        auto* editor = w.findChild<EditorController*>();
        show(f, QStringLiteral("Joins"));
        QCOMPARE(editor->activeDefinition().name, QStringLiteral("SQL"));
        show(f, QStringLiteral("Python"));
        QCOMPARE(editor->activeDefinition().name, QStringLiteral("Python"));
        // A language node that shows its child count still names its language.
        QTreeWidgetItem* sql = f.node(QStringLiteral("SQL"));
        sql->setText(0, QStringLiteral("SQL  (1)"));
        f.tree()->setCurrentItem(sql);
        w.treeController().Tree_NodeClick(sql);
        QCOMPARE(editor->activeDefinition().name, QStringLiteral("SQL"));
    }

    void damagedDefinition_isSkippedWithAMessage()
    {
        WindowFixture f;
        useDefinitions(
            f,
            {
                {QStringLiteral("default.lng"), definition(QStringLiteral("Plain"), QStringLiteral("none"))},
                {QStringLiteral("broken.lng"), QStringLiteral("[Language]\nName = X\nLexer = cobol\n")},
                {QStringLiteral("binary.lng"), QStringLiteral("MZ\u0000\u0001\u0002")},
                {QStringLiteral("sql.lng"), definition(QStringLiteral("SQL"), QStringLiteral("sql"))},
            });
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"))});
        MainWindow& w = f.open({}, false);
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].title, QStringLiteral("Load Language Definitions"));
        QCOMPARE(history[0].icon, Prompts::Icon::Exclamation);
        QVERIFY2(history[0].text.contains(QStringLiteral("broken.lng: line 3: unknown lexer \"cobol\"")),
                 qPrintable(history[0].text));
        QVERIFY(history[0].text.contains(QStringLiteral("binary.lng: not a text file")));
        auto* editor = w.findChild<EditorController*>();
        QCOMPARE(editor->languages().count(), 2);
        show(f, QStringLiteral("q"));
        QCOMPARE(editor->activeDefinition().name, QStringLiteral("SQL"));
    }

    void missingFolder_leavesAPlainEditor()
    {
        WindowFixture f;
        QVERIFY(ProgramFolder::seed(f.folder(), ProgramFolder::shippedDataFolder()));
        QVERIFY(QDir(f.folder() + QStringLiteral("/language_def")).removeRecursively());
        f.writeLibrary({WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"),
                                              QString(), QStringLiteral("select 1"))});
        MainWindow& w = f.open({}, false);
        QVERIFY(Prompts::takeHistory().isEmpty());
        auto* editor = w.findChild<EditorController*>();
        QCOMPARE(editor->languages().count(), 1);
        show(f, QStringLiteral("q"));
        QCOMPARE(f.find<CodeEditor>("txtCode")->lexer(), nullptr);
        QCOMPARE(f.find<CodeEditor>("txtCode")->text(), QStringLiteral("select 1"));
    }

    void colourSyntaxOff_blackensEveryStyle_andOnBringsTheFileColoursBack()
    {
        WindowFixture f;
        f.writeLibrary({WindowFixture::record(QStringLiteral("C++"), QStringLiteral("C"), QStringLiteral("c"),
                                              QString(), QStringLiteral("int x; // note"))});
        MainWindow& w = f.open();
        auto* code = f.find<CodeEditor>("txtCode");
        show(f, QStringLiteral("c"));
        QsciLexer* lexer = code->lexer();
        QVERIFY(lexer);
        const QColor keywordBlue(0, 0, 255);
        const QColor commentGreen(0, 128, 0);
        QCOMPARE(lexer->color(5), keywordBlue);  // the C++ lexer's keyword style
        QCOMPARE(lexer->color(2), commentGreen); // and its line comment

        trigger(f, "mnuColorSyntax");
        QVERIFY(!f.find<QAction>("mnuColorSyntax")->isChecked());
        lexer = code->lexer();
        for (int style : lexerStyles(lexer)) {
            QCOMPARE(lexer->color(style), QColor(Qt::black));
            QVERIFY(!lexer->font(style).bold() && !lexer->font(style).italic());
        }
        QCOMPARE(code->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, 5), 0L);
        trigger(f, "mnuColorSyntax");
        lexer = code->lexer();
        QCOMPARE(lexer->color(5), keywordBlue);
        QCOMPARE(code->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, 5), long(0xFF0000));
        QCOMPARE(lexer->color(2), commentGreen);
        QVERIFY(!w.workspace().CodeChanged);
    }

    void override_givesEveryStyleTheFontFlags_andOffRestoresTheFile()
    {
        WindowFixture f;
        useDefinitions(f,
                       {{QStringLiteral("demo.lng"),
                         definition(QStringLiteral("Demo"), QStringLiteral("cpp"),
                                    QStringLiteral("Keyword = #0000FF bold\nComment = #008000 italic\n"))}});
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("Demo"), QStringLiteral("C"), QStringLiteral("d"))});
        MainWindow& w = f.open({}, false);
        auto* code = f.find<CodeEditor>("txtCode");
        auto* status = f.find<QLabel>("StatusBar1");
        show(f, QStringLiteral("d"));
        QVERIFY(code->lexer()->font(5).bold());
        QVERIFY(code->lexer()->font(1).italic());

        trigger(f, "mnuOverrideLang");
        for (int style : lexerStyles(code->lexer())) {
            QVERIFY(!code->lexer()->font(style).bold() && !code->lexer()->font(style).italic());
        }
        w.findChild<EditorController*>()->lblFont_Click();
        QCOMPARE(status->text(), QStringLiteral("Bold:True    Italic:False"));
        for (int style : lexerStyles(code->lexer())) {
            QVERIFY(code->lexer()->font(style).bold());
            QVERIFY(!code->lexer()->font(style).italic());
            QCOMPARE(code->lexer()->font(style).family(),
                     InstalledFonts::family(QStringLiteral("Courier New")));
        }
        trigger(f, "mnuOverrideLang");
        QVERIFY(code->lexer()->font(5).bold());
        QVERIFY(!code->lexer()->font(5).italic());
        QVERIFY(code->lexer()->font(1).italic());
        QVERIFY(!code->lexer()->font(1).bold());
        QVERIFY(!code->lexer()->font(0).bold());
    }

    void lineColours_shadeEveryOtherLine_andOffLeavesThemPlain_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("lines");
        QTest::newRow("one line") << QStringLiteral("x") << 1;
        QTest::newRow("three lines") << QStringLiteral("a\r\nb\r\nc") << 3;
    }

    void lineColours_shadeEveryOtherLine_andOffLeavesThemPlain()
    {
        QFETCH(QString, code);
        QFETCH(int, lines);
        WindowFixture f;
        f.writeLibrary({WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"),
                                              QString(), code)});
        f.open();
        auto* editor = f.find<CodeEditor>("txtCode");
        show(f, QStringLiteral("q"));
        trigger(f, "mnuLineColors");
        QCOMPARE(editor->lineCount(), lines);
        for (int line = 0; line < lines; ++line) {
            QCOMPARE(editor->lineColour(line), std::optional<quint32>(line % 2 == 0 ? Shaded : White));
        }
        // Showing another node keeps the shading on the shown snippet.
        show(f, QStringLiteral("q"));
        QCOMPARE(editor->lineColour(0), std::optional<quint32>(Shaded));

        trigger(f, "mnuLineColors");
        for (int line = 0; line < lines; ++line) {
            QCOMPARE(editor->lineColour(line), std::nullopt);
        }
        QCOMPARE(editor->colourEntry(CodeEditor::Background), QColor(Qt::white));
    }

    void typing_writesACompletedKeywordInItsDefinedCase_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("keywords") << QString() << QStringLiteral("select a from t ")
                                  << QStringLiteral("SELECT a FROM t ");
        QTest::newRow("line end") << QString() << QStringLiteral("select\r") << QStringLiteral("SELECT\r\n");
        QTest::newRow("in a comment")
            << QString() << QStringLiteral("-- select ") << QStringLiteral("-- select ");
        QTest::newRow("in a string") << QString() << QStringLiteral("'select ") << QStringLiteral("'select ");
        QTest::newRow("after two dots")
            << QStringLiteral("..") << QStringLiteral("select ") << QStringLiteral("..select ");
    }

    void typing_writesACompletedKeywordInItsDefinedCase()
    {
        QFETCH(QString, code);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        WindowFixture f;
        f.writeLibrary({WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"),
                                              QString(), code)});
        MainWindow& w = f.open();
        auto* editor = f.find<CodeEditor>("txtCode");
        show(f, QStringLiteral("q"));
        editor->setCursorPosition(0, code.size());
        QTest::keyClicks(editor, typed);
        QCOMPARE(editor->text(), expected);
        QCOMPARE(shownRecord(w).Code.toString(), expected);
    }

    void typing_keepsTheCaseWhenCapitalisationIsOff()
    {
        WindowFixture f;
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"))});
        f.open();
        auto* editor = f.find<CodeEditor>("txtCode");
        show(f, QStringLiteral("q"));
        trigger(f, "mnuCapitalizeKeywords");
        QTest::keyClicks(editor, QStringLiteral("select "));
        QCOMPARE(editor->text(), QStringLiteral("select "));
        trigger(f, "mnuCapitalizeKeywords");
        QTest::keyClicks(editor, QStringLiteral("from "));
        // Switching on does not undo or redo what was typed before.
        QCOMPARE(editor->text(), QStringLiteral("select FROM "));
    }

    void capitalizeNow_rewritesTheWholeSnippet_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        QTest::newRow("keywords") << QStringLiteral("select a\r\nfrom t -- from")
                                  << QStringLiteral("SELECT a\r\nFROM t -- from");
        QTest::newRow("two dots too") << QStringLiteral("..select") << QStringLiteral("..SELECT");
        QTest::newRow("nothing to do") << QStringLiteral("SELECT a") << QStringLiteral("SELECT a");
    }

    void capitalizeNow_rewritesTheWholeSnippet()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        WindowFixture f;
        f.writeLibrary({WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"),
                                              QString(), code)});
        MainWindow& w = f.open();
        show(f, QStringLiteral("q"));
        trigger(f, "mnuCapitalizeNow");
        QCOMPARE(f.find<CodeEditor>("txtCode")->text(), expected);
        const bool changed = code != expected;
        QCOMPARE(w.workspace().CodeChanged, changed);
        QCOMPARE(shownRecord(w).Code.toString(), expected);
        QCOMPARE(shownRecord(w).Date,
                 changed ? QStringLiteral("2026-05-06 07:08:09") : QStringLiteral("2026-01-02 03:04:05"));
        QVERIFY(!w.workspace().UpdateInProgress);
    }

    void fontButton_cyclesFromAnyFontThroughBothFonts()
    {
        WindowFixture f;
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"))});
        f.settings().save(QStringLiteral("FontName"), QStringLiteral("Arial"));
        MainWindow& w = f.open();
        show(f, QStringLiteral("q"));
        auto* code = f.find<CodeEditor>("txtCode");
        auto* status = f.find<QLabel>("StatusBar1");
        QAction* button = f.find<CommandToolbar>("Toolbar1")->button(QStringLiteral("Font"));
        QVERIFY(button->isEnabled());
        const QStringList expected = {
            QStringLiteral("MS Sans Serif  8 pt"),  QStringLiteral("MS Sans Serif  10 pt"),
            QStringLiteral("MS Sans Serif  12 pt"), QStringLiteral("MS Sans Serif  16 pt"),
            QStringLiteral("Courier New  8 pt"),
        };
        for (const QString& text : expected) {
            button->trigger();
            QCOMPARE(status->text(), text);
            QCOMPARE(f.find<QToolButton>("lblFont")->text(), text);
        }
        QCOMPARE(code->editorFont().family(), InstalledFonts::family(QStringLiteral("Courier New")));
        QCOMPARE(code->editorFont().pointSize(), 8);
        // The editor shows what the lexer holds.
        QCOMPARE(code->lexer()->font(5).pointSize(), 8);
        QCOMPARE(int(code->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 5)), 8);
        QVERIFY(!w.workspace().UpdateInProgress);
        QVERIFY(!w.workspace().CodeChanged);
    }

    void lblFont_fourClicksBringTheFlagsBack()
    {
        WindowFixture f;
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"))});
        MainWindow& w = f.open();
        auto* editor = w.findChild<EditorController*>();
        auto* label = f.find<QToolButton>("lblFont");
        QStringList texts;
        for (int i = 0; i < 4; ++i) {
            label->click();
            texts << f.find<QLabel>("StatusBar1")->text();
        }
        QCOMPARE(texts, QStringList({QStringLiteral("Bold:True    Italic:False"),
                                     QStringLiteral("Bold:False    Italic:True"),
                                     QStringLiteral("Bold:True    Italic:True"),
                                     QStringLiteral("Bold:False    Italic:False")}));
        QVERIFY(!editor->fontBold() && !editor->fontItalic());
    }

    void selectFont2_takesTheChosenFont_andCancelChangesNothing()
    {
        WindowFixture f;
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"))});
        MainWindow& w = f.open();
        auto* editor = w.findChild<EditorController*>();
        show(f, QStringLiteral("q"));
        trigger(f, "mnuFont");
        QCOMPARE(editor->fontName(), QStringLiteral("Courier New"));

        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSizeF(10.5);
        chosen.setBold(true);
        chosen.setItalic(true);
        Prompts::queueFont(chosen);
        trigger(f, "mnuFont");
        QCOMPARE(editor->fontName(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(editor->fontSize(), 10);
        QVERIFY(editor->fontBold() && editor->fontItalic());
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("DejaVu Sans Mono  10 pt"));
        QCOMPARE(f.find<CodeEditor>("txtCode")->lexer()->font(0).family(),
                 QStringLiteral("DejaVu Sans Mono"));
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 2);
        QCOMPARE(history[0].answer, Prompts::Answer::Cancel);
    }

    void options_surviveARestart()
    {
        WindowFixture f;
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"))});
        {
            SettingsStore s = f.settings();
            s.save(QStringLiteral("Color14"), QStringLiteral("255"));
        }
        MainWindow& w = f.open();
        const QList<const char*> switches = {"mnuAutoIndent",        "mnuBraceMatching", "mnuLeftMargin",
                                             "mnuWhiteSpace",        "mnuExpandTAB",     "mnuLineNumbering",
                                             "mnuLineColors",        "mnuOverrideLang",  "mnuColorSyntax",
                                             "mnuCapitalizeKeywords"};
        for (const char* name : switches) {
            trigger(f, name);
        }
        trigger(f, "mnuWordWrap");
        QVERIFY(f.find<CommandToolbar>("Toolbar1")->button(QStringLiteral("WordWrap"))->isChecked());
        Prompts::queueColour(QColor(10, 20, 30));
        trigger(f, "mnuColorS");
        Prompts::queueColour(QColor());
        QVERIFY(w.close());
        f.closeWindow();

        SettingsStore stored = f.settings();
        QCOMPARE(stored.get(QStringLiteral("AutoIndent")), QStringLiteral("True"));
        QCOMPARE(stored.get(QStringLiteral("ColorSyntax")), QStringLiteral("False"));
        QCOMPARE(stored.get(QStringLiteral("WordWrap")), QStringLiteral("1"));
        QCOMPARE(stored.get(QStringLiteral("BColor")), QString::number(10 | (20 << 8) | (30 << 16)));
        // The colours are written under the names they are read from.
        QCOMPARE(stored.get(QStringLiteral("Color14")), QStringLiteral("255"));
        QCOMPARE(stored.get(QStringLiteral("Color15")), QString::number(0x008000));

        f.open();
        for (const char* name : switches) {
            const bool defaultOn =
                QByteArray(name) == "mnuColorSyntax" || QByteArray(name) == "mnuCapitalizeKeywords";
            QCOMPARE(f.find<QAction>(name)->isChecked(), !defaultOn);
        }
        QVERIFY(f.find<QAction>("mnuWordWrap")->isChecked());
        auto* code = f.find<CodeEditor>("txtCode");
        QVERIFY(code->autoIndent());
        QVERIFY(code->isLeftMarginVisible());
        QVERIFY(code->lineNumbersVisible());
        QCOMPARE(code->whitespaceVisibility(), QsciScintilla::WsVisible);
        QVERIFY(!code->indentationsUseTabs());
        QCOMPARE(code->colourEntry(CodeEditor::Background), QColor(10, 20, 30));
        QCOMPARE(f.find<QLineEdit>("txtTitle")->palette().color(QPalette::Base), QColor(10, 20, 30));
        // The search and comparison views take it too.
        for (const char* name : {"cmbSearch", "lstResults", "lstRemote"}) {
            QCOMPARE(f.find<QWidget>(name)->palette().color(QPalette::Base), QColor(10, 20, 30));
        }
        QCOMPARE(f.find<CodeEditor>("txtRemote")->colourEntry(CodeEditor::Background), QColor(10, 20, 30));
    }

    void switchDisplayOptions_setsAllSevenOnAndOff()
    {
        WindowFixture f;
        f.writeLibrary({WindowFixture::record(QStringLiteral("SQL"), QStringLiteral("C"), QStringLiteral("q"),
                                              QString(), QStringLiteral("a\r\nb"))});
        MainWindow& w = f.open();
        show(f, QStringLiteral("q"));
        auto* code = f.find<CodeEditor>("txtCode");
        const QList<const char*> items = {"mnuAutoIndent", "mnuBraceMatching", "mnuLeftMargin",
                                          "mnuWhiteSpace", "mnuExpandTAB",     "mnuLineNumbering",
                                          "mnuLineColors"};
        trigger(f, "mnuLineNumbering");
        w.findChild<EditorController*>()->switchDisplayOptions(true);
        for (const char* name : items) {
            QVERIFY2(f.find<QAction>(name)->isChecked(), name);
        }
        QVERIFY(code->autoIndent() && code->isLeftMarginVisible() && code->lineNumbersVisible());
        QCOMPARE(code->braceMatching(), QsciScintilla::SloppyBraceMatch);
        QCOMPARE(code->lineColour(0), std::optional<quint32>(Shaded));
        w.findChild<EditorController*>()->switchDisplayOptions(false);
        for (const char* name : items) {
            QVERIFY2(!f.find<QAction>(name)->isChecked(), name);
        }
        QVERIFY(!code->autoIndent() && !code->isLeftMarginVisible() && !code->lineNumbersVisible());
        QVERIFY(code->indentationsUseTabs());
        QCOMPARE(code->whitespaceVisibility(), QsciScintilla::WsInvisible);
        QCOMPARE(code->lineColour(0), std::nullopt);
    }

    void keywordColour_fromTheSettingsColoursDefinitionsWithoutOne()
    {
        WindowFixture f;
        useDefinitions(f,
                       {{QStringLiteral("demo.lng"), definition(QStringLiteral("Demo"), QStringLiteral("cpp"),
                                                                QStringLiteral("Default = #000000\n"))}});
        f.writeLibrary(
            {WindowFixture::record(QStringLiteral("Demo"), QStringLiteral("C"), QStringLiteral("d"))});
        {
            SettingsStore s = f.settings();
            s.save(QStringLiteral("Color14"), QString::number(0x0000FF));
        }
        f.open({}, false);
        show(f, QStringLiteral("d"));
        QCOMPARE(f.find<CodeEditor>("txtCode")->lexer()->color(5), QColor(255, 0, 0));
        QCOMPARE(f.find<CodeEditor>("txtCode")->lexer()->color(1), QColor(0, 128, 0));
    }
};

QTEST_MAIN(EditorColouringTest)
#include "tst_editor_colouring.moc"
