#pragma once

#include "store/SnippetRecord.h"

class LibraryTree;

// The tree built from the search results instead of the whole library: only the matched records, with
// the library tree's keys, so results and snippet commands find their nodes as in the full tree.
class ResultsTree
{
public:
    // Clears the tree and adds a node for every matched, non-deleted record, with its language and
    // category above it; nothing is selected. Returns the number of snippet nodes.
    static qsizetype build(const CodeArray& records, LibraryTree& tree);
};
