#pragma once

#include "store/SnippetRecord.h"

#include <QHash>
#include <QString>
#include <vector>

// How each staged record stands against the library. Keys are lower-cased: the title key is the
// language followed by the title, the full key language, title and code, with no separators (so
// "Perl"+"Sort" and "Per"+"lSort" are the same title). Deleted library records take no part.
class LocalIndex
{
public:
    // Indexes the library once; the index is valid until the library changes.
    explicit LocalIndex(const CodeArray& library);

    // True unless a library record has the same full key as staged.
    bool RemoteIsUnique(const SnippetRecord& staged) const;

    // True when a library record has the same title key as staged and other code (case ignored).
    bool RemoteIsMatching(const SnippetRecord& staged) const;

    // Both answers at once, with the staged record's keys computed once.
    struct Verdict
    {
        bool unique = false;
        bool matching = false;
    };
    Verdict compare(const SnippetRecord& staged) const;

    // The lowest library index whose title key is titleKey (already lower-cased), or -1.
    qsizetype FindMatchToRemote(const QString& titleKey) const;

private:
    // What the comparison needs of one record, computed once.
    struct Keys
    {
        QString titleKey;
        size_t fullHash = 0; // of the full key
        size_t codeHash = 0; // of the lower-cased code
    };
    struct Entry
    {
        qsizetype index = 0;
        size_t codeHash = 0;
    };

    static Keys keysOf(const SnippetRecord& record);
    bool isUnique(const SnippetRecord& staged, const Keys& keys) const;
    bool isMatching(const SnippetRecord& staged, const Keys& keys) const;

    const CodeArray& m_library;
    QHash<QString, std::vector<Entry>> m_byTitle;        // title key -> records, lowest index first
    QHash<size_t, std::vector<qsizetype>> m_byFullHash; // full-key hash -> records
};

namespace Comparison {

// One row of the comparison list: staged record id ("ID" column), shown red when its title
// exists in the library with other code.
struct Row
{
    qsizetype id = 0;
    QString language;
    QString category;
    QString title;
    bool red = false;
};

// The title key of a record: lower-case language followed by lower-case title.
QString titleKey(const QString& language, const QString& title);

// The differences view: every staged record without an identical library twin, in staged order;
// with a language (one-language view), only staged records of that language (case ignored).
std::vector<Row> FillListViewRemote(const LocalIndex& index, const CodeArray& staged,
                                    const QString& language = QString());

// The matching view: staged records whose title exists in the library with other code, all red.
std::vector<Row> FillListViewRemoteMatching(const LocalIndex& index, const CodeArray& staged,
                                            const QString& language = QString());

// The status texts after a fill: "N of M source code snippet have differences", and the matching
// view's; both end with the local file name when importFileName is not empty.
QString differencesStatus(qsizetype listed, qsizetype staged, const QString& importFileName);
QString matchingStatus(qsizetype listed, qsizetype staged, const QString& importFileName);

// The placeholder row's texts when nothing is listed.
inline constexpr char PlaceholderKey[] = "X";
inline constexpr char PlaceholderText[] = "<none>";
inline constexpr char CurrentText[] =
    "Your local database is current.  All server snippets were found on your PC.";
inline constexpr char NothingFoundText[] = "No source code found in the selected file.";

} // namespace Comparison
