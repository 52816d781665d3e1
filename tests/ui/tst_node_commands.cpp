#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "library/ui/NodeCommands.h"
#include "library/ui/TreeController.h"
#include "search/ui/ResultsModel.h"
#include "search/ui/SearchPanel.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"
#include "ui/WindowFixture.h"

#include <algorithm>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using Answer = Prompts::Answer;

namespace {

const QString Stamp = QStringLiteral("2030-05-06 07:08:09");

CodeArray library()
{
    return {
        WindowFixture::record("SQL", "Strings", "Trim", "kw", "SELECT TRIM(x);"),
        WindowFixture::record("sql", "strings", "Upper", "", "SELECT UPPER(x);"),
        WindowFixture::record("SQL", "Strings", "Zap", "", "SELECT 0;"),
        WindowFixture::record("SQL", "Dates", "Today", "", "SELECT CURRENT_DATE;"),
        WindowFixture::record("HTML", "Forms", "Login", "", "<form></form>"),
    };
}

const SnippetRecord& recordOf(WindowFixture& f, const QTreeWidgetItem* snippet)
{
    return f.window().workspace().codeArray[size_t(LibraryTree::key(snippet).mid(1).toLongLong())];
}

QStringList childTexts(const QTreeWidgetItem* parent)
{
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i) {
        texts << parent->child(i)->text(0);
    }
    return texts;
}

QLineEdit* labelEditor(WindowFixture& f)
{
    for (QLineEdit* editor : f.tree()->viewport()->findChildren<QLineEdit*>()) {
        if (editor->isVisible()) {
            return editor;
        }
    }
    return nullptr;
}

QStringList captions(const QMenu* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions()) {
        list << (action->isSeparator() ? QStringLiteral("-") : action->text() + u'=' + action->objectName());
    }
    return list;
}

} // namespace

class NodeCommandsTest : public QObject
{
    Q_OBJECT

private:
    MainWindow& open(WindowFixture& f, int counter = 0)
    {
        f.writeLibrary(library());
        {
            SettingsStore s = f.settings();
            s.saveInt(QStringLiteral("iCount"), counter);
            s.sync();
        }
        MainWindow& w = f.open();
        w.show();
        Prompts::takeHistory();
        return w;
    }

    NodeCommands& commands(WindowFixture& f) { return *f.window().findChild<NodeCommands*>(); }

private slots:
    void init() { DateStamp::pin(QDateTime(QDate(2030, 5, 6), QTime(7, 8, 9))); }
    void cleanup() { DateStamp::pin(QDateTime()); }

