#pragma once

#include <functional>
#include <QObject>

class QAction;
class QTreeWidgetItem;
struct WindowContext;

// Setting and removing bookmarks: on the selected snippet, on every search result, on the library.
class BookmarkCommands : public QObject
{
    Q_OBJECT

public:
    // oneLanguageView tells whether the tree shows one language only; openSelectedResult opens the
    // result list's selected row and tells whether there was one with a node to open.
    BookmarkCommands(WindowContext& context, std::function<bool()> oneLanguageView,
                     std::function<bool()> openSelectedResult, QObject* parent = nullptr);

public slots:
    void BookMarkSelectedSnippet();
    void RemoveBookmarkFromSelectedSnippet();
    // Bookmarks every listed search result.
    void mnuBookmarkAll_Click();
    // Removes every bookmark of the library.
    void mnuRemoveBookmarks_Click();

private:
    // The selected node when it is a snippet; otherwise says so in the status bar and gives nullptr.
    QTreeWidgetItem* selectedSnippetNode();
    void setImage(QTreeWidgetItem* node, const QString& image);
    void showKeywords(const QString& keywords);
    void showSelectedKeywords();

    WindowContext& m_context;
    std::function<bool()> m_oneLanguageView;
    std::function<bool()> m_openSelectedResult;
};
