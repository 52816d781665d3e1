#pragma once

#include "store/SnippetRecord.h"

#include <QList>
#include <QString>

class SearchScope;

// A snippet is bookmarked when its keywords contain "bookmark" in any case; the commands add and
// remove that text.
namespace Bookmarks {

// The text with leading and trailing blanks removed (blanks only, not other white space).
QString trimBlanks(const QString& text);

// The keywords with " bookmark" appended, trimmed of blanks at both ends: "api" gives "api bookmark",
// "" gives "bookmark", "api " gives "api  bookmark".
QString added(const QString& keywords);

// The keywords with every "bookmark" cut out, in any case: " bookmark " becomes " ", then " bookmark",
// "bookmark " and "bookmark" are removed, each step followed by trimming blanks. "bookmarks api"
// gives "s api".
QString removed(const QString& keywords);

// Bookmarks every matched, non-deleted record of the scope that is not bookmarked yet (keywords
// made with added()); gives their indexes, ascending. Large libraries are worked on in slices at once.
QList<qsizetype> addToAll(CodeArray& records, const SearchScope& scope);

// Takes the bookmark out of every record's keywords (removed()); true when a non-deleted record changed.
bool removeFromAll(CodeArray& records);

} // namespace Bookmarks
