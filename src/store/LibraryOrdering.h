#pragma once

#include "store/SnippetRecord.h"

// The order of the library: language, category, title, lower-cased and compared by UTF-16 code unit.
namespace LibraryOrdering {

// The sort key of a record: lower-case language ":::" category ":::" title.
QString sortKey(const SnippetRecord& record);

// The order SortCodeByLanguage puts the records in: the old index of each record, from the first.
std::vector<size_t> sortedOrder(const CodeArray& array);

// Puts the records in order, as sortedOrder gave it for this array.
void applyOrder(CodeArray& array, const std::vector<size_t>& order);

// Sorts the whole code array ascending by sort key.
void SortCodeByLanguage(CodeArray& array);

} // namespace LibraryOrdering
