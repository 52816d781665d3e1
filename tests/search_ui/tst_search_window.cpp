#include "gui/CommandToolbar.h"
#include "library/ui/TreeController.h"
#include "search/SearchHistory.h"
#include "search/ui/ResultsModel.h"
#include "search/ui/SearchPanel.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include "ZorbethTestPaths.h"

namespace {

// Catches what the program asks the desktop to open, instead of starting an editor.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

// The window on the shared search fixture, sorted as loaded:
// T0 Alpha/Basics "Dim statement", T1 alpha/basics "Loop forms" (BOOKMARK), T2 Alpha/Strings "Trim text"
// (bookmarks), T3 Beta/Files "dim light", T4 Beta/Files "Read lines", T5 Gamma/Zeta "Zeta search"
// (api bookmark sort), T6 x+/Misc "Plus x", T7 x/Misc "Plain x".
class SearchWindow
{
public:
    SearchWindow()
    {
        QFile file(QStringLiteral(ZORBETH_TEST_DATA_DIR "/search/zorbeth.txt"));
        file.open(QIODevice::ReadOnly);
        f.writeRaw(file.readAll());
        f.open();
        panel = f.find<SearchPanel>("frameSearch");
        box = f.find<QComboBox>("cmbSearch");
        list = f.find<QTreeView>("lstResults");
        Prompts::takeHistory();
    }

    Workspace& ws() { return f.window().workspace(); }
    QString status() { return f.find<QLabel>("StatusBar1")->text(); }
    QCheckBox* check(const char* name) { return f.find<QCheckBox>(name); }
    QAction* action(const char* name) { return f.find<QAction>(name); }
    QString historyPath() const { return f.folder() + QStringLiteral("/zorbethsearch.txt"); }

    void select(const QString& key) { f.tree()->setCurrentItem(f.tree()->nodeByKey(key)); }

    void search(const QString& term)
    {
        box->setEditText(term);
        f.find<QPushButton>("cmdSearch")->click();
    }

    void enter(const QString& term)
    {
        box->setEditText(term);
        // Keys go to the combo box, which has the keyboard focus for its line edit.
        QTest::keyClick(box, Qt::Key_Return);
    }

    QStringList ids()
    {
        QStringList list;
        for (const ResultRows::Row& row : panel->results().rows()) {
            list << row.id();
        }
        return list;
    }

    QStringList history()
    {
        QFile file(historyPath());
        return file.open(QIODevice::ReadOnly) ? SearchHistory::parse(file.readAll()) : QStringList();
    }

    QStringList boxEntries()
    {
        QStringList entries;
        for (int i = 0; i < box->count(); ++i) {
            entries << box->itemText(i);
        }
        return entries;
    }

    WindowFixture f;
    SearchPanel* panel = nullptr;
    QComboBox* box = nullptr;
    QTreeView* list = nullptr;
};

} // namespace

class SearchWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void search_inTheSelectionsLanguageOpensTheFirstResult()
    {
        SearchWindow w;
        w.select(QStringLiteral("T4"));
        w.search(QStringLiteral("DIM"));
        QCOMPARE(w.ids(), QStringList{"T3"});
        QCOMPARE(w.status(), QStringLiteral("1 matching entries"));
        QCOMPARE(w.f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("dim light"));
        QCOMPARE(LibraryTree::key(w.f.tree()->currentItem()), QStringLiteral("T3"));

        w.check("chkAllLanguages")->setChecked(true);
        w.search(QStringLiteral("DIM"));
        QCOMPARE(w.ids(), (QStringList{"T0", "T2", "T3"}));
        w.check("chkIgnoreCase")->setChecked(false);
        w.search(QStringLiteral("DIM"));
        QCOMPARE(w.ids(), QStringList{"T2"});
    }

    void search_languageIsThatOfTheSelectedNodeInAnyCase_data()
    {
        QTest::addColumn<QString>("node");
        QTest::newRow("language node") << "Alpha";
        QTest::newRow("category node") << "Alpha:::Strings";
        QTest::newRow("snippet node of the other spelling") << "T1";
    }

    void search_languageIsThatOfTheSelectedNodeInAnyCase()
    {
        QFETCH(QString, node);
        SearchWindow w;
        w.select(node);
        w.search(QStringLiteral("i"));
        QCOMPARE(w.ids(), (QStringList{"T0", "T1", "T2"}));
    }

    void oneLanguageView_confinesEvenAllLanguages()
    {
        SearchWindow w;
        w.select(QStringLiteral("T3"));
        w.action("mnuAllHide")->trigger();
        w.check("chkAllLanguages")->setChecked(true);
        w.search(QStringLiteral("i"));
        QCOMPARE(w.ids(), (QStringList{"T3", "T4"}));
        QCOMPARE(w.f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("dim light"));
    }

    void columnClick_sortsAndASortedRowStillOpensItsSnippet()
    {
        SearchWindow w;
        w.check("chkAllLanguages")->setChecked(true);
        w.f.find<QPushButton>("cmdAllTitles")->click();
        QHeaderView* header = w.list->header();
        w.panel->show();
        for (const QString& first : {QStringLiteral("T3"), QStringLiteral("T5")}) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(ResultRows::TitleColumn) + 5, header->height() / 2));
            QCOMPARE(w.ids().first(), first);
        }
        w.list->setCurrentIndex(w.list->model()->index(1, 0));
        w.panel->DisplaySelectedResult();
        QCOMPARE(LibraryTree::key(w.f.tree()->currentItem()), QStringLiteral("T2"));
        QCOMPARE(w.f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Trim text"));
        QCOMPARE(w.list->model()->index(1, 0).data(ResultsModel::KeyRole).toString(), QStringLiteral("I1"));
    }

    void openingAResultWithoutANode_beepsAndLeavesTheSelection()
    {
        SearchWindow w;
        w.check("chkAllLanguages")->setChecked(true);
        w.f.find<QPushButton>("cmdAllTitles")->click();
        w.select(QStringLiteral("T3"));
        w.action("mnuAllHide")->trigger();
        w.list->setCurrentIndex(w.list->model()->index(0, 0));
        w.panel->DisplaySelectedResult();
        QCOMPARE(w.status(), QStringLiteral("Selected search result code snippet not found in Tree!"));
        QCOMPARE(LibraryTree::key(w.f.tree()->currentItem()), QStringLiteral("T3"));
    }

    void reorderingCommands_emptyTheResultList_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Sort Entire Tree") << "mnuSortTree";
        QTest::newRow("Display All Languages") << "mnuAllDisplay";
        QTest::newRow("Restore Backup") << "mnuRestore";
    }

    void reorderingCommands_emptyTheResultList()
    {
        QFETCH(QString, command);
        SearchWindow w;
        // A snippet that sorts first moves every other one to the next index.
        const SnippetRecord first = WindowFixture::record(QStringLiteral("Aardvark"), QStringLiteral("Ants"),
                                                          QStringLiteral("First"));
        if (command == QLatin1String("mnuRestore")) {
            CodeArray backup = w.ws().codeArray;
            backup.push_back(first);
            QVERIFY(DatabaseFile::write(w.f.folder() + QStringLiteral("/zorbeth.txt.old"), backup));
            Prompts::queueAnswer(Prompts::Answer::Ok);
        } else {
            w.ws().codeArray.push_back(first);
        }
        if (command == QLatin1String("mnuAllDisplay")) {
            w.select(QStringLiteral("T4"));
            w.action("mnuAllHide")->trigger();
        }
        w.check("chkAllLanguages")->setChecked(true);
        w.f.find<QPushButton>("cmdAllTitles")->click();
        QVERIFY(w.panel->results().rowCount() > 1);

        w.action(command.toLatin1().constData())->trigger();
        QCOMPARE(w.ws().codeArray.front().Title, QStringLiteral("First"));
        QCOMPARE(w.panel->results().rowCount(), 0);
        QCOMPARE(w.list->model()->rowCount(), 0);
    }

    void resultsTree_holdsOnlyTheMatches()
    {
        SearchWindow w;
        w.f.find<QPushButton>("cmdTree")->click();
        QCOMPARE(w.status(), QStringLiteral("No search results found.  Cannot create Tree."));
        QVERIFY(!w.ws().ResultsInTree);

        w.check("chkAllLanguages")->setChecked(true);
        w.search(QStringLiteral("x"));
        w.f.find<QPushButton>("cmdTree")->click();
        QCOMPARE(WindowFixture::outline(w.f.tree()),
                 (QStringList{"Alpha", "  Basics", "    Dim statement", "    Loop forms", "  Strings",
                              "    Trim text", "x+", "  Misc", "    Plus x", "x", "  Misc", "    Plain x"}));
        QCOMPARE(w.status(), QStringLiteral("5 entries loaded into Tree"));
        QVERIFY(w.ws().ResultsInTree);
        // The first result was selected in the list, so it is the one shown; bookmarks show plain here.
        QCOMPARE(LibraryTree::key(w.f.tree()->currentItem()), QStringLiteral("T0"));
        QCOMPARE(LibraryTree::image(w.f.tree()->nodeByKey(QStringLiteral("T1"))), QStringLiteral("form"));

        w.action("mnuAutoDisplaySearch")->setChecked(false);
        w.search(QStringLiteral("dim"));
        w.f.find<QPushButton>("cmdTree")->click();
        QCOMPARE(w.f.tree()->currentItem(), w.f.tree()->topLevelItem(0));
        QVERIFY(w.f.tree()->topLevelItem(0)->isExpanded());
    }

    void copyTitles_putsTheListOnTheClipboard()
    {
        SearchWindow w;
        w.select(QStringLiteral("Beta"));
        w.f.find<QPushButton>("cmdAllTitles")->click();
        auto* popup = w.f.find<QMenu>("mnuPopupResults");
        QVERIFY(popup);
        QStringList items;
        for (QAction* a : popup->actions()) {
            items << a->objectName();
        }
        QCOMPARE(items, (QStringList{"mnuBookmarkAll", "mnuCopyTitles"}));
        w.action("mnuCopyTitles")->trigger();
        QStringList headings;
        for (int c = 0; c < w.list->model()->columnCount(); ++c) {
            headings << w.list->model()->headerData(c, Qt::Horizontal).toString();
        }
        QCOMPARE(headings, (QStringList{"Language", "Category", "Title", "ID", "Date"}));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("dim light\r\nRead lines"));
    }

    void history_isCreatedAtFirstStartAndTakesTermsEnteredWithEnter()
    {
        SearchWindow w;
        QCOMPARE(w.history(), QStringList{"<empty>"});
        QCOMPARE(w.boxEntries(), QStringList{"<search string>"});
        w.enter(QStringLiteral("dim"));
        QCOMPARE(w.history(), (QStringList{"dim", "<search string>"}));
        QCOMPARE(w.ids(), (QStringList{"T0", "T2"}));

        // The button and the drop-down search without touching the history.
        w.search(QStringLiteral("other"));
        w.box->setCurrentIndex(1);
        emit w.box->activated(1);
        QCOMPARE(w.history(), (QStringList{"dim", "<search string>"}));

        for (int i = 1; i <= 25; ++i) {
            w.enter(QStringLiteral("term %1").arg(i));
        }
        QCOMPARE(w.history().size(), 20);
        QCOMPARE(w.history().first(), QStringLiteral("term 25"));
        QCOMPARE(w.boxEntries(), w.history());
        w.enter(QStringLiteral("term 10"));
        QCOMPARE(w.history().mid(0, 2), (QStringList{"term 10", "term 25"}));
        QCOMPARE(w.history().count(QStringLiteral("term 10")), 1);
    }

    void commandsEnteredWithEnter_areRecordedThenRun()
    {
        SearchWindow w;
        w.enter(QStringLiteral("..ClearRegistry"));
        QCOMPARE(w.history().first(), QStringLiteral("..ClearRegistry"));
        QVERIFY(!w.ws().SaveSettingsOnExit);

        w.enter(QStringLiteral("..clearlist"));
        QVERIFY(!QFile::exists(w.historyPath()));
        QVERIFY(w.boxEntries().isEmpty());
    }

    void editorCommands_askForTheEditorOptions()
    {
        SearchWindow w;
        QSignalSpy spy(w.panel, &SearchPanel::editorOptionsRequested);
        w.search(QStringLiteral("..EditorOn"));
        w.search(QStringLiteral("..editoroff"));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy[0][0].toBool(), true);
        QCOMPARE(spy[1][0].toBool(), false);
        // With a leading blank it is a search term.
        w.search(QStringLiteral(" ..editoron"));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(w.status(), QStringLiteral("0 matching entries"));
    }

    void maintenanceCommands_doWhatTheyName()
    {
        SearchWindow w;
        w.search(QStringLiteral("..showsettings"));
        QCOMPARE(w.status(), QStringLiteral("No settings available"));
        w.f.window().context().settings.save(QStringLiteral("FontName"), QStringLiteral("Mono"));
        w.search(QStringLiteral("..showsettings"));
        const auto prompts = Prompts::takeHistory();
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0].title, QStringLiteral("Zorbeth Registry Settings"));
        QCOMPARE(prompts[0].text, QStringLiteral("\r\nFontName  Mono"));
        QCOMPARE(prompts[0].icon, Prompts::Icon::Information);

        const bool trace = w.ws().options.zqTest;
        w.search(QStringLiteral("..zqtest"));
        QCOMPARE(w.ws().options.zqTest, !trace);

        w.ws().codeArray[5].Deleted = true;
        w.search(QStringLiteral("..timestamp"));
        QVERIFY(w.status().startsWith(QStringLiteral("All snippets updated to ")));
        const QString stamp = w.status().mid(24);
        for (const SnippetRecord& r : w.ws().codeArray) {
            QCOMPARE(r.Date, stamp);
        }
        QVERIFY(w.ws().CodeChanged);

        UrlCatcher catcher;
        w.search(QStringLiteral("..clearlist"));
        w.search(QStringLiteral("..editlist"));
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(w.historyPath())});
        QVERIFY(QFile::exists(w.historyPath()));
    }

    void bookmarkCommands_changeKeywordsAndPictures()
    {
        SearchWindow w;
        CommandToolbar* toolbar = w.f.find<CommandToolbar>("Toolbar1");
        auto* keywords = w.f.find<QLineEdit>("txtKeywords");
        w.select(QStringLiteral("T0"));
        toolbar->Toolbar1_ButtonClick(QStringLiteral("Bookmark"));
        QCOMPARE(w.ws().codeArray[0].Keywords, QStringLiteral("vb declare bookmark"));
        QCOMPARE(keywords->text(), QStringLiteral("vb declare bookmark"));
        QCOMPARE(LibraryTree::image(w.f.tree()->nodeByKey(QStringLiteral("T0"))), QStringLiteral("marker"));
        QCOMPARE(w.status(), QStringLiteral("Snippet bookmarked"));
        QVERIFY(w.ws().CodeChanged);
        QCOMPARE(w.ws().codeArray[0].Date, QStringLiteral("2024-01-05 09:00:00"));

        w.panel->RemoveBookmarkFromSelectedSnippet();
        QCOMPARE(w.ws().codeArray[0].Keywords, QStringLiteral("vb declare"));
        QCOMPARE(LibraryTree::image(w.f.tree()->nodeByKey(QStringLiteral("T0"))), QStringLiteral("form"));
        QCOMPARE(w.status(), QStringLiteral("Snippet bookmark removed"));

        w.ws().CodeChanged = false;
        w.select(QStringLiteral("T1"));
        w.action("mnuSetBookmark")->trigger();
        QCOMPARE(w.ws().codeArray[1].Keywords, QStringLiteral("BOOKMARK"));
        QVERIFY(!w.ws().CodeChanged);
        QCOMPARE(w.status(), QStringLiteral("Snippet bookmarked"));

        for (const QString& node : {QStringLiteral("Alpha"), QStringLiteral("Alpha:::Basics")}) {
            w.select(node);
            w.panel->BookMarkSelectedSnippet();
            QCOMPARE(w.status(), QStringLiteral("Not a code snippet.  Cannot bookmark."));
            w.panel->RemoveBookmarkFromSelectedSnippet();
            QCOMPARE(w.status(), QStringLiteral("Not a code snippet.  Cannot bookmark."));
        }
    }

    void bookmarkAll_inTheOneLanguageViewChangesThatLanguageOnly()
    {
        SearchWindow w;
        w.check("chkAllLanguages")->setChecked(true);
        w.search(QStringLiteral("i"));
        w.select(QStringLiteral("T3"));
        w.action("mnuAllHide")->trigger();
        w.list->setCurrentIndex(w.list->model()->index(4, 0));
        w.action("mnuBookmarkAll")->trigger();
        QCOMPARE(w.ws().codeArray[3].Keywords, QStringLiteral("bookmark"));
        QCOMPARE(w.ws().codeArray[4].Keywords, QStringLiteral("io, File bookmark"));
        QCOMPARE(w.ws().codeArray[0].Keywords, QStringLiteral("vb declare"));
        QCOMPARE(LibraryTree::image(w.f.tree()->nodeByKey(QStringLiteral("T3"))), QStringLiteral("marker"));
        // The selected row, "Read lines", is opened.
        QCOMPARE(w.f.find<QLineEdit>("txtKeywords")->text(), QStringLiteral("io, File bookmark"));
        QVERIFY(w.ws().CodeChanged);
    }

    void removeAllBookmarks_clearsEveryMarkAndCountsAsAChange()
    {
        SearchWindow w;
        w.select(QStringLiteral("T2"));
        w.action("mnuRemoveBookmarks")->trigger();
        QCOMPARE(w.ws().codeArray[1].Keywords, QString());
        // " bookmark" goes before "bookmark", so "string bookmarks" loses its blank too.
        QCOMPARE(w.ws().codeArray[2].Keywords, QStringLiteral("strings"));
        QCOMPARE(w.ws().codeArray[5].Keywords, QStringLiteral("api sort"));
        QCOMPARE(w.f.find<QLineEdit>("txtKeywords")->text(), QStringLiteral("strings"));
        w.action("mnuTreeExpand")->trigger();
        QVERIFY(w.f.tree()->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive).size() >
                8);
        for (QTreeWidgetItem* node :
             w.f.tree()->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive)) {
            QVERIFY(LibraryTree::image(node) != QLatin1String("marker"));
        }
        // Unlike a silent change, closing now asks whether to save it.
        QVERIFY(w.ws().CodeChanged);
    }

    void wordLists_fillTheDropDownAndAWordPickedSearches()
    {
        SearchWindow w;
        w.select(QStringLiteral("Alpha"));
        w.f.find<QRadioButton>("optKeys")->click();
        QCOMPARE(w.boxEntries(), (QStringList{"bookmark", "bookmarks", "declare", "string", "vb"}));
        QCOMPARE(w.status(), QStringLiteral("5 unique words found"));
        QCOMPARE(w.box->currentText(), QStringLiteral("bookmark"));

        w.f.find<QRadioButton>("optAll")->click();
        QCOMPARE(w.boxEntries(),
                 (QStringList{"10", "as", "bookmark", "bookmarks", "declare", "dim", "for", "forms", "long",
                              "loop", "next", "statement", "string", "text", "to", "trim", "vb"}));
        QVERIFY(w.status().startsWith(QStringLiteral("17 unique words found from list of ")));

        const int declare = w.box->findText(QStringLiteral("declare"));
        w.box->setCurrentIndex(declare);
        emit w.box->activated(declare);
        QCOMPARE(w.ids(), QStringList{"T0"});

        w.f.find<QRadioButton>("optUser")->click();
        QCOMPARE(w.boxEntries(), QStringList{"<empty>"});
    }

    void enterWhileAWordListShows_keepsTheHistory()
    {
        SearchWindow w;
        w.enter(QStringLiteral("first"));
        w.f.find<QRadioButton>("optAll")->click();
        w.enter(QStringLiteral("dim"));
        QCOMPARE(w.history(), (QStringList{"dim", "first", "<search string>"}));
        QCOMPARE(w.boxEntries(), w.history());
        QVERIFY(w.f.find<QRadioButton>("optUser")->isChecked());
    }

    void searchFrame_isShownAndHiddenByButtonAndMenu()
    {
        SearchWindow w;
        QSignalSpy layout(w.panel, &SearchPanel::layoutChanged);
        QAction* button = w.f.find<CommandToolbar>("Toolbar1")->button(QStringLiteral("Search"));
        QVERIFY(button->isChecked());
        button->trigger();
        QVERIFY(w.panel->isHidden());
        QVERIFY(!w.action("mnuDisplaySearchFrame")->isChecked());
        QCOMPARE(layout.size(), 1);
        w.panel->mnuDisplaySearchFrame_Click();
        QVERIFY(!w.panel->isHidden());
        QVERIFY(button->isChecked());
        QCOMPARE(layout.size(), 2);

        button->trigger();
        QVERIFY(w.f.window().close());
        QCOMPARE(w.f.settings().getInt(QStringLiteral("Search"), 1), 0);
    }

    void options_areStoredAtCloseAndComeBack()
    {
        SearchWindow w;
        w.check("chkIgnoreCase")->setChecked(false);
        w.check("chkAllLanguages")->setChecked(true);
        w.check("chkSearchCode")->setChecked(false);
        w.action("mnuAutoDisplaySearch")->setChecked(false);
        w.action("mnuLastSearch")->trigger();
        QVERIFY(w.f.window().close());
        w.f.closeWindow();
        const SettingsStore s = w.f.settings();
        QCOMPARE(s.getInt(QStringLiteral("IgnoreCase"), -1), 0);
        QCOMPARE(s.getInt(QStringLiteral("AllLanguages"), -1), 1);
        QCOMPARE(s.getInt(QStringLiteral("SearchCode"), -1), 0);
        QCOMPARE(s.getBool(QStringLiteral("DisplaySearch"), true), false);
        QCOMPARE(s.getBool(QStringLiteral("LastSearch"), false), true);
        w.f.open();
        QVERIFY(!w.f.find<QCheckBox>("chkIgnoreCase")->isChecked());
        QVERIFY(w.f.find<QCheckBox>("chkAllLanguages")->isChecked());
        QVERIFY(!w.f.find<QAction>("mnuAutoDisplaySearch")->isChecked());
    }

    void frame_givesWayToTheComparisonListAndSharesItsWidth()
    {
        SearchWindow w;
        w.panel->FrameSearchControlsVisible(false);
        QVERIFY(w.box->isHidden() && w.list->isHidden() && w.check("chkSearchWithin")->isHidden());
        w.panel->setCaption(QStringLiteral("Server Source Code (Differences)"));
        QCOMPARE(w.ws().options.RShare, 65);
        w.panel->frameSearch_Click();
        QCOMPARE(w.ws().options.RShare, 30);
        w.panel->frameSearch_Click();
        QCOMPARE(w.ws().options.RShare, 65);

        w.panel->FrameSearchControlsVisible(true);
        w.panel->setCaption(QStringLiteral("Search"));
        w.list->resize(1000, 200);
        w.panel->frameSearch_Click();
        QCOMPARE(w.list->columnWidth(ResultRows::TitleColumn), 400);
        QCOMPARE(w.list->columnWidth(ResultRows::CategoryColumn), 200);
    }
};

QTEST_MAIN(SearchWindowTest)
#include "tst_search_window.moc"
