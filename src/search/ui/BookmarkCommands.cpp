#include "search/ui/BookmarkCommands.h"

#include "gui/BackgroundWork.h"
#include "gui/CommandToolbar.h"
#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "search/Bookmarks.h"
#include "search/SearchScope.h"
#include "search/ui/SearchLanguage.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

BookmarkCommands::BookmarkCommands(WindowContext& context, std::function<bool()> oneLanguageView,
                                   std::function<bool()> openSelectedResult, QObject* parent)
    : QObject(parent), m_context(context), m_oneLanguageView(std::move(oneLanguageView)),
      m_openSelectedResult(std::move(openSelectedResult))
{
    QMenu* menu = m_context.menus.search;
    menu->addSeparator();
    QAction* set = menu->addAction(tr("Set &Bookmark"), this, &BookmarkCommands::BookMarkSelectedSnippet);
    set->setObjectName(QStringLiteral("mnuSetBookmark"));
    QAction* removeAll =
        menu->addAction(tr("Remove All Book&marks"), this, &BookmarkCommands::mnuRemoveBookmarks_Click);
    removeAll->setObjectName(QStringLiteral("mnuRemoveBookmarks"));

    m_context.toolbar.setCommand(QStringLiteral("Bookmark"), [this] { BookMarkSelectedSnippet(); });
    m_context.toolbar.setCommand(QStringLiteral("UnBookmark"),
                                 [this] { RemoveBookmarkFromSelectedSnippet(); });
}

QTreeWidgetItem* BookmarkCommands::selectedSnippetNode()
{
    if (m_context.treeController.selectedRecord() == nullptr) {
        m_context.status.setText(QStringLiteral("Not a code snippet.  Cannot bookmark."));
        return nullptr;
    }
    return m_context.tree.currentItem();
}

void BookmarkCommands::setImage(QTreeWidgetItem* node, const QString& image)
{
    if (node != nullptr && LibraryTree::image(node) != image) {
        node->setData(0, LibraryTree::ImageRole, image);
        m_context.tree.updateImage(node);
    }
}

void BookmarkCommands::showKeywords(const QString& keywords)
{
    m_context.ws.UpdateInProgress = true;
    m_context.views.txtKeywords->setText(keywords);
    m_context.ws.UpdateInProgress = false;
}

void BookmarkCommands::BookMarkSelectedSnippet()
{
    QTreeWidgetItem* node = selectedSnippetNode();
    if (node == nullptr) {
        return;
    }
    SnippetRecord& r = *m_context.treeController.selectedRecord();
    if (!r.isBookmarked()) {
        r.Keywords = Bookmarks::added(r.Keywords);
        setImage(node, LibraryTree::MarkerImage);
        showKeywords(r.Keywords);
        m_context.ws.CodeChanged = true;
    }
    m_context.status.setText(QStringLiteral("Snippet bookmarked"));
}

void BookmarkCommands::RemoveBookmarkFromSelectedSnippet()
{
    QTreeWidgetItem* node = selectedSnippetNode();
    if (node == nullptr) {
        return;
    }
    SnippetRecord& r = *m_context.treeController.selectedRecord();
    r.Keywords = Bookmarks::removed(r.Keywords);
    showKeywords(r.Keywords);
    setImage(node, LibraryTree::FormImage);
    m_context.status.setText(QStringLiteral("Snippet bookmark removed"));
    m_context.ws.CodeChanged = true;
}

void BookmarkCommands::mnuBookmarkAll_Click()
{
    const WaitCursor wait;
    const SearchScope scope(SearchLanguage::ofSelection(m_context.tree), true, m_oneLanguageView());
    CodeArray& records = m_context.ws.codeArray;
    QList<qsizetype> marked;
    // Only the keywords change, which nothing shows while the window repaints.
    runWhilePainting(records.size(), [&] { marked = Bookmarks::addToAll(records, scope); });
    m_context.tree.setSnippetImages(marked, LibraryTree::MarkerImage);
    if (!marked.isEmpty()) {
        m_context.ws.CodeChanged = true;
    }
    // The keyword box must show the selected snippet's own keywords, or typing there would give it
    // another snippet's.
    if (!m_openSelectedResult()) {
        showSelectedKeywords();
    }
}

void BookmarkCommands::showSelectedKeywords()
{
    if (const SnippetRecord* record = m_context.treeController.selectedRecord()) {
        showKeywords(record->Keywords);
    }
}

void BookmarkCommands::mnuRemoveBookmarks_Click()
{
    const WaitCursor wait;
    bool changed = false;
    CodeArray& records = m_context.ws.codeArray;
    runWhilePainting(records.size(), [&] { changed = Bookmarks::removeFromAll(records); });
    m_context.tree.removeAllMarkers();
    showSelectedKeywords();
    // The removal is a change like any other: closing must not drop it without asking.
    if (changed) {
        m_context.ws.CodeChanged = true;
    }
}
