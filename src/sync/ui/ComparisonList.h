#pragma once

#include "store/SnippetRecord.h"

#include <functional>
#include <QObject>
#include <QPointer>
#include <vector>

class CodeEditor;
class ComparisonView;
class QAction;
class QMenu;
class RemoteListModel;
class SearchFrame;
struct WindowContext;

// What the comparison list needs from other panels, handed over by the window.
struct ComparisonHooks
{
    std::function<bool()> oneLanguageView;                       // the tree shows one language
    std::function<QString()> keptLanguage;                       // ... and this is the one
    std::function<void(CodeEditor&, const QString&)> colourCode; // colours a code view for a language
    std::function<void()> applySyntax;                           // colours the main editor again
};

// The comparison list "lstRemote" with its code view "txtRemote": the staged snippets that differ
// from the library, or whose titles match with other code; the jump to the local snippet of a row,
// the pop-up menus and Replace Tree Code. It alone writes the staged array, and only when a
// comparison mode is entered, since the rows name staged records by their index.
class ComparisonList : public QObject
{
    Q_OBJECT

public:
    ComparisonList(WindowContext& context, SearchFrame& frame, ComparisonHooks hooks,
                   QObject* parent = nullptr);
    ~ComparisonList() override;

    // Replaces the staged array; the list is emptied, since its rows named the old records.
    void setStaged(CodeArray staged);
    const CodeArray& staged() const;

    // The file a local import staged, which the status texts end with; empty for the server.
    void setImportFileName(const QString& name) { m_importFileName = name; }
    QString importFileName() const { return m_importFileName; }

    // The list and code view shown while a comparison mode is on.
    ComparisonView& view() const;

    // Shows or hides the list and the code view; hiding keeps the rows.
    void setViewsVisible(bool visible);
    // Empties the list and the code view.
    void clearList();
    // The differences view and the matching view of the staged array against the library.
    void FillListViewRemote();
    void FillListViewRemoteMatching();
    // The list holds only the row "<none>" with text; "Import" is disabled.
    void showFailure(const QString& text);

    // Shows a row's staged code and, for a red row or in the matching view, the local snippet.
    void lstRemote_ItemClick(int row);
    // Selects and shows the library snippet with the selected row's language and title.
    void ShowLocalCounterpart();

    void mnuRemoteAll_Click();
    void mnuRemoteNone_Click();
    void mnuRemoteDisplayAll_Click();
    void mnuRemoteDisplayMatching_Click();
    // Puts the previewed staged code into the selected library snippet.
    void mnuReplaceTreeCode_Click();

    // The staged indexes of the ticked rows in list order; their ticks are cleared.
    std::vector<qsizetype> takeTicked();

    int selectedRow() const;

public slots:
    // The frame changed its size or the list's share: the two views are placed again.
    void layoutViews();

private:
    void createMenus();
    void fill(bool matching);
    void selectRow(int row);
    void showStagedCode(qsizetype id);
    void setStatus(const QString& text);

    WindowContext& m_context;
    SearchFrame& m_frame;
    ComparisonHooks m_hooks;
    RemoteListModel* m_model = nullptr;
    QPointer<ComparisonView> m_view; // lives in the frame, but reads this list's state
    QString m_importFileName;
    bool m_matching = false;
    bool m_selectingRow = false; // the program, not the user, is moving the current row
    // Where the staged array stood when it was last set: nothing else may reload or re-sort it.
    const SnippetRecord* m_stagedData = nullptr;
    size_t m_stagedSize = 0;

    QMenu* m_mnuPopupRemote = nullptr;
    QAction* m_mnuRemoteDisplayAll = nullptr;
    QAction* m_mnuRemoteDisplayMatching = nullptr;
    QMenu* m_mnuPopupResultCode = nullptr;
};
