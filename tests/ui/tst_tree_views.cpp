#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"
#include "library/ui/TreeViews.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

CodeArray library()
{
    return {
        WindowFixture::record("SQL", "Strings", "Trim", "", "SELECT TRIM(x);"),
        WindowFixture::record("sql", "strings", "Upper", "", "SELECT UPPER(x);"),
        WindowFixture::record("SQL", "Dates", "Today", "", "SELECT CURRENT_DATE;"),
        WindowFixture::record("C (ANSI)", "Loops (2)", "For", "", "for (;;) {}"),
        WindowFixture::record("C (ANSI)", "Loops (2)", "While", "", "while (1) {}"),
        WindowFixture::record("C (ANSI)", "io", "Print", "", "printf();"),
        WindowFixture::record("Bash", "Files", "Count", "", "wc -l"),
    };
}

QStringList roots(const QTreeWidget* tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        texts << tree->topLevelItem(i)->text(0);
    }
    return texts;
}

// Every node's text in the order the tree holds them.
QStringList texts(WindowFixture& f)
{
    QStringList all;
    f.window().findChild<TreeViews*>()->TraverseTree(nullptr,
                                                     [&all](QTreeWidgetItem* n) { all << n->text(0); });
    return all;
}

void trigger(WindowFixture& f, const char* action)
{
    f.find<QAction>(action)->trigger();
}

// A tree of every shape the view opens or leaves closed: nested nodes, a node that shows an indicator
// without children, one that hides its indicator over children, and childless leaves.
void addShapes(QTreeWidget& tree)
{
    for (int l = 0; l < 3; ++l) {
        auto* language = new QTreeWidgetItem(&tree, {QStringLiteral("language %1").arg(l)});
        for (int c = 0; c < 4; ++c) {
            auto* category = new QTreeWidgetItem(language, {QStringLiteral("category %1").arg(c)});
            for (int s = 0; s < (c == 3 ? 0 : 3); ++s) {
                auto* row = new QTreeWidgetItem(category, {QStringLiteral("row %1").arg(s)});
                if (l == 1 && s == 0) {
                    new QTreeWidgetItem(row, {QStringLiteral("deep")});
                }
            }
            if (c == 1) {
                category->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
            }
            if (c == 3 && l != 2) {
                category->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            }
        }
    }
    new QTreeWidgetItem(&tree, {QStringLiteral("empty language")});
}

// The rows the view shows from the top, one below the other, and whether each that can open is open.
// (expandAll also marks childless rows expanded, which nothing shows.)
QStringList shownRows(const QTreeView& view)
{
    QStringList rows;
    for (QModelIndex row = view.model()->index(0, 0); row.isValid(); row = view.indexBelow(row)) {
        rows << row.data().toString() +
                    (view.model()->hasChildren(row) ? (view.isExpanded(row) ? " open" : " closed") : "");
    }
    return rows;
}

} // namespace

class TreeViewsTest : public QObject
{
    Q_OBJECT

private:
    MainWindow& open(WindowFixture& f)
    {
        f.writeLibrary(library());
        MainWindow& w = f.open();
        w.show();
        return w;
    }

private slots:
    void expandAll_keepsTheSelectionAndCollapseAllClosesEverything()
    {
        WindowFixture f;
        open(f);
        QTreeWidgetItem* today = f.node(QStringLiteral("Today"));
        f.tree()->setCurrentItem(today);
        f.tree()->collapseAll();
        trigger(f, "mnuTreeExpand");
        QCOMPARE(f.tree()->currentItem(), today);
        QVERIFY(f.tree()->visualItemRect(today).intersects(f.tree()->viewport()->rect()));
        for (int l = 0; l < f.tree()->topLevelItemCount(); ++l) {
            QTreeWidgetItem* language = f.tree()->topLevelItem(l);
            QVERIFY(language->isExpanded());
            for (int c = 0; c < language->childCount(); ++c) {
                QVERIFY(language->child(c)->isExpanded());
            }
        }
        trigger(f, "mnuTreeCollapse");
        for (int l = 0; l < f.tree()->topLevelItemCount(); ++l) {
            QVERIFY(!f.tree()->topLevelItem(l)->isExpanded());
            QVERIFY(!f.tree()->topLevelItem(l)->child(0)->isExpanded());
        }
    }

    void expandEveryParent_opensWhatExpandAllOpens()
    {
        LibraryTree ours;
        QTreeWidget theirs;
        addShapes(ours);
        addShapes(theirs);
        ours.topLevelItem(0)->child(0)->setExpanded(true);
        theirs.topLevelItem(0)->child(0)->setExpanded(true);
        QSignalSpy reported(&ours, &QTreeWidget::itemExpanded);
        ours.expandEveryParent();
        theirs.expandAll();
        const QStringList rows = shownRows(ours);
        QCOMPARE(rows, shownRows(theirs));
        QVERIFY(rows.contains("deep"));
        // Each node opened here is reported once; the one open before is not.
        QCOMPARE(reported.size(), int(rows.filter(" open").size()) - 1);
    }

