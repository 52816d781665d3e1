#pragma once

#include "search/SearchEngine.h"
#include "search/SearchScope.h"
#include "store/MappedDatabase.h"

#include <QString>
#include <vector>

// The search commands over a mapped database file, finding what the same command over its records
// after load and sort finds, on the file's bytes where the term allows.
namespace MappedSearch {

// The records in file order that SearchEngine::TextSearch (not within earlier results) finds.
std::vector<size_t> TextSearch(const MappedDatabase& db, const QString& term, Qt::CaseSensitivity cs,
                               SearchEngine::Fields fields, const SearchScope& scope);

// The position of every record (by file order) in the library order after load and sort.
std::vector<size_t> libraryPositions(const MappedDatabase& db);

} // namespace MappedSearch
