#pragma once

#include <QString>
#include <QStringView>

// The fuzzy match of Quick Open: the typed characters, in order, somewhere in a text, without regard
// to letter case. A match scores higher for characters that follow each other, characters at the
// start of words, an early start and a short text.
namespace FuzzyMatch {

// Score of no match.
inline constexpr int NoMatch = -1000000;

// Characters of a query beyond this many are not looked at.
inline constexpr qsizetype MaxQuery = 64;

// The query as it is matched: lower case, blanks left out, at most MaxQuery characters.
QString prepareQuery(const QString& typed);

// Appends text prepared for matching: its characters in lower case, one for one, to lower, and for each
// whether a word starts there to wordStarts (the first character, one after a character that is not a
// letter or digit, an upper-case letter after a lower-case one, a digit after a letter).
void appendPrepared(QStringView text, QString& lower, QByteArray& wordStarts);

// The best score of the query (prepared) in the text (prepared), NoMatch when its characters do not
// all occur in order. wordStarts holds one flag per character of text.
int score(QStringView text, const char* wordStarts, QStringView query);

// The same for plain texts; for tests and single uses.
int score(const QString& text, const QString& typed);

} // namespace FuzzyMatch