    void expandSelected_opensTheNodeAndItsChildrenOnly()
    {
        WindowFixture f;
        open(f);
        QTreeWidgetItem* sql = f.node(QStringLiteral("SQL"));
        f.tree()->collapseAll();
        f.tree()->setCurrentItem(sql);
        f.find<CommandToolbar>("Toolbar1")->Toolbar1_ButtonClick(QStringLiteral("Expand"));
        QVERIFY(sql->isExpanded());
        QVERIFY(sql->child(0)->isExpanded() && sql->child(1)->isExpanded());
        QVERIFY(!f.node(QStringLiteral("Bash"))->isExpanded());
        f.find<CommandToolbar>("Toolbar1")->Toolbar1_ButtonClick(QStringLiteral("Collapse"));
        QVERIFY(!sql->isExpanded() && !sql->child(0)->isExpanded());
    }

    void oneLanguageView_keepsTheSelectedSnippetsLanguageAcrossARestart()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        QTreeWidgetItem* upper = f.node(QStringLiteral("Upper"));
        f.tree()->setCurrentItem(upper);
        trigger(f, "mnuAllHide");
        QCOMPARE(roots(f.tree()), QStringList{QStringLiteral("SQL")});
        QCOMPARE(f.tree()->currentItem(), upper);
        QVERIFY(!f.find<QAction>("mnuAllHide")->isVisible());
        QVERIFY(f.find<QAction>("mnuAllDisplay")->isVisible());
        QVERIFY(!w.workspace().CodeChanged);

        // Stored as the records spell it in another case, the language is kept all the same.
        QVERIFY(w.close());
        f.closeWindow();
        QVERIFY(f.settings().getBool(QStringLiteral("OneNode"), false));
        {
            SettingsStore s = f.settings();
            s.save(QStringLiteral("OneLanguage"), QStringLiteral("sql"));
            s.sync();
        }
        f.open();
        QCOMPARE(roots(f.tree()), QStringList{QStringLiteral("SQL")});