    void newNode_namesTheNodesByKindWithTheCounter_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("shownText");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("title");
        QTest::newRow("category") << "Strings"
                                  << "New Category 8"
                                  << "SQL"
                                  << "New Category 8"
                                  << "New Snippet 8";
        QTest::newRow("language") << "HTML"
                                  << "Language 8"
                                  << "Language 8"
                                  << "Category 8"
                                  << "Snippet 8";
        QTest::newRow("snippet") << "Today"
                                 << "New Snippet 8"
                                 << "SQL"
                                 << "Dates"
                                 << "New Snippet 8";
    }

    void newNode_namesTheNodesByKindWithTheCounter()
    {
        QFETCH(QString, selected);
        QFETCH(QString, shownText);
        QFETCH(QString, language);
        QFETCH(QString, category);
        QFETCH(QString, title);
        WindowFixture f;
        MainWindow& w = open(f, 7);
        const size_t before = w.workspace().codeArray.size();
        f.tree()->setCurrentItem(f.node(selected));
        f.find<QAction>("mnuNew")->trigger();

        QTreeWidgetItem* shown = f.tree()->currentItem();
        QCOMPARE(shown->text(0), shownText);
        // Placed last among its siblings, down to a snippet that stands for the new record.
        QTreeWidgetItem* parent = shown->parent();
        QCOMPARE(parent ? parent->child(parent->childCount() - 1) : f.tree()->topLevelItem(2), shown);
        QTreeWidgetItem* snippet = shown;
        while (snippet->childCount() > 0) {
            snippet = snippet->child(0);
        }
        QCOMPARE(snippet->text(0), title);
        QCOMPARE(LibraryTree::key(snippet), QStringLiteral("T%1").arg(before));
        QCOMPARE(w.workspace().codeArray.size(), before + 1);
        const SnippetRecord& added = w.workspace().codeArray.back();
        QCOMPARE(added.Language, language);
        QCOMPARE(added.Category, category);
        QCOMPARE(added.Title, title);
        QCOMPARE(added.Date, Stamp);
        QVERIFY(added.Code.toString().isEmpty() && added.Keywords.isEmpty());
        QVERIFY(w.workspace().CodeChanged);
        QVERIFY(labelEditor(f));
        QCOMPARE(labelEditor(f)->text(), shownText);
        QCOMPARE(f.settings().getInt(QStringLiteral("iCount"), 0), 8);
    }

    void newNode_switchesTheChildCountsOff()
    {
        WindowFixture f;
        open(f);
        f.find<QAction>("mnuChildCount")->trigger();
        QCOMPARE(f.node(QStringLiteral("Dates  (1)"))->text(0), QStringLiteral("Dates  (1)"));
        f.tree()->setCurrentItem(f.node(QStringLiteral("Dates  (1)")));
        commands(f).NewSelected();
        QVERIFY(!f.find<QAction>("mnuChildCount")->isChecked());
        QCOMPARE(childTexts(f.tree()->topLevelItem(1)), (QStringList{"Dates", "Strings", "New Category 1"}));
    }

    void delete_asksAsConfiguredAndMarksTheRecords_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("deletedTitles");
        QTest::addColumn<QString>("title");
        QTest::newRow("category, ok") << "Strings" << true << int(Answer::Ok)
                                      << QStringList{"Trim", "Upper", "Zap"} << "Delete Category";
        QTest::newRow("snippet, ok") << "Upper" << true << int(Answer::Ok) << QStringList{"Upper"}
                                     << "Delete Code";
        QTest::newRow("cancelled") << "Strings" << true << int(Answer::Cancel) << QStringList{}
                                   << "Delete Category";
        QTest::newRow("confirmation off")
            << "Strings" << false << -1 << QStringList{"Trim", "Upper", "Zap"} << QString();
    }

    void delete_asksAsConfiguredAndMarksTheRecords()
    {
        QFETCH(QString, selected);
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(QStringList, deletedTitles);
        QFETCH(QString, title);
        WindowFixture f;
        MainWindow& w = open(f);
        f.find<QAction>("mnuConfirmDelete")->setChecked(confirm);
        const size_t size = w.workspace().codeArray.size();
        f.tree()->setCurrentItem(f.node(selected));
        if (answer >= 0) {
            Prompts::queueAnswer(Answer(answer));
        }
        f.find<QAction>("mnuDeleteNode")->trigger();

        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), confirm ? 1 : 0);
        if (confirm) {
            QCOMPARE(history[0].title, title);
            QCOMPARE(history[0].text, QStringLiteral("Are you sure?"));
        }
        QStringList deleted;
        for (const SnippetRecord& r : w.workspace().codeArray) {
            if (r.Deleted) {
                deleted << r.Title;
            }
        }
        deleted.sort();
        QCOMPARE(deleted, deletedTitles);
        QCOMPARE(w.workspace().codeArray.size(), size);
        QCOMPARE(f.node(selected) == nullptr, !deletedTitles.isEmpty());
        QCOMPARE(w.workspace().CodeChanged, !deletedTitles.isEmpty());

        // Saving leaves the deleted records out of the file.
        f.find<QAction>("mnuSave")->trigger();
        QCOMPARE(DatabaseFile::read(f.libraryPath()).records.size(), size - size_t(deletedTitles.size()));
    }

    void delete_selectsTheNeighbour_data()
    {
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("selectedAfter");
        QTest::newRow("last snippet: the one before") << "Zap"
                                                      << "Upper";
        QTest::newRow("other snippet: the one after") << "Trim"
                                                      << "Upper";
        QTest::newRow("only snippet: its category") << "Today"
                                                    << "Dates";
        QTest::newRow("last category: the one before") << "Strings"
                                                       << "Dates";
    }

    void delete_selectsTheNeighbour()
    {
        QFETCH(QString, deleted);
        QFETCH(QString, selectedAfter);
        WindowFixture f;
        open(f);
        f.find<QAction>("mnuConfirmDelete")->setChecked(false);
        f.tree()->setCurrentItem(f.node(deleted));
        commands(f).DeleteSelected();
        QCOMPARE(f.tree()->currentItem()->text(0), selectedAfter);
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text().endsWith(selectedAfter), true);
    }

    void delete_ofALanguageOrAnEmptyCategoryChangesNoRecord()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        f.find<QAction>("mnuConfirmDelete")->setChecked(false);
        f.tree()->setCurrentItem(f.node(QStringLiteral("HTML")));
        commands(f).DeleteSelected();
        QVERIFY(f.node(QStringLiteral("HTML")));
        QVERIFY(!w.workspace().CodeChanged);

        f.tree()->setCurrentItem(f.node(QStringLiteral("Login")));
        commands(f).DeleteSelected();
        QCOMPARE(f.tree()->currentItem()->text(0), QStringLiteral("Forms"));
        commands(f).DeleteSelected();
        QCOMPARE(f.tree()->currentItem()->text(0), QStringLiteral("HTML"));
        QCOMPARE(f.tree()->currentItem()->childCount(), 0);
        const auto deleted = std::count_if(w.workspace().codeArray.begin(), w.workspace().codeArray.end(),
                                           [](const SnippetRecord& r) { return r.Deleted; });
        QCOMPARE(deleted, 1);
    }

    void duplicate_copiesTitleAndCodeIntoTheSameCategory()
    {
        WindowFixture f;
        MainWindow& w = open(f, 3);
        QTreeWidgetItem* trim = f.node(QStringLiteral("Trim"));
        f.tree()->setCurrentItem(trim);
        f.find<QAction>("mnuDuplicateSnippet")->trigger();

        QCOMPARE(f.tree()->currentItem(), trim);
        QTreeWidgetItem* copy = trim->parent()->child(trim->parent()->childCount() - 1);
        QCOMPARE(copy->text(0), QStringLiteral("Trim"));
        QVERIFY(copy != trim);
        const SnippetRecord& r = recordOf(f, copy);
        QCOMPARE(r.Code.toString(), QStringLiteral("SELECT TRIM(x);"));
        QCOMPARE(r.Language, QStringLiteral("SQL"));
        QCOMPARE(r.Category, QStringLiteral("Strings"));
        QVERIFY(r.Keywords.isEmpty());
        QCOMPARE(r.Date, Stamp);
        QVERIFY(w.workspace().CodeChanged);
        QCOMPARE(f.settings().getInt(QStringLiteral("iCount"), 0), 4);

        // Only snippets are duplicated.
        const size_t size = w.workspace().codeArray.size();
        f.tree()->setCurrentItem(f.node(QStringLiteral("Dates")));
        f.find<QAction>("mnuDuplicateSnippet")->trigger();
        QCOMPARE(w.workspace().codeArray.size(), size);
    }

    void renameLanguage_reachesEveryCaseVariantAndDeletedRecords()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        CodeArray& records = w.workspace().codeArray;
        // A deleted record is renamed too, so a later load cannot bring the old name back.
        records.back().Language = QStringLiteral("Sql");
        records.back().Deleted = true;
        QTreeWidgetItem* sql = f.node(QStringLiteral("SQL"));
        commands(f).Tree_AfterLabelEdit(sql, QStringLiteral("PostgreSQL"));

        QCOMPARE(sql->text(0), QStringLiteral("PostgreSQL"));
        int renamed = 0;
        for (const SnippetRecord& r : records) {
            QVERIFY(r.Language != QLatin1String("sql") && r.Language != QLatin1String("Sql"));
            renamed += r.Language == QLatin1String("PostgreSQL");
            QCOMPARE(r.Date, QStringLiteral("2026-01-02 03:04:05"));
        }
        QCOMPARE(renamed, 4);
        QCOMPARE(records.back().Language, QStringLiteral("PostgreSQL"));
        QVERIFY(w.workspace().CodeChanged);
        QCOMPARE(f.tree()->nodeByKey(QStringLiteral("PostgreSQL")), sql);
        QVERIFY(f.tree()->nodeByKey(QStringLiteral("PostgreSQL:::Dates")));
    }

    void renameCategory_stampsItsSnippets()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        QTreeWidgetItem* strings = f.node(QStringLiteral("Strings"));
        commands(f).Tree_AfterLabelEdit(strings, QStringLiteral("Text"));
        for (int i = 0; i < strings->childCount(); ++i) {
            QCOMPARE(recordOf(f, strings->child(i)).Category, QStringLiteral("Text"));
            QCOMPARE(recordOf(f, strings->child(i)).Date, Stamp);
        }
        QCOMPARE(recordOf(f, f.node(QStringLiteral("Today"))).Date, QStringLiteral("2026-01-02 03:04:05"));
        QVERIFY(w.workspace().CodeChanged);
        QCOMPARE(LibraryTree::key(strings), QStringLiteral("SQL:::Text"));
    }

    void renameInPlace_F2EditsTheSnippetTitle()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        QTreeWidgetItem* today = f.node(QStringLiteral("Today"));
        f.tree()->setCurrentItem(today);
        QTest::keyClick(f.tree(), Qt::Key_F2);
        QLineEdit* editor = labelEditor(f);
        QVERIFY(editor);
        editor->setText(QStringLiteral("Now"));
        QTest::keyClick(editor, Qt::Key_Return);

        QTRY_COMPARE(today->text(0), QStringLiteral("Now"));
        QCOMPARE(recordOf(f, today).Title, QStringLiteral("Now"));
        QCOMPARE(recordOf(f, today).Date, Stamp);
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Now"));
        QVERIFY(w.workspace().CodeChanged);
    }

    void renameInPlace_withCountsShownEditsTheBareName()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        f.find<QAction>("mnuChildCount")->trigger();
        QTreeWidgetItem* sql = f.tree()->topLevelItem(1);
        QCOMPARE(sql->text(0), QStringLiteral("SQL  (2)"));
        f.tree()->setCurrentItem(sql);

        // Escape keeps the name and brings the count back.
        QTest::keyClick(f.tree(), Qt::Key_F2);
        QCOMPARE(labelEditor(f)->text(), QStringLiteral("SQL"));
        QTest::keyClick(labelEditor(f), Qt::Key_Escape);
        QCOMPARE(sql->text(0), QStringLiteral("SQL  (2)"));
        QVERIFY(!w.workspace().CodeChanged);

        // A count typed at the end is not taken into the name.
        QTest::keyClick(f.tree(), Qt::Key_F2);
        labelEditor(f)->setText(QStringLiteral("T-SQL  (2)"));
        QTest::keyClick(labelEditor(f), Qt::Key_Return);
        QTRY_COMPARE(sql->text(0), QStringLiteral("T-SQL  (2)"));
        QCOMPARE(LibraryTree::nodeName(sql), QStringLiteral("T-SQL"));
        QCOMPARE(w.workspace().codeArray.back().Language, QStringLiteral("T-SQL"));
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Language:    T-SQL"));
    }

    void renameInPlace_everyWayTheEditorClosesKeepsRecordsAndTreeInStep_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("commits");
        QTest::newRow("Enter") << "enter" << true;
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("focus lost") << "focus" << true;
        QTest::newRow("click on another node") << "click" << true;
        QTest::newRow("toolbar New") << "toolbar new" << true;
        QTest::newRow("Ctrl+N") << "ctrl+n" << true;
        QTest::newRow("Delete, cancelled") << "delete" << true;
        QTest::newRow("search result opened") << "search row" << true;
        QTest::newRow("Sort Entire Tree") << "sort" << true;
        QTest::newRow("Hide All Other Languages") << "hide" << true;
        QTest::newRow("Ctrl+S") << "ctrl+s" << true;
        QTest::newRow("window closed, changes saved") << "close" << true;
    }

    void renameInPlace_everyWayTheEditorClosesKeepsRecordsAndTreeInStep()
    {
        QFETCH(QString, way);
        QFETCH(bool, commits);
        WindowFixture f;
        MainWindow& w = open(f);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        f.tree()->expandAll();
        auto* panel = f.find<SearchPanel>("frameSearch");
        if (way == QLatin1String("search row")) {
            f.tree()->setCurrentItem(f.node(QStringLiteral("Today")));
            panel->cmdAllTitles_Click();
        }

        f.tree()->setCurrentItem(f.node(QStringLiteral("Strings")));
        QTest::keyClick(f.tree(), Qt::Key_F2);
        QLineEdit* editor = labelEditor(f);
        QVERIFY(editor);
        editor->setFocus();
        editor->setText(QStringLiteral("Text"));

        if (way == QLatin1String("enter")) {
            QTest::keyClick(editor, Qt::Key_Return);
        } else if (way == QLatin1String("escape")) {
            QTest::keyClick(editor, Qt::Key_Escape);
        } else if (way == QLatin1String("focus")) {
            f.find<QLineEdit>("txtTitle")->setFocus();
        } else if (way == QLatin1String("click")) {
            const QRect today = f.tree()->visualItemRect(f.node(QStringLiteral("Today")));
            QTest::mouseClick(f.tree()->viewport(), Qt::LeftButton, {}, today.center());
        } else if (way == QLatin1String("toolbar new")) {
            auto* toolbar = f.find<CommandToolbar>("Toolbar1");
            qobject_cast<QToolButton*>(toolbar->widgetForAction(toolbar->button(QStringLiteral("New"))))
                ->click();
        } else if (way == QLatin1String("ctrl+n")) {
            QTest::keyClick(editor, Qt::Key_N, Qt::ControlModifier);
        } else if (way == QLatin1String("delete")) {
            Prompts::queueAnswer(Answer::Cancel);
            f.find<QAction>("mnuDeleteNode")->trigger();
        } else if (way == QLatin1String("search row")) {
            const ResultsModel& results = panel->results();
            int row = 0;
            while (results.rows()[size_t(row)].id() != LibraryTree::key(f.node(QStringLiteral("Today")))) {
                ++row;
            }
            f.find<QTreeView>("lstResults")->setCurrentIndex(results.index(row, 0));
            panel->DisplaySelectedResult(); // what a click on the row runs
            QCOMPARE(f.tree()->currentItem()->text(0), QStringLiteral("Today"));
        } else if (way == QLatin1String("sort")) {
            f.find<QAction>("mnuSortTree")->trigger();
        } else if (way == QLatin1String("hide")) {
            f.find<QAction>("mnuAllHide")->trigger();
        } else if (way == QLatin1String("ctrl+s")) {
            QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
        } else if (way == QLatin1String("close")) {
            Prompts::queueAnswer(Answer::Yes); // "Save changes?"
            QVERIFY(w.close());
        }

        const QString shown = commits ? QStringLiteral("Text") : QStringLiteral("Strings");
        const QString gone = commits ? QStringLiteral("Strings") : QStringLiteral("Text");
        QTRY_VERIFY(f.node(shown));
        QCOMPARE(LibraryTree::tag(f.node(shown)), LibraryTree::CatTag);
        QCOMPARE(LibraryTree::nodeName(f.node(shown)->parent()), QStringLiteral("SQL"));
        QVERIFY(!f.node(gone));
        int renamed = 0;
        for (const SnippetRecord& r : w.workspace().codeArray) {
            if (r.Language.compare(QLatin1String("SQL"), Qt::CaseInsensitive) == 0 && r.Category != "Dates" &&
                !r.Category.startsWith(QLatin1String("New "))) {
                QCOMPARE(r.Category.toLower(), shown.toLower());
                ++renamed;
            }
        }
        QCOMPARE(renamed, 3);
        if (way == QLatin1String("ctrl+s") || way == QLatin1String("close")) {
            // The saved file holds the new name, not the one the label showed before.
            QVERIFY(!w.workspace().CodeChanged);
            const DatabaseFile::ReadResult saved = DatabaseFile::read(w.workspace().databasePath());
            QCOMPARE(
                std::count_if(saved.records.cbegin(), saved.records.cend(),
                              [](const SnippetRecord& r) { return r.Category == QLatin1String("Text"); }),
                3);
            return;
        }
        QCOMPARE(w.workspace().CodeChanged,
                 commits || way == QLatin1String("toolbar new") || way == QLatin1String("ctrl+n"));
    }

    void renameInPlace_toABlankNameIsRefused_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("typed");
        QTest::newRow("language, empty") << "SQL"
                                         << "";
        QTest::newRow("category, blanks") << "Strings"
                                          << "   ";
        QTest::newRow("snippet, empty") << "Today"
                                        << "";
        QTest::newRow("category, a count only") << "Dates"
                                                << "  (1)";
    }

    void renameInPlace_toABlankNameIsRefused()
    {
        QFETCH(QString, node);
        QFETCH(QString, typed);
        WindowFixture f;
        MainWindow& w = open(f);
        const CodeArray before = w.workspace().codeArray;
        QTreeWidgetItem* renamed = f.node(node);
        f.tree()->setCurrentItem(renamed);
        QTest::keyClick(f.tree(), Qt::Key_F2);
        QVERIFY(labelEditor(f));
        labelEditor(f)->setText(typed);
        QTest::keyClick(labelEditor(f), Qt::Key_Return);

        QTRY_COMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("A name cannot be empty."));
        QCOMPARE(renamed->text(0), node);
        QCOMPARE(f.node(node), renamed);
        QVERIFY(w.workspace().codeArray == before);
        QVERIFY(!w.workspace().CodeChanged);
    }

    void dragDrop_movesASnippetOntoACategoryOnly_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("moves");
        QTest::newRow("category of another language") << "Forms" << true;
        QTest::newRow("snippet") << "Login" << false;
        QTest::newRow("language") << "HTML" << false;
        QTest::newRow("its own category") << "Dates" << false;
    }

    void dragDrop_movesASnippetOntoACategoryOnly()
    {
        QFETCH(QString, target);
        QFETCH(bool, moves);
        WindowFixture f;
        MainWindow& w = open(f);
        QTreeWidgetItem* today = f.node(QStringLiteral("Today"));
        QTreeWidgetItem* dates = today->parent();
        f.tree()->setCurrentItem(today);
        commands(f).Tree_DragDrop(f.node(target));

        const SnippetRecord& r = recordOf(f, today);
        QCOMPARE(r.Language, moves ? QStringLiteral("HTML") : QStringLiteral("SQL"));
        QCOMPARE(r.Category, moves ? QStringLiteral("Forms") : QStringLiteral("Dates"));
        QCOMPARE(r.Date, QStringLiteral("2026-01-02 03:04:05"));
        QCOMPARE(today->parent(), moves ? f.node(QStringLiteral("Forms")) : dates);
        QCOMPARE(f.tree()->currentItem(), today);
        QCOMPARE(w.workspace().CodeChanged, moves);
    }

    void popupMenus_haveTheirItemsInOrder()
    {
        WindowFixture f;
        open(f);
        const QStringList lang = {"Expand=mnuLangExpand",
                                  "Collapse=mnuLangCollapse",
                                  "-",
                                  "&Edit Language Title=mnuPopupLangEdit",
                                  "&New Language=mnuPopUpLangNew",
                                  "&Delete Language=mnuPopupLangDelete",
                                  "-",
                                  "&Hide All Other Langauges=mnuAllHide",
                                  "&Display All Languages=mnuAllDisplay"};
        const QStringList cat = {"Expand=mnuCatExpand",
                                 "Collapse=mnuCatCollapse",
                                 "-",
                                 "&Edit Category Title=mnuPopupCatEdit",
                                 "&New Category=mnuPopupCatNew",
                                 "&Delete Category=mnuPopupCatDelete"};
        const QStringList code = {"&Edit Snippet Title=mnuPopupCodeEdit",
                                  "&New Snippet=mnuPopupCodeNew",
                                  "&Delete Snippet=mnuPopupCodeDelete",
                                  "Duplicate &Snippet=mnuDuplicate",
                                  "Add &Bookmark=mnuBookmark",
                                  "&Remove Bookmark=mnuRemoveBookmark2"};
        QCOMPARE(captions(f.find<QMenu>("mnuPopupLang")), lang);
        QCOMPARE(captions(f.find<QMenu>("mnuPopupCat")), cat);
        QCOMPARE(captions(f.find<QMenu>("mnuPopUpCode")), code);
        QVERIFY(f.find<QAction>("mnuAllHide")->isVisible());
        QVERIFY(!f.find<QAction>("mnuAllDisplay")->isVisible());

        const QStringList edit = {"&New Node=mnuNew", "Dele&te Node=mnuDeleteNode",
                                  "&Duplicate Snippet=mnuDuplicateSnippet"};
        QCOMPARE(captions(f.find<QMenu>("mnuEdit")).mid(0, 3), edit);
    }

    void rightButtonRelease_showsTheMenuOfTheNodeKind_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("menu");
        QTest::newRow("language") << "SQL"
                                  << "mnuPopupLang";
        QTest::newRow("category") << "Dates"
                                  << "mnuPopupCat";
        QTest::newRow("snippet") << "Today"
                                 << "mnuPopUpCode";
    }

    void rightButtonRelease_showsTheMenuOfTheNodeKind()
    {
        QFETCH(QString, clicked);
        QFETCH(QString, menu);
        WindowFixture f;
        open(f);
        f.tree()->expandAll();
        QTreeWidgetItem* target = f.node(clicked);
        QTest::mouseClick(f.tree()->viewport(), Qt::RightButton, {},
                          f.tree()->visualItemRect(target).center());
        QCOMPARE(f.tree()->currentItem(), target);
        auto* shown = f.find<QMenu>(menu.toLatin1().constData());
        QVERIFY(shown->isVisible());
        shown->hide();
    }

    void deleteKey_deletesTheSelectedNode()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        f.tree()->setCurrentItem(f.node(QStringLiteral("Login")));
        Prompts::queueAnswer(Answer::Ok);
        QTest::keyClick(f.tree(), Qt::Key_Delete);
        QCOMPARE(Prompts::takeHistory().size(), 1);
        QVERIFY(!f.node(QStringLiteral("Login")));
        QVERIFY(w.workspace().CodeChanged);
    }
};

QTEST_MAIN(NodeCommandsTest)
#include "tst_node_commands.moc"
