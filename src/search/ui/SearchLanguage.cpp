#include "search/ui/SearchLanguage.h"

#include "library/ui/LibraryTree.h"
#include "search/SearchScope.h"

namespace SearchLanguage {

QTreeWidgetItem* languageNode(QTreeWidgetItem* node)
{
    if (node == nullptr) {
        return nullptr;
    }
    const QString tag = LibraryTree::tag(node);
    if (tag == LibraryTree::LangTag) {
        return node;
    }
    if (tag == LibraryTree::CatTag) {
        return node->parent();
    }
    return node->parent() != nullptr ? node->parent()->parent() : nullptr;
}

QString ofSelection(const LibraryTree& tree)
{
    return SearchScope::searchLanguage(LibraryTree::key(languageNode(tree.currentItem())));
}

} // namespace SearchLanguage
