#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "library/LibraryFile.h"
#include "library/ui/TreeController.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using Answer = Prompts::Answer;

namespace {

CodeArray sampleLibrary()
{
    return {
        WindowFixture::record("SQL", "Strings", "Trim both ends", "text", "SELECT TRIM(x);"),
        WindowFixture::record("SQL", "Strings", "Pad left", "text bookmark", "SELECT LPAD(x, 5);"),
        WindowFixture::record("sql", "strings", "Upper case", "", "SELECT UPPER(x);"),
        WindowFixture::record("SQL", "Dates", "Today", "", "SELECT CURRENT_DATE;"),
        WindowFixture::record("HTML", "Forms", "Login form", "", "<form></form>"),
        WindowFixture::record("html", "Tables", "Striped table", "", "<table></table>"),
        WindowFixture::record("Bash", "Files", "Count lines", "", "wc -l file"),
    };
}

QTreeWidgetItem* snippetNode(LibraryTree* tree, const QString& title)
{
    tree->populateAll();
    const auto found = tree->findItems(title, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class LibraryWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void start_buildsSortedTreeWithCaseInsensitiveGroups()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        f.open();
        const QStringList expected = {
            QStringLiteral("Bash"),
            QStringLiteral("  Files"),
            QStringLiteral("    Count lines"),
            QStringLiteral("HTML"),
            QStringLiteral("  Forms"),
            QStringLiteral("    Login form"),
            QStringLiteral("  Tables"),
            QStringLiteral("    Striped table"),
            QStringLiteral("SQL"),
            QStringLiteral("  Dates"),
            QStringLiteral("    Today"),
            QStringLiteral("  Strings"),
            QStringLiteral("    Pad left"),
            QStringLiteral("    Trim both ends"),
            QStringLiteral("    Upper case"),
        };
        QCOMPARE(WindowFixture::outline(f.tree()), expected);

        // Keys and tags tie the nodes back to the records.
        QTreeWidgetItem* category = f.tree()->nodeByKey(QStringLiteral("SQL:::Strings"));
        QVERIFY(category);
        QCOMPARE(LibraryTree::tag(category), QStringLiteral("Cat"));
        QCOMPARE(LibraryTree::tag(category->parent()), QStringLiteral("Lang"));
        QVERIFY(category->font(0).bold());
        const Workspace& ws = f.window().workspace();
        for (int i = 0; i < category->childCount(); ++i) {
            QTreeWidgetItem* snippet = category->child(i);
            QCOMPARE(LibraryTree::tag(snippet), QStringLiteral("Code"));
            QVERIFY(!snippet->font(0).bold());
            const qsizetype index = LibraryTree::key(snippet).mid(1).toLongLong();
            QCOMPARE(ws.codeArray[size_t(index)].Title, snippet->text(0));
        }
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("Welcome to Zorbeth (not connected)"));
    }

