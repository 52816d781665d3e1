#pragma once

#include "gui/SearchFrame.h"
#include "gui/SettingsClient.h"
#include "search/SearchScope.h"

#include <functional>
#include <QFrame>

class BookmarkCommands;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeView;
class ResultsModel;
class SearchHistoryBox;
class WordListCommands;
struct WindowContext;

// The search area "frameSearch": the search box with its history and commands, the options, the
// three search commands, the result list and the results tree, and the bookmark commands.
class SearchPanel : public QFrame, public SettingsClient, public SearchFrame
{
    Q_OBJECT

public:
    explicit SearchPanel(WindowContext& context, QWidget* parent = nullptr);
    ~SearchPanel() override;

    // Where the one-language view flag is read; until set, the stored setting is used.
    void setOneLanguageViewSource(std::function<bool()> source) { m_oneLanguageView = std::move(source); }
    bool oneLanguageView() const;

    // The search box and the result list, which the shell hands to the editor's colouring.
    QComboBox* searchBox() const { return m_cmbSearch; }
    QTreeView* resultList() const { return m_lstResults; }

    // The frame's caption: "Search", or the comparison list's while that has the frame.
    QString caption() const override;
    void setCaption(const QString& caption) override;

    // What the comparison list needs of the frame it borrows.
    void setFrameVisible(bool visible) override;
    bool searchButtonDown() const override;
    void setDisplayFrameCommandEnabled(bool enabled) override;
    void focusSearchBox() override;
    void hostComparison(QWidget* view) override;
    void requestLayout() override;

    // Text search for the box's text, or the search-box command it names.
    void cmdSearch_Click();
    // Lists every snippet of the search language.
    void cmdAllTitles_Click();
    // Lists the bookmarked snippets of the search language.
    void cmdFlags_Click();
    // Rebuilds the result list from the Matched flags.
    void FillListView();
    // Empties the result list.
    void clearResults();

    // Opens the snippet of the list's selected row in the tree and the editor.
    void DisplaySelectedResult();
    // Sorts the list by the clicked column.
    void lstResults_ColumnClick(int column);
    // Rebuilds the tree from the results.
    void cmdTree_Click();
    void FillTreeViewWithResults();
    // Puts the titles of all rows on the clipboard.
    void mnuCopyTitles_Click();
    // Shows or hides the search frame.
    void mnuDisplaySearchFrame_Click();
    // Shows or hides the search controls while the comparison list takes the frame.
    void FrameSearchControlsVisible(bool task) override;
    // A click on the frame itself lays it out again.
    void frameSearch_Click();

    // Enter in the search box: the term goes into the history, then the search runs.
    void cmbSearch_KeyPress(int keyAscii);

    // The scope of a search command from the tree's selection and the options.
    SearchScope currentScope() const;

    BookmarkCommands& bookmarks() { return *m_bookmarks; }
    WordListCommands& wordLists() { return *m_wordLists; }
    SearchHistoryBox& history() { return *m_history; }
    ResultsModel& results() { return *m_model; }

    void applySettings(const AppSettings& settings) override;
    void collectSettings(AppSettings& settings) const override;

public slots:
    void BookMarkSelectedSnippet();
    void RemoveBookmarkFromSelectedSnippet();

signals:
    // The frame was shown or hidden, or wants its size again: the window lays itself out.
    void layoutChanged();
    // "..editoron" and "..editoroff": switch the editor's display options on or off.
    void editorOptionsRequested(bool on);
    // "..printsettings": the text to print on the print path.
    void printRequested(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void createResultsPopup();
    // Runs the search-box command the text names; false when it is an ordinary search term.
    bool runSearchBoxCommand(const QString& text);
    void finishSearch(qsizetype count);
    // Opens the selected row's snippet; false when there is none or it has no node in the tree.
    bool openSelectedResult();
    int selectedRow() const;
    void showFrame(bool shown);
    void setStatus(const QString& text);

    WindowContext& m_context;
    std::function<bool()> m_oneLanguageView;

    QLabel* m_caption = nullptr;
    QComboBox* m_cmbSearch = nullptr;
    QPushButton* m_cmdSearch = nullptr;
    QPushButton* m_cmdAllTitles = nullptr;
    QPushButton* m_cmdFlags = nullptr;
    QPushButton* m_cmdTree = nullptr;
    QRadioButton* m_optUser = nullptr;
    QRadioButton* m_optKeys = nullptr;
    QRadioButton* m_optAll = nullptr;
    QCheckBox* m_chkIgnoreCase = nullptr;
    QCheckBox* m_chkSearchWithin = nullptr;
    QCheckBox* m_chkAllLanguages = nullptr;
    QCheckBox* m_chkSearchTitles = nullptr;
    QCheckBox* m_chkSearchKeywords = nullptr;
    QCheckBox* m_chkSearchCode = nullptr;
    QTreeView* m_lstResults = nullptr;
    ResultsModel* m_model = nullptr;
    bool m_selectingRow = false; // the program, not the user, is moving the list's current row

    QMenu* m_mnuPopupResults = nullptr;
    QAction* m_mnuDisplaySearchFrame = nullptr;
    QAction* m_mnuAutoDisplaySearch = nullptr;
    QAction* m_mnuLastSearch = nullptr;

    SearchHistoryBox* m_history = nullptr;
    WordListCommands* m_wordLists = nullptr;
    BookmarkCommands* m_bookmarks = nullptr;
};
