#include "editor/MacroSlots.h"
#include "gui/CodeEditor.h"
#include "library/ui/TreeController.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QTest>

namespace {

const QString Lines = QStringLiteral("b\r\n-- a\r\nc");
const QString OtherLines = QStringLiteral("z\r\n-- y\r\nx\r\nw");

// SQL snippets "s" and "t" with their code, and "u" with the code of "t".
MainWindow& openLibrary(WindowFixture& f, const QString& recorded, const QString& replayed)
{
    const QString sql = QStringLiteral("SQL");
    const QString category = QStringLiteral("C");
    f.writeLibrary({WindowFixture::record(sql, category, QStringLiteral("s"), QString(), recorded),
                    WindowFixture::record(sql, category, QStringLiteral("t"), QString(), replayed),
                    WindowFixture::record(sql, category, QStringLiteral("u"), QString(), replayed)});
    return f.open();
}

void show(WindowFixture& f, const char* title)
{
    f.tree()->setCurrentItem(f.node(QLatin1String(title)));
}

void trigger(WindowFixture& f, const char* name)
{
    QAction* action = f.find<QAction>(name);
    QVERIFY2(action, name);
    action->trigger();
}

QString shownCode(MainWindow& w)
{
    return w.workspace().codeArray[size_t(w.treeController().Selection())].Code.toString();
}

} // namespace

class MacroReplayTest : public QObject
{
    Q_OBJECT

private slots:
    void lineCommands_replayAsCommandsOnTheSnippetOpenAtReplay_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("sort ascending") << QStringLiteral("mnuCMSortA");
        QTest::newRow("sort descending") << QStringLiteral("mnuCMSortD");
        QTest::newRow("comment") << QStringLiteral("mnuCMComment");
        QTest::newRow("uncomment") << QStringLiteral("mnuCMUncomment");
    }

    void lineCommands_replayAsCommandsOnTheSnippetOpenAtReplay()
    {
        QFETCH(QString, command);
        const QByteArray name = command.toLatin1();
        WindowFixture f;
        MainWindow& w = openLibrary(f, Lines, OtherLines);
        auto* editor = f.find<CodeEditor>("txtCode");
        show(f, "s");
        trigger(f, "mnuRecordMacro");
        editor->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
        trigger(f, name.constData());
        trigger(f, "mnuRecordMacro");
        const QString recordedResult = editor->text();
        QVERIFY(recordedResult != Lines);

        // The command run by hand on "u" is what the macro must do on "t".
        show(f, "u");
        editor->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
        trigger(f, name.constData());
        const QString expected = editor->text();
        QVERIFY(expected != OtherLines);

        show(f, "t");
        trigger(f, "mnuPlayMacro0");
        QCOMPARE(editor->text(), expected);
        QCOMPARE(shownCode(w), expected);
        QVERIFY(editor->text() != recordedResult);
    }

    void replayedTyping_capitalisesKeywordsAsTypingDoes()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f, QString(), QString());
        auto* editor = f.find<CodeEditor>("txtCode");
        show(f, "s");
        trigger(f, "mnuRecordMacro");
        QTest::keyClicks(editor, QStringLiteral("select x from t"));
        trigger(f, "mnuRecordMacro");
        QCOMPARE(editor->text(), QStringLiteral("SELECT x FROM t"));

        show(f, "t");
        trigger(f, "mnuPlayMacro0");
        QCOMPARE(editor->text(), QStringLiteral("SELECT x FROM t"));
        QCOMPARE(shownCode(w), QStringLiteral("SELECT x FROM t"));
    }

    void slotOfTheOlderForm_stillReplays()
    {
        WindowFixture f;
        {
            SettingsStore settings = f.settings();
            // Typed "yz" as the editor's own macro text records it.
            settings.saveIn(QLatin1String(MacroSlots::Group), MacroSlots::key(3),
                            QStringLiteral("2170 0 2 yz\\00"));
            settings.sync();
        }
        MainWindow& w = openLibrary(f, QString(), QStringLiteral("a"));
        show(f, "t");
        f.find<CodeEditor>("txtCode")->setCursorPosition(0, 1);
        trigger(f, "mnuPlayMacro3");
        QCOMPARE(shownCode(w), QStringLiteral("ayz"));
    }

    void recordedCommand_isKeptAcrossARestart()
    {
        WindowFixture f;
        MainWindow& w = openLibrary(f, Lines, OtherLines);
        auto* editor = f.find<CodeEditor>("txtCode");
        show(f, "s");
        trigger(f, "mnuRecordMacro");
        editor->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
        trigger(f, "mnuCMSortA");
        trigger(f, "mnuRecordMacro");
        Prompts::queueAnswer(Prompts::Answer::No);
        QVERIFY(w.close());
        f.closeWindow();

        MainWindow& again = f.open();
        show(f, "t");
        trigger(f, "mnuPlayMacro0");
        QCOMPARE(shownCode(again), QStringLiteral("-- y\r\nw\r\nx\r\nz"));
    }
};

QTEST_MAIN(MacroReplayTest)
#include "tst_macro_replay.moc"
