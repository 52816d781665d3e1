#pragma once

#include "gui/SnippetViews.h"

#include <QObject>
#include <QPointer>

class CommandToolbar;
class LibraryTree;
class QLabel;
class QTreeWidgetItem;
struct SnippetRecord;
struct Workspace;

// Builds the library tree from the code array and shows the selected node in the snippet views.
class TreeController : public QObject
{
    Q_OBJECT

public:
    TreeController(Workspace& ws, LibraryTree& tree, SnippetViews views, CommandToolbar& toolbar,
                   QLabel& status, QObject* parent = nullptr);

    // Loads the fixed node pictures and every ".ico" of the program folder's "language_icons".
    void LoadIcons();

    // Clears the tree and rebuilds it from the sorted code array; selects the first node. Every
    // re-sort and reload calls it, and it tells the holders of record indexes (recordsReordered).
    void FillTreeView();

    // Shows a node: a snippet's fields, or the summary of a language or category.
    void Tree_NodeClick(QTreeWidgetItem* node);

    // The code-array index of the selected snippet node.
    qsizetype Selection() const;

    // The record a node stands for when it is a snippet node, else nullptr.
    SnippetRecord* recordOf(const QTreeWidgetItem* node) const;
    // The record of the selected node when it is a snippet, else nullptr.
    SnippetRecord* selectedRecord() const;

    // A mouse button pressed over a node selects and shows it, and makes it the node a drag moves.
    void Tree_MouseDown(QTreeWidgetItem* node, Qt::MouseButton button);
    QTreeWidgetItem* dragNode() const { return m_dragNode; }

signals:
    // The code array was re-sorted or reloaded and the tree rebuilt from it: record indexes kept
    // outside the tree (result rows) no longer name the same snippets. FillTreeView emits it, and
    // every re-sort and reload of the library ends with FillTreeView.
    void recordsReordered();
    // A node was just shown, while UpdateInProgress still guards the views (the colouring hooks here).
    void nodeShown(QTreeWidgetItem* node);

private:
    void showSummary(QTreeWidgetItem* node);
    void showSnippet(QTreeWidgetItem* node);
    void setSnippetEditable(bool editable);

    Workspace& m_ws;
    LibraryTree& m_tree;
    SnippetViews m_views;
    CommandToolbar& m_toolbar;
    QLabel& m_status;
    QTreeWidgetItem* m_dragNode = nullptr;
};