        trigger(f, "mnuAllDisplay");
        QCOMPARE(roots(f.tree()), (QStringList{"Bash", "C (ANSI)", "SQL"}));
        QCOMPARE(f.tree()->currentItem(), f.tree()->topLevelItem(0));
        QVERIFY(f.find<QAction>("mnuAllHide")->isVisible());
    }

    void oneLanguageView_ofALanguageNoLongerThereShowsEveryLanguage()
    {
        WindowFixture f;
        f.writeLibrary(library());
        {
            SettingsStore s = f.settings();
            s.saveBool(QStringLiteral("OneNode"), true);
            s.save(QStringLiteral("OneLanguage"), QStringLiteral("Cobol"));
            s.sync();
        }
        f.open();
        QCOMPARE(roots(f.tree()).size(), 3);
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Language:    Bash"));
        QVERIFY(f.find<QAction>("mnuAllHide")->isVisible());
    }

    void childCounts_removeOnlyTheirOwnSuffix()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        const QStringList bare = texts(f);
        trigger(f, "mnuChildCount");
        QCOMPARE(f.node(QStringLiteral("C (ANSI)  (2)"))->childCount(), 2);
        QVERIFY(f.node(QStringLiteral("Loops (2)  (2)")));
        QVERIFY(f.node(QStringLiteral("SQL  (2)")));
        QVERIFY(f.node(QStringLiteral("Trim"))); // snippets carry no count
        QCOMPARE(LibraryTree::nodeName(f.node(QStringLiteral("Loops (2)  (2)"))),
                 QStringLiteral("Loops (2)"));

        // The summary names the node itself without its count.
        f.tree()->setCurrentItem(f.node(QStringLiteral("C (ANSI)  (2)")));
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Language:    C (ANSI)"));
        f.tree()->setCurrentItem(f.node(QStringLiteral("Loops (2)  (2)")));
        QVERIFY(f.find<QLineEdit>("txtTitle")->text().endsWith(QStringLiteral("  ::::  Loops (2)")));

        trigger(f, "mnuChildCount");
        QCOMPARE(texts(f), bare);
        QVERIFY(!w.workspace().CodeChanged);
    }

    void childCounts_stayOutOfTheCategorySummary_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain names") << "Files  (1)"
                                     << "Category:    Bash  ::::  Files";
        QTest::newRow("names holding brackets") << "Loops (2)  (2)"
                                                << "Category:    C (ANSI)  ::::  Loops (2)";
    }

    void childCounts_stayOutOfTheCategorySummary()
    {
        QFETCH(QString, category);
        QFETCH(QString, title);
        WindowFixture f;
        open(f);
        trigger(f, "mnuChildCount");
        f.tree()->setCurrentItem(f.node(category));
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), title);
    }

    void childCounts_comeBackAfterRebuildsAndRestarts()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        trigger(f, "mnuChildCount");
        trigger(f, "mnuSortTree");
        QVERIFY(f.node(QStringLiteral("SQL  (2)")));

        QVERIFY(w.close());
        f.closeWindow();
        f.open();
        QVERIFY(f.find<QAction>("mnuChildCount")->isChecked());
        QVERIFY(f.node(QStringLiteral("Strings  (2)")));
    }

    void displayAllLanguages_leavesTheCountsOffWithTheItemChecked()
    {
        WindowFixture f;
        open(f);
        trigger(f, "mnuChildCount");
        f.tree()->setCurrentItem(f.node(QStringLiteral("Bash  (1)")));
        trigger(f, "mnuAllHide");
        trigger(f, "mnuAllDisplay");
        QCOMPARE(roots(f.tree()), (QStringList{"Bash", "C (ANSI)", "SQL"}));
        QVERIFY(f.find<QAction>("mnuChildCount")->isChecked());

        // A node change meanwhile adds no lone count.
        f.tree()->setCurrentItem(f.node(QStringLiteral("Today")));
        trigger(f, "mnuDuplicateSnippet");
        QVERIFY(f.node(QStringLiteral("Dates")));

        trigger(f, "mnuChildCount");
        trigger(f, "mnuChildCount");
        QVERIFY(f.node(QStringLiteral("SQL  (2)")));
        QVERIFY(f.node(QStringLiteral("Dates  (2)")));
    }

    void treeIcons_applyTheColoursAgain()
    {
        WindowFixture f;
        open(f);
        auto* title = f.find<QLineEdit>("txtTitle");
        const QColor background = f.find<QLineEdit>("txtKeywords")->palette().color(QPalette::Base);
        QPalette odd = title->palette();
        odd.setColor(QPalette::Base, QColor(1, 2, 3));
        title->setPalette(odd);
        QSignalSpy switched(f.window().findChild<TreeViews*>(), &TreeViews::picturesSwitched);

        trigger(f, "mnuTreeIcons");
        QCOMPARE(switched.size(), 1);
        QCOMPARE(title->palette().color(QPalette::Base), background);
        QVERIFY(!f.find<QAction>("mnuTreeIcons")->isChecked());

        f.window().findChild<TreeViews*>()->mnuTreeIcons_Click();
        QCOMPARE(switched.size(), 2);
        QVERIFY(f.find<QAction>("mnuTreeIcons")->isChecked());
        QVERIFY(!f.node(QStringLiteral("Trim"))->icon(0).isNull());
    }

    void treeIcons_offSurvivesRebuildsAndComesBack()
    {
        WindowFixture f;
        open(f);
        QVERIFY(!f.node(QStringLiteral("Trim"))->icon(0).isNull());
        trigger(f, "mnuTreeIcons");
        QVERIFY(f.node(QStringLiteral("Trim"))->icon(0).isNull());
        trigger(f, "mnuSort");
        for (const QString& name : {QStringLiteral("SQL"), QStringLiteral("Dates"), QStringLiteral("Trim")}) {
            QVERIFY2(f.node(name)->icon(0).isNull(), qPrintable(name));
        }
        trigger(f, "mnuTreeIcons");
        QVERIFY(!f.node(QStringLiteral("Dates"))->icon(0).isNull());
        QVERIFY(!f.node(QStringLiteral("Trim"))->icon(0).isNull());
    }

    void sortKey_ordersTheNodesChildrenInTheTreeOnly()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        QTreeWidgetItem* strings = f.node(QStringLiteral("Strings"));
        // Reverse the snippets by hand, as node commands leave new ones at the end.
        strings->addChild(strings->takeChild(0));
        QCOMPARE(strings->child(0)->text(0), QStringLiteral("Upper"));
        const CodeArray before = w.workspace().codeArray;
        f.tree()->setCurrentItem(strings);
        f.find<CommandToolbar>("Toolbar1")->Toolbar1_ButtonClick(QStringLiteral("Sort"));
        QCOMPARE(strings->child(0)->text(0), QStringLiteral("Trim"));
        QCOMPARE(strings->child(1)->text(0), QStringLiteral("Upper"));
        QVERIFY(w.workspace().codeArray == before);
    }

    void sortCommands_reorderTheLibraryAndSelectTheFirstNode()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        CodeArray& records = w.workspace().codeArray;
        records.push_back(WindowFixture::record("Ada", "Tasks", "Rendezvous"));
        f.tree()->setCurrentItem(f.node(QStringLiteral("Today")));
        trigger(f, "mnuSort");
        QCOMPARE(records.front().Language, QStringLiteral("Ada"));
        QCOMPARE(f.tree()->currentItem(), f.tree()->topLevelItem(0));
        QCOMPARE(f.tree()->currentItem()->text(0), QStringLiteral("Ada"));
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Language:    Ada"));
    }
};

QTEST_MAIN(TreeViewsTest)
#include "tst_tree_views.moc"
