#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The search history "zorbethsearch.txt" in the program folder: the recent search terms, newest first,
// one per line, at most twenty.
namespace SearchHistory {

inline constexpr char FileName[] = "zorbethsearch.txt";
inline constexpr qsizetype MaxTerms = 20;
// What a new file holds, and what the drop-down offers while there is no term yet.
inline constexpr char EmptyFileLine[] = "<empty>";
inline constexpr char PlaceholderEntry[] = "<search string>";

struct LoadResult
{
    QStringList entries;  // the drop-down's entries, in file order
    bool created = false; // the file was missing and has been created
    QString error;        // the file could not be read or created
};

// The entries of a history file's bytes: every line trimmed of blanks, blank lines left out.
QStringList parse(QByteArrayView bytes);

// Reads the file at path. A missing file is created holding "<empty>" and gives the one entry
// "<search string>"; a file that exists but cannot be read is left alone and gives no entries.
LoadResult LoadComboSearchList(const QString& path);

// The history after entering term: term first, then the first nineteen entries that are not blank
// and differ from it exactly.
QStringList withTerm(const QString& term, const QStringList& entries);

// Writes the entries, one per CR LF line, through a safe save; false with error set on failure.
bool write(const QString& path, const QStringList& entries, QString* error = nullptr);

} // namespace SearchHistory
