#pragma once

#include "store/SnippetRecord.h"

#include <functional>
#include <QIODevice>
#include <QString>
#include <QStringList>

struct Workspace;
class MappedDatabase;
namespace DatabaseFile {
struct ReadResult;
}

// The commands of zorbeth-cli: the core's capabilities without a window, for scripts and checks.
class CliCommands
{
public:
    enum Status
    {
        Success = 0,
        Problems = 1, // the command ran but found something wrong
        Failure = 2   // bad usage, or a file that could not be read
    };

    CliCommands(QIODevice& out, QIODevice& err);

    // Runs one command line (without the program name) and returns the exit status.
    int run(const QStringList& arguments);

    // Reads every library with DatabaseFile::read(), as the commands that decode everything do:
    // the reference the mapped reads are compared with.
    void setFullRead(bool full) { m_fullRead = full; }

private:
    // The options of the search and words commands.
    struct SearchOptions
    {
        bool titles = false;
        bool keywords = false;
        bool code = false;
        bool ignoreCase = false;
        bool allLanguages = false;
        bool allWords = false;
        bool keyWords = false;
        QString language;
        bool languageGiven = false;
    };

    int check(const QString& file);
    int split(const QString& file);
    int list(const QString& language);
    int show(const QString& index);
    int search(const QString& term, const SearchOptions& options);
    int words(const SearchOptions& options);
    int compare(const QString& file, bool matching);
    int importStaged(const QString& file, const QString& ids, bool all);

    // Stages file as the local import does and sorts the staged array. Failure when the file cannot
    // be read, Problems (with the reason on stderr) when nothing was found in it.
    int stage(const QString& file, CodeArray& staged);
    int objects(const QStringList& arguments);
    int objectsAnalyze();
    int objectsList();
    int objectsExtract(const QString& index, const QString& folder);
    // export vscode LANGUAGE DIR, export markdown [--language L] DIR.
    int exportFiles(const QStringList& arguments, const QString& language, bool languageGiven);
    int find(const QString& query, const QString& limit);

    // Loads and sorts the library of the program folder as the program does, never writing it;
    // resourcePath receives where its objects are read from: its resource file, or the compacted
    // file of an interrupted compaction that the window would put in place (said on stderr, Problems).
    int loadLibrary(CodeArray& records, QString* resourcePath = nullptr);

    // The library of the program folder mapped for reading when it can be (mapped true), else
    // loaded and sorted by loadLibrary; the same messages and status as loadLibrary either way.
    // With alongside, the file is only walked (MappedDatabase::open countOnly) and alongside runs
    // on its bytes meanwhile.
    int readLibrary(MappedDatabase& db, bool& mapped, CodeArray& records,
                    const std::function<void(QByteArrayView, qsizetype, qsizetype)>& alongside = {});

    // Says on stderr what a read of the library at path found wrong; false when it did.
    bool reportRead(const QString& path, const DatabaseFile::ReadResult& result, qsizetype records);

    // The program folder's workspace as the commands see it: no library loaded yet.
    Workspace workspace() const;

    // Points resourcePath where the window would read the objects of records from after settling an
    // interrupted compaction, saying so on stderr; false when there was one.
    bool objectsAsTheWindowSeesThem(const CodeArray& records, QString& resourcePath);

    // Whether file is a file that can be read; says on stderr why when it is not.
    bool readable(const QString& file);

    // Whether records has an element wanted; says on stderr when it has not.
    bool hasIndex(const CodeArray& records, qlonglong wanted);

    int usageError(const QString& why);
    void print(const QString& text);
    void printError(const QString& text);

    QIODevice& m_out;
    QIODevice& m_err;
    QString m_folder;
    bool m_json = false;
    bool m_fullRead = false;
};
