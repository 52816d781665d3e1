#pragma once

#include "store/SnippetRecord.h"

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
    // The index refers to the library, which must outlive it.
    explicit LocalIndex(CodeArray&&) = delete;

    // How staged stands: unique unless a library record has the same full key; matching when a
    // library record has the same title key and other code (case ignored).
    struct Verdict
    {
        bool unique = false;
        bool matching = false;
    };
    Verdict compare(const SnippetRecord& staged) const;

private:
    // What the comparison needs of one record, computed once: the hash of the lower-cased title key,
    // and whether that key is plain ASCII (then it is compared in place, without lower-cased copies);
    // and a hash of the lower-cased full key taken from its first and last units only, so that the
    // code in between, most of a library, is not read until two records' hashes agree.
    struct Keys
    {
        quint64 titleHash = 0;
        quint64 fullHash = 0;
        bool titleAscii = true;
    };
    struct Entry
    {
        qsizetype index = 0;
        Keys keys;
        qsizetype nextSameTitle = -1; // the next entry with the same title hash, higher index
        qsizetype nextSameFull = -1;  // the next entry with the same full hash
    };
    // Open addressing from a hash to the first entry of its chain.
    struct Heads
    {
        std::vector<quint64> hashes;
        std::vector<qsizetype> first; // -1: free slot
        quint64 mask = 0;

        void reserve(size_t count);
        qsizetype& slot(quint64 hash);
        qsizetype find(quint64 hash) const;
    };

    static Keys keysOf(const SnippetRecord& record);
    bool isUnique(const SnippetRecord& staged, const Keys& keys) const;
    bool isMatching(const SnippetRecord& staged, const Keys& keys) const;

    const CodeArray& m_library;
    std::vector<Entry> m_entries; // the records not deleted, in library order
    Heads m_byTitle;
    Heads m_byFull;
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

// The lowest index of a library record not deleted whose title key is titleKey, or -1: one scan,
// for a single lookup in a library that may have changed since an index was built.
qsizetype FindMatchToRemote(const CodeArray& library, const QString& titleKey);

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
