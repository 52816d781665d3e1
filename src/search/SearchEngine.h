#pragma once

#include "search/SearchScope.h"
#include "store/SnippetRecord.h"

#include <QString>

// The three search commands over the code array. Each sets the Matched flag of the records (the
// result set the list, the results tree and "Bookmark All" work on) and returns the number of matches.
namespace SearchEngine {

// The fields a text search looks in ("Titles", "Keywords", "Code").
struct Fields
{
    bool titles = true;
    bool keywords = true;
    bool code = true;
};

// A term that is empty or only blanks is not searched.
bool isBlank(const QString& term);

// The text a record is searched in: the ticked fields joined by CR LF, each field after the first
// ticked one with its CR LF in front, so an unticked title leaves the text starting with CR LF.
QString searchText(const SnippetRecord& record, Fields fields);

// Text search for term as typed. With within, only records matched before can match again; deleted
// records are passed over and keep their flag.
qsizetype TextSearch(CodeArray& records, const QString& term, Qt::CaseSensitivity cs, Fields fields,
                     bool within, const SearchScope& scope);

// Every non-deleted record in scope.
qsizetype ListAllTitles(CodeArray& records, const SearchScope& scope);

// Every non-deleted bookmarked record in scope.
qsizetype ListBookmarked(CodeArray& records, const SearchScope& scope);

} // namespace SearchEngine