    void fillTreeView_leavesOutDeletedRecordsAndEmptyCategories()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        MainWindow& w = f.open();
        for (SnippetRecord& r : w.workspace().codeArray) {
            if (r.Category == QLatin1String("Dates") || r.Title == QLatin1String("Login form")) {
                r.Deleted = true;
            }
        }
        w.treeController().FillTreeView();
        const QStringList lines = WindowFixture::outline(f.tree());
        QVERIFY(!lines.contains(QStringLiteral("  Dates")));
        QVERIFY(!lines.contains(QStringLiteral("  Forms")));
        QVERIFY(!lines.contains(QStringLiteral("    Login form")));
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("5 matching entries"));
        QCOMPARE(f.tree()->currentItem(), f.tree()->topLevelItem(0));
        QVERIFY(!w.workspace().ResultsInTree);
    }

    void nodeImages_showBookmarksAndLanguageIconsWhateverTheirCase()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        QDir(f.folder()).mkpath(QStringLiteral("language_icons"));
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(f.folder() + QStringLiteral("/language_icons/SQL.ico"), "ICO"));
        f.open({}, false);

        QCOMPARE(LibraryTree::image(f.tree()->nodeByKey(QStringLiteral("SQL"))), QStringLiteral("lang::sql"));
        QCOMPARE(LibraryTree::image(f.tree()->nodeByKey(QStringLiteral("Bash"))), QStringLiteral("close"));
        QCOMPARE(LibraryTree::image(snippetNode(f.tree(), QStringLiteral("Pad left"))),
                 QStringLiteral("marker"));
        QCOMPARE(LibraryTree::image(snippetNode(f.tree(), QStringLiteral("Today"))), QStringLiteral("form"));
    }

    void loadIcons_reportsAMissingFolderAndAnUnreadableIcon_data()
    {
        QTest::addColumn<QByteArray>("iconBytes");
        QTest::addColumn<QString>("expectedStart");
        QTest::newRow("missing folder") << QByteArray() << QStringLiteral("76 ");
        QTest::newRow("not an icon") << QByteArray("this is text") << QStringLiteral("481 ");
    }

    void loadIcons_reportsAMissingFolderAndAnUnreadableIcon()
    {
        QFETCH(QByteArray, iconBytes);
        QFETCH(QString, expectedStart);
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        QDir(f.folder() + QStringLiteral("/language_icons")).removeRecursively();
        if (!iconBytes.isEmpty()) {
            QDir(f.folder()).mkpath(QStringLiteral("language_icons"));
            QFile bad(f.folder() + QStringLiteral("/language_icons/bash.ico"));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(iconBytes);
        }
        f.open({}, false);
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].title, QStringLiteral("Load Icons"));
        QVERIFY2(history[0].text.startsWith(expectedStart), qPrintable(history[0].text));
        QCOMPARE(LibraryTree::image(f.tree()->nodeByKey(QStringLiteral("Bash"))), QStringLiteral("close"));
    }

    void nodeClick_showsSummariesReadOnly()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        MainWindow& w = f.open();
        auto* title = f.find<QLineEdit>("txtTitle");
        auto* keywords = f.find<QLineEdit>("txtKeywords");
        auto* code = f.find<CodeEditor>("txtCode");
        auto* toolbar = f.find<CommandToolbar>("Toolbar1");

        w.treeController().Tree_NodeClick(f.tree()->nodeByKey(QStringLiteral("SQL")));
        QCOMPARE(title->text(), QStringLiteral("Language:    SQL"));
        QCOMPARE(code->text(), QStringLiteral("2 categories\r\n4 snippets"));
        QVERIFY(code->isReadOnly());
        QVERIFY(title->isReadOnly());
        QVERIFY(!keywords->isEnabled());
        for (const char* box : {"txtKeywords", "txtUpdate", "txtObject"}) {
            QCOMPARE(f.find<QLineEdit>(box)->text(), QStringLiteral("n/a"));
        }
        QVERIFY(!toolbar->isWanted(QStringLiteral("Delete")));
        QVERIFY(toolbar->isWanted(QStringLiteral("Sort")));
        QVERIFY(!toolbar->isWanted(QStringLiteral("Copy")));

        w.treeController().Tree_NodeClick(f.tree()->nodeByKey(QStringLiteral("SQL:::Strings")));
        QCOMPARE(title->text(), QStringLiteral("Category:    SQL  ::::  Strings"));
        QCOMPARE(code->text(), QStringLiteral("3 snippets"));
        QVERIFY(toolbar->isWanted(QStringLiteral("Delete")));
        QVERIFY(!toolbar->isWanted(QStringLiteral("Bookmark")));
        QVERIFY(!w.workspace().CodeChanged);
    }

    void nodeClick_showsSnippetWithoutMarkingAChange()
    {
        WindowFixture f;
        CodeArray records = sampleLibrary();
        records[0].ObjectName = QStringLiteral("query.sql");
        records[0].Code = QStringLiteral("SELECT 1;\r\nSELECT 2;");
        f.writeLibrary(records);
        MainWindow& w = f.open();
        auto* code = f.find<CodeEditor>("txtCode");
        auto* toolbar = f.find<CommandToolbar>("Toolbar1");

        QTreeWidgetItem* trim = snippetNode(f.tree(), QStringLiteral("Trim both ends"));
        f.tree()->setCurrentItem(trim);
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Trim both ends"));
        QCOMPARE(f.find<QLineEdit>("txtKeywords")->text(), QStringLiteral("text"));
        QCOMPARE(f.find<QLineEdit>("txtUpdate")->text(), QStringLiteral("2026-01-02 03:04:05"));
        QCOMPARE(f.find<QLineEdit>("txtObject")->text(), QStringLiteral("query.sql"));
        QCOMPARE(code->text(), QStringLiteral("SELECT 1;\r\nSELECT 2;"));
        QVERIFY(!code->isReadOnly());
        QVERIFY(f.find<QLineEdit>("txtKeywords")->isEnabled());
        QVERIFY(toolbar->isWanted(QStringLiteral("Copy")));
        QVERIFY(!toolbar->isWanted(QStringLiteral("Sort")));
        QCOMPARE(w.treeController().Selection(), LibraryTree::key(trim).mid(1).toLongLong());

        f.tree()->setCurrentItem(snippetNode(f.tree(), QStringLiteral("Today")));
        QCOMPARE(f.find<QLineEdit>("txtObject")->text(), QStringLiteral("<no object>"));
        QVERIFY(!w.workspace().CodeChanged);
        QCOMPARE(w.workspace().codeArray[size_t(w.treeController().Selection())].Date,
                 QStringLiteral("2026-01-02 03:04:05"));
    }

    void mouseDown_anyButtonSelectsAndShowsTheNode()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        MainWindow& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        f.tree()->expandAll();
        QTreeWidgetItem* node = snippetNode(f.tree(), QStringLiteral("Count lines"));
        const QPoint at = f.tree()->visualItemRect(node).center();
        QTest::mouseClick(f.tree()->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(f.tree()->currentItem(), node);
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Count lines"));
        QCOMPARE(w.treeController().dragNode(), node);
    }

    void toolbar_hasEveryButtonInOrderAndOnlyBuiltCommandsEnabled()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        f.open();
        auto* toolbar = f.find<CommandToolbar>("Toolbar1");
        QStringList keys;
        for (QAction* action : toolbar->actions()) {
            keys << action->objectName();
        }
        QCOMPARE(keys, CommandToolbar::keys());
        QCOMPARE(keys.size(), 25);
        QCOMPARE(toolbar->button(QStringLiteral("Save"))->toolTip(), QStringLiteral("Save "));
        QVERIFY(toolbar->button(QStringLiteral("transfer"))->isCheckable());
        QVERIFY(!toolbar->button(QStringLiteral("Delete"))->isEnabled());
        toolbar->setAvailable(QStringLiteral("Delete"), true);
        QVERIFY(toolbar->button(QStringLiteral("Delete"))->isEnabled() ==
                toolbar->isWanted(QStringLiteral("Delete")));
    }

    void close_asksOnlyWhenChanged_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("expectClosed");
        QTest::addColumn<bool>("expectSaved");
        QTest::newRow("unchanged") << false << -1 << true << false;
        QTest::newRow("yes") << true << int(Answer::Yes) << true << true;
        QTest::newRow("no") << true << int(Answer::No) << true << false;
        QTest::newRow("cancel") << true << int(Answer::Cancel) << false << false;
    }

    void close_asksOnlyWhenChanged()
    {
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(bool, expectClosed);
        QFETCH(bool, expectSaved);
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        MainWindow& w = f.open();
        w.show();
        Prompts::takeHistory();
        if (changed) {
            w.workspace().codeArray[0].Title = QStringLiteral("Renamed");
            w.workspace().CodeChanged = true;
        }
        if (answer >= 0) {
            Prompts::queueAnswer(Answer(answer));
        }
        QCOMPARE(w.close(), expectClosed);

        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), changed ? 1 : 0);
        if (changed) {
            QCOMPARE(history[0].text, QStringLiteral("Save changes?"));
            QCOMPARE(history[0].title, QStringLiteral("Close Zorbeth"));
            QCOMPARE(history[0].icon, Prompts::Icon::Question);
        }
        const auto saved = DatabaseFile::read(f.libraryPath());
        const bool hasRenamed = std::any_of(saved.records.begin(), saved.records.end(),
                                            [](const SnippetRecord& r) { return r.Title == "Renamed"; });
        QCOMPARE(hasRenamed, expectSaved);
        QCOMPARE(w.workspace().CodeChanged,
                 changed && !expectSaved && !expectClosed ? true : w.workspace().CodeChanged);
    }

    void close_withAutoSaveSavesSilently()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        MainWindow& w = f.open();
        f.find<QAction>("mnuAutoSave")->setChecked(true);
        w.workspace().codeArray[0].Title = QStringLiteral("Renamed");
        w.workspace().CodeChanged = true;
        Prompts::takeHistory();
        QVERIFY(w.close());
        QVERIFY(Prompts::takeHistory().isEmpty());
        const auto saved = DatabaseFile::read(f.libraryPath());
        QCOMPARE(saved.records[0].Title, QStringLiteral("Renamed"));
        QVERIFY(f.settings().getBool(QStringLiteral("AutoSave"), false));
    }

    void close_keepsTheWindowWhenTheSaveFails()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        MainWindow& w = f.open();
        w.show();
        // A folder where the library file should be makes every save fail.
        w.workspace().databaseFileName = QStringLiteral("missing-folder/zorbeth.txt");
        w.workspace().CodeChanged = true;
        Prompts::takeHistory();
        Prompts::queueAnswer(Answer::Yes);
        Prompts::queueAnswer(Answer::Ok);
        Prompts::queueAnswer(Answer::No);
        QVERIFY(!w.close());
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 3);
        QVERIFY(history[1].text.startsWith(QString::fromLatin1(LibraryFile::SaveErrorMessage) + u'\n'));
        QCOMPARE(history[2].text,
                 QStringLiteral("The library could not be saved. Close without saving the changes?"));
        QVERIFY(w.workspace().CodeChanged);
    }

    void startingNode_isRememberedAndFallsBackToTheFirst_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("remembered") << true << 6 << 6;
        QTest::newRow("too large") << true << 999 << 1;
        QTest::newRow("below one") << true << -3 << 1;
        QTest::newRow("option off") << false << 6 << 1;
    }

    void startingNode_isRememberedAndFallsBackToTheFirst()
    {
        QFETCH(bool, remember);
        QFETCH(int, stored);
        QFETCH(int, expected);
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        {
            SettingsStore s = f.settings();
            s.saveBool(QStringLiteral("StartupNode"), remember);
            s.saveInt(QStringLiteral("LocalStartingNode"), stored);
            s.sync();
        }
        MainWindow& w = f.open();
        QCOMPARE(f.tree()->positionOf(f.tree()->currentItem()), expected);
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(),
                 expected == 6 ? QStringLiteral("Login form") : QStringLiteral("Language:    Bash"));

        f.tree()->setCurrentItem(snippetNode(f.tree(), QStringLiteral("Today")));
        QVERIFY(w.close());
        f.closeWindow();
        QCOMPARE(f.settings().getInt(QStringLiteral("LocalStartingNode"), 0), 11);
    }

    void commandLine_clearAndClearxDeleteTheSettings_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<bool>("quits");
        QTest::newRow("clear") << QStringList{"clear"} << true << false;
        QTest::newRow("clearx") << QStringList{"clearx"} << true << true;
        QTest::newRow("not exact") << QStringList{"clear", "x"} << false << false;
        QTest::newRow("upper case") << QStringList{"CLEAR"} << false << false;
    }

    void commandLine_clearAndClearxDeleteTheSettings()
    {
        QFETCH(QStringList, switches);
        QFETCH(bool, cleared);
        QFETCH(bool, quits);
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        {
            SettingsStore s = f.settings();
            s.saveInt(QStringLiteral("LocalStartingNode"), 5);
            s.sync();
        }
        f.open(switches);
        QCOMPARE(f.outcome() == StartupController::Outcome::Quit, quits);
        QCOMPARE(f.settings().get(QStringLiteral("LocalStartingNode")).isEmpty(), cleared);
        const auto history = Prompts::takeHistory();
        const bool told = std::any_of(history.begin(), history.end(), [](const Prompts::Record& r) {
            return r.text == QLatin1String("Registry settings were deleted for Zorbeth.");
        });
        QCOMPARE(told, cleared && !quits);
    }

    void trace_showsEveryCheckpointWithoutCountingAsAnEdit()
    {
        WindowFixture f;
        f.writeLibrary(sampleLibrary());
        {
            SettingsStore s = f.settings();
            s.saveBool(QStringLiteral("zqTest"), true);
            s.saveInt(QStringLiteral("LocalStartingNode"), 3);
            s.sync();
        }
        MainWindow& w = f.open();
        const QStringList lines = f.find<CodeEditor>("txtCode")->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 12);
        const QStringList names = {"Start",
                                   "after update",
                                   "after settings",
                                   "after loadicons",
                                   "after loadlanguagelist",
                                   "after loadcodedatafromfile",
                                   "after sortcodebylanguage",
                                   "after filltreeview",
                                   "after hideallbutonelanguage",
                                   "after downloadmessage"};
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY2(lines[i].startsWith(QStringLiteral("-%1- ").arg(i + 1)), qPrintable(lines[i]));
            QVERIFY2(lines[i].endsWith(QStringLiteral(" seconds  ") + names[i]), qPrintable(lines[i]));
        }
        QVERIFY(lines[10].isEmpty());
        QVERIFY(lines[11].startsWith(QStringLiteral("End  ")));
        QVERIFY(lines[11].endsWith(QStringLiteral(" seconds")));
        QVERIFY(!w.workspace().CodeChanged);
        QCOMPARE(w.workspace().codeArray[size_t(w.treeController().Selection())].Code.toString(),
                 QStringLiteral("wc -l file"));
    }

    void start_onADamagedFileKeepsItAsideAndShowsThePlaceholder()
    {
        WindowFixture f;
        f.writeRaw(QByteArray("PK\x03\x04 this is not a snippet library\r\n----T\r\nhalf a record\r\n"));
        MainWindow& w = f.open();
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].title, QStringLiteral("Error Loading Code Data"));
        QVERIFY(history[0].text.startsWith(QString::fromLatin1(LibraryFile::PlaceholderMessage)));
        QCOMPARE(WindowFixture::outline(f.tree()), (QStringList{"Language", "  Category", "    Snippet"}));
        QVERIFY(w.workspace().CodeChanged);

        const QStringList aside = QDir(f.folder()).entryList({QStringLiteral("zorbeth.txt.*")}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QFile kept(f.folder() + QLatin1Char('/') + aside[0]);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY(kept.readAll().startsWith("PK\x03\x04 this is not"));
        QVERIFY2(history[0].text.contains(aside[0]), qPrintable(history[0].text));
    }
};

QTEST_MAIN(LibraryWindowTest)
#include "tst_library_window.moc"
