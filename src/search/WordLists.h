#pragma once

#include "search/SearchScope.h"
#include "store/SnippetRecord.h"

#include <QStringList>

// The ready-made search terms of the search box's drop-down: every distinct word ("All") or keyword
// ("Keys") of the records in scope, lower-cased and in character-code order.
namespace WordLists {

struct WordList
{
    QStringList words;
    qsizetype pieces = 0; // pieces of the split text, empty ones included
};

// Words of keywords, titles and code, split at blanks and at the separator characters
// * + ' & ? @ [ ] # $ { } , ! ( ) < \ | / > % - . : ; = " tab and CR LF; words of two or more characters.
WordList allWords(const CodeArray& records, const SearchScope& scope);

// Keywords split at blanks and commas; every non-empty word.
WordList keyWords(const CodeArray& records, const SearchScope& scope);

// "N unique words found from list of M", M the highest index of the split pieces.
QString allWordsStatus(const WordList& list);

// "N unique words found".
QString keyWordsStatus(const WordList& list);

} // namespace WordLists
