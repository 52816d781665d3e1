#include "editor/MacroSlots.h"
#include "editor/ui/EditorCommands.h"
#include "editor/ui/EditorController.h"
#include "editor/ui/FindReplaceDialog.h"
#include "editor/ui/MacroRecorder.h"
#include "gui/CodeEditor.h"
#include "gui/InstalledFonts.h"
#include "library/ui/TreeController.h"
#include "objects/ui/ViewerWindow.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

namespace {

void show(WindowFixture& f, const QString& text)
{
    QTreeWidgetItem* item = f.node(text);
    QVERIFY2(item, qPrintable(text));
    f.tree()->setCurrentItem(item);
}

void trigger(WindowFixture& f, const char* name)
{
    QAction* action = f.find<QAction>(name);
    QVERIFY2(action, name);
    action->trigger();
}

SnippetRecord& shownRecord(MainWindow& w)
{
    return w.workspace().codeArray[size_t(w.treeController().Selection())];
}

// A window showing one snippet of the language with the code.
MainWindow& openSnippet(WindowFixture& f, const QString& language, const QString& code)
{
    f.writeLibrary(
        {WindowFixture::record(language, QStringLiteral("C"), QStringLiteral("s"), QString(), code),
         WindowFixture::record(language, QStringLiteral("C"), QStringLiteral("t"))});
    MainWindow& w = f.open();
    show(f, QStringLiteral("s"));
    return w;
}

// The colour the hex view shows at a column of a line.
QColor colourAt(QTextEdit* view, int line, int column)
{
    const QTextBlock block = view->document()->findBlockByNumber(line);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + column + 1);
    return cursor.charFormat().foreground().color();
}

} // namespace

class EditorCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void contextMenu_listsTheCommandsInOrder()
    {
        WindowFixture f;
        openSnippet(f, QStringLiteral("SQL"), QStringLiteral("x"));
        auto* menu = f.find<QMenu>("mnuPopUpCodeMax");
        QVERIFY(menu);
        QStringList items;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                items << action->objectName() + QLatin1Char('=') + action->text();
            }
        }
        const QStringList expected = {
            QStringLiteral("mnuRemoveBookmark=&Remove Bookmark"),
            QStringLiteral("mnuCMCut=Cut"),
            QStringLiteral("mnuCMCopy=Copy"),
            QStringLiteral("mnuCMPaste=&Paste"),
            QStringLiteral("mnuCMFind=&Find .."),
            QStringLiteral("mnuCMReplace=&Replace .."),
            QStringLiteral("mnuCMUndo=U&ndo"),
            QStringLiteral("mnuCMRedo=&Redo"),
            QStringLiteral("mnuCMComment=&Comment"),
            QStringLiteral("mnuCMUncomment=UnCommen&t"),
            QStringLiteral("mnuCMLower=&LowerCase"),
            QStringLiteral("mnuCMUpper=&UpperCase"),
            QStringLiteral("mnuCMSortA=Sort &Ascending"),
            QStringLiteral("mnuCMSortD=Sort &Descending"),
            QStringLiteral("mnuCMInsert=Insert File .."),
            QStringLiteral("mnuCMHexView=&Hex View"),
            QStringLiteral("mnuCMPrintBW=Print Black && White"),
            QStringLiteral("mnuCMPrintColor=Print &Color"),
            QStringLiteral("mnuCMCopyRichText=Copy as &Rich Text"),
        };
        QCOMPARE(items, expected);
        QVERIFY(f.find<QAction>("mnuRemoveBookmark")->isEnabled()); // wired to the bookmark commands
    }

    void lineAndCaseCommands_changeTheTextAndTheRecord_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QList<int>>("selection");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("expected");
        const QString abc = QStringLiteral("b x\r\nA y\r\nc z");
        QTest::newRow("cut") << "SQL" << abc << QList<int>{0, 0, 0, 2} << QByteArray("mnuCMCut")
                             << QStringLiteral("x\r\nA y\r\nc z");
        QTest::newRow("comment") << "SQL" << abc << QList<int>{0, 1, 1, 1} << QByteArray("mnuCMComment")
                                 << QStringLiteral("--b x\r\n--A y\r\nc z");
        QTest::newRow("comment up to a line start")
            << "SQL" << abc << QList<int>{0, 0, 2, 0} << QByteArray("mnuCMComment")
            << QStringLiteral("--b x\r\n--A y\r\nc z");
        QTest::newRow("comment the caret line")
            << "Python" << abc << QList<int>{1, 2} << QByteArray("mnuCMComment")
            << QStringLiteral("b x\r\n#A y\r\nc z");
        QTest::newRow("comment with block markers")
            << "HTML" << QStringLiteral("<p>x</p>") << QList<int>{0, 0} << QByteArray("mnuCMComment")
            << QStringLiteral("<!--<p>x</p>-->");
        QTest::newRow("uncomment") << "Visual Basic" << QStringLiteral("'a\r\n  REM b\r\nc")
                                   << QList<int>{0, 0, 2, 1} << QByteArray("mnuCMUncomment")
                                   << QStringLiteral("a\r\n  b\r\nc");
        QTest::newRow("lower case") << "SQL" << abc << QList<int>{1, 0, 2, 1} << QByteArray("mnuCMLower")
                                    << QStringLiteral("b x\r\na y\r\nc z");
        QTest::newRow("upper case") << "SQL" << abc << QList<int>{0, 0, 0, 3} << QByteArray("mnuCMUpper")
                                    << QStringLiteral("B X\r\nA y\r\nc z");
        QTest::newRow("sort ascending") << "SQL" << abc << QList<int>{0, 0, 2, 3} << QByteArray("mnuCMSortA")
                                        << QStringLiteral("A y\r\nb x\r\nc z");
        QTest::newRow("sort descending") << "SQL" << abc << QList<int>{0, 1, 2, 1} << QByteArray("mnuCMSortD")
                                         << QStringLiteral("c z\r\nb x\r\nA y");
    }

    void lineAndCaseCommands_changeTheTextAndTheRecord()
    {
        QFETCH(QString, language);
        QFETCH(QString, code);
        QFETCH(QList<int>, selection);
        QFETCH(QByteArray, command);
        QFETCH(QString, expected);
        WindowFixture f;
        MainWindow& w = openSnippet(f, language, code);
        auto* editor = f.find<CodeEditor>("txtCode");
        if (selection.size() == 4) {
            editor->setSelection(selection[0], selection[1], selection[2], selection[3]);
        } else {
            editor->setCursorPosition(selection[0], selection[1]);
        }
        trigger(f, command.constData());
        QCOMPARE(editor->text(), expected);
        QCOMPARE(shownRecord(w).Code.toString(), expected);
        QVERIFY(w.workspace().CodeChanged);

        // One undo takes the whole command back, and redo does it again.
        trigger(f, "mnuCMUndo");
        QCOMPARE(editor->text(), code);
        QCOMPARE(shownRecord(w).Code.toString(), code);
        trigger(f, "mnuCMRedo");
        QCOMPARE(shownRecord(w).Code.toString(), expected);
    }

    void commandsThatChangeNothing_leaveTheLibraryUnchanged()
    {
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("SQL"), QStringLiteral("a\r\nb"));
        auto* editor = f.find<CodeEditor>("txtCode");
        editor->selectAll();
        trigger(f, "mnuCMUncomment");
        trigger(f, "mnuCMSortA");
        trigger(f, "mnuCMLower");
        trigger(f, "mnuCMCopy");
        QCOMPARE(editor->text(), QStringLiteral("a\r\nb"));
        QVERIFY(!w.workspace().CodeChanged);

        editor->setCursorPosition(1, 1);
        trigger(f, "mnuCMPaste");
        QCOMPARE(editor->text(), QStringLiteral("a\r\nba\r\nb"));
        QCOMPARE(shownRecord(w).Code.toString(), QStringLiteral("a\r\nba\r\nb"));
    }

    void comment_inAPlainLanguageSaysSo()
    {
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("Klingon"), QStringLiteral("x"));
        trigger(f, "mnuCMComment");
        QCOMPARE(f.find<CodeEditor>("txtCode")->text(), QStringLiteral("x"));
        QVERIFY(!w.workspace().CodeChanged);
    }

    void findAndReplace_workOnTheEditorText()
    {
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("SQL"), QStringLiteral("foo bar\r\nfoo FOO"));
        auto* editor = f.find<CodeEditor>("txtCode");
        editor->setCursorPosition(0, 0);
        trigger(f, "mnuCMFind");
        auto* dialog = w.findChild<FindReplaceDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("cmdReplaceAll"))->isVisible());
        dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QStringLiteral("foo"));
        QVERIFY(dialog->findNext());
        QCOMPARE(editor->selectedText(), QStringLiteral("foo"));
        QVERIFY(dialog->findNext());
        int line = -1;
        int index = -1;
        editor->getCursorPosition(&line, &index);
        QCOMPARE(line, 1);
        dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QStringLiteral("nothing"));
        QVERIFY(!dialog->findNext());
        QVERIFY(!w.workspace().CodeChanged);

        trigger(f, "mnuCMReplace");
        QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("cmdReplaceAll"))->isVisible());
        dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QStringLiteral("foo"));
        dialog->findChild<QLineEdit*>(QStringLiteral("txtReplace"))->setText(QStringLiteral("baz"));
        dialog->findChild<QCheckBox*>(QStringLiteral("chkMatchCase"))->setChecked(true);
        QCOMPARE(dialog->replaceAll(), 2);
        QCOMPARE(editor->text(), QStringLiteral("baz bar\r\nbaz FOO"));
        QCOMPARE(shownRecord(w).Code.toString(), editor->text());
        trigger(f, "mnuCMUndo");
        QCOMPARE(shownRecord(w).Code.toString(), QStringLiteral("foo bar\r\nfoo FOO"));

        editor->setCursorPosition(0, 0);
        dialog->findChild<QCheckBox*>(QStringLiteral("chkMatchCase"))->setChecked(false);
        QVERIFY(dialog->findNext());
        QVERIFY(dialog->replaceOne());
        QCOMPARE(editor->text(), QStringLiteral("baz bar\r\nfoo FOO"));
        QCOMPARE(editor->selectedText(), QStringLiteral("foo"));
        QCOMPARE(shownRecord(w).Code.toString(), editor->text());
    }

    void replaceAll_ofAnEmptyMatchMovesOn()
    {
        WindowFixture f;
        openSnippet(f, QStringLiteral("SQL"), QStringLiteral("ab"));
        trigger(f, "mnuCMReplace");
        auto* dialog = f.window().findChild<FindReplaceDialog*>();
        dialog->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QStringLiteral("x*"));
        dialog->findChild<QCheckBox*>(QStringLiteral("chkRegExp"))->setChecked(true);
        dialog->findChild<QLineEdit*>(QStringLiteral("txtReplace"))->setText(QStringLiteral("-"));
        // Each gap between characters matches once; the text's very end may or may not.
        const int count = dialog->replaceAll();
        QVERIFY(count == 2 || count == 3);
        QVERIFY(f.find<CodeEditor>("txtCode")->text().startsWith(QStringLiteral("-a-b")));
        QVERIFY(dialog->findNext());
    }

    void insertFile_putsTheFileAtTheSelection()
    {
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("SQL"), QStringLiteral("ab"));
        const QString path = f.folder() + QStringLiteral("/part.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("one\ntwo\xe9"); // LF line ends, Windows-1252
        file.close();
        auto* editor = f.find<CodeEditor>("txtCode");
        editor->setSelection(0, 1, 0, 2);

        trigger(f, "mnuCMInsert"); // cancelled
        QCOMPARE(editor->text(), QStringLiteral("ab"));
        Prompts::queueFile(path);
        trigger(f, "mnuCMInsert");
        const QString expected = QString::fromUtf16(u"aone\r\ntwo\u00e9b");
        QCOMPARE(editor->text(), expected);
        QCOMPARE(shownRecord(w).Code.toString(), expected);
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 2);
        QCOMPARE(history[1].title, QStringLiteral("Select File to Insert"));
        QCOMPARE(history[1].text, QStringLiteral("Text (*.txt)"));

        Prompts::queueFile(f.folder() + QStringLiteral("/missing.txt"));
        trigger(f, "mnuCMInsert");
        QCOMPARE(Prompts::takeHistory().last().title, QStringLiteral("Insert File"));
        QCOMPARE(editor->text(), expected);
    }

    void hexView_showsTheDumpInColour_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("nine characters")
            << QStringLiteral("ABCDEFGHI")
            << QStringList{QStringLiteral("000000 41 42 43 44 45 46 47 48  ABCDEFGH"),
                           QStringLiteral("000008 49                       I")};
        QTest::newRow("tab and line ends")
            << QStringLiteral("<\ta>\r\n&")
            << QStringList{QStringLiteral("000000 3C 09 61 3E 0D 0A 26     <.a>..&")};
    }

    void hexView_showsTheDumpInColour()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, lines);
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("SQL"), code);
        trigger(f, "mnuCMHexView");
        auto* viewer = w.findChild<ViewerWindow*>();
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(viewer->objectName(), QStringLiteral("frmViewer"));
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Zorbeth Hex Viewer"));
        QVERIFY(!viewer->picObjectDisplay()->isVisible());
        QTextEdit* text = viewer->txtObjectDisplay();
        QCOMPARE(text->document()->defaultFont().family(),
                 InstalledFonts::family(QStringLiteral("Courier New")));
        QCOMPARE(text->document()->defaultFont().pointSize(), 10);
        QCOMPARE(text->toPlainText(), lines.join(u'\n'));
        QCOMPARE(text->textCursor().position(), 0);
        QVERIFY(!text->textCursor().hasSelection());
        for (int line = 0; line < lines.size(); ++line) {
            QCOMPARE(colourAt(text, line, 0), QColor(Qt::blue));
            QCOMPARE(colourAt(text, line, 6), QColor(Qt::blue));
            QCOMPARE(colourAt(text, line, 7), QColor(Qt::red));
            QCOMPARE(colourAt(text, line, 29), QColor(Qt::red));
            QCOMPARE(colourAt(text, line, 30), QColor(Qt::black));
            QCOMPARE(colourAt(text, line, 32), QColor(Qt::black));
        }
        QVERIFY(!w.workspace().CodeChanged);
    }

    void print_handsTheTextToThePrinterInTheChosenMode()
    {
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("SQL"), QStringLiteral("select 1"));
        QStringList printed;
        w.findChild<EditorCommands*>()->setPrintFunction([&](CodeEditor& editor, bool colour, bool wrap) {
            printed << QStringLiteral("%1 %2 %3").arg(editor.text()).arg(colour).arg(wrap);
        });
        trigger(f, "mnuCMPrintBW");
        trigger(f, "mnuWordWrap");
        trigger(f, "mnuCMPrintColor");
        QCOMPARE(printed, QStringList({QStringLiteral("select 1 0 0"), QStringLiteral("select 1 1 1")}));
    }

    void keys_openFindAndReplaceAndPlayMacros()
    {
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("SQL"), QStringLiteral("x"));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* editor = f.find<CodeEditor>("txtCode");
        editor->setFocus();
        editor->setCursorPosition(0, 1);
        trigger(f, "mnuRecordMacro");
        QTest::keyClicks(editor, QStringLiteral("!"));
        trigger(f, "mnuRecordMacro");
        QTest::keyClick(editor, Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(editor->text(), QStringLiteral("x!!"));

        QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
        auto* dialog = w.findChild<FindReplaceDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->findChild<QLineEdit*>(QStringLiteral("txtReplace"))->isVisible());
        dialog->hide();
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->findChild<QLineEdit*>(QStringLiteral("txtReplace"))->isVisible());
    }

    void macros_surviveARestart_andClearEmptiesThem()
    {
        WindowFixture f;
        MainWindow& w = openSnippet(f, QStringLiteral("SQL"), QStringLiteral("x"));
        auto* editor = f.find<CodeEditor>("txtCode");
        editor->setCursorPosition(0, 1);
        trigger(f, "mnuRecordMacro");
        QVERIFY(f.find<QAction>("mnuRecordMacro")->isChecked());
        QTest::keyClicks(editor, QStringLiteral("yz"));
        trigger(f, "mnuRecordMacro");
        QVERIFY(!f.find<QAction>("mnuRecordMacro")->isChecked());
        QVERIFY(!w.findChild<MacroRecorder*>()->macroSlots().isEmpty(0));
        QVERIFY(f.find<QAction>("mnuPlayMacro0")->isEnabled());
        QCOMPARE(f.find<QAction>("mnuPlayMacro0")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+0")));

        show(f, QStringLiteral("t"));
        trigger(f, "mnuPlayMacro0");
        QCOMPARE(editor->text(), QStringLiteral("yz"));
        QCOMPARE(shownRecord(w).Code.toString(), QStringLiteral("yz"));
        QVERIFY(w.close());
        f.closeWindow();
        QVERIFY(!f.settings().getIn(QStringLiteral("Macros"), MacroSlots::key(0)).isEmpty());

        MainWindow& again = f.open();
        show(f, QStringLiteral("t"));
        f.find<CodeEditor>("txtCode")->setCursorPosition(0, 2);
        trigger(f, "mnuPlayMacro0");
        QCOMPARE(f.find<CodeEditor>("txtCode")->text(), QStringLiteral("yzyz"));
        trigger(f, "mnuClearMacro");
        QVERIFY(!f.find<QAction>("mnuPlayMacro0")->isEnabled());
        Prompts::queueAnswer(Prompts::Answer::No);
        QVERIFY(again.close());
        f.closeWindow();

        f.open();
        QVERIFY(f.window().findChild<MacroRecorder*>()->macroSlots().isEmpty(0));
    }
};

QTEST_MAIN(EditorCommandsTest)
#include "tst_editor_commands.moc"
