#pragma once

#include <QString>

class LibraryTree;
class QTreeWidgetItem;

// The language the search commands, word lists and "Bookmark All" work in: that of the tree's selection.
namespace SearchLanguage {

// The language node above a node: the node itself, its parent or its grandparent, by the node's tag.
QTreeWidgetItem* languageNode(QTreeWidgetItem* node);

// The lower-cased key of the selection's language node; empty when nothing is selected.
QString ofSelection(const LibraryTree& tree);

} // namespace SearchLanguage
