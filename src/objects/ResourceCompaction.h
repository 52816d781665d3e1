#pragma once

#include "store/SnippetRecord.h"

#include <QString>
#include <utility>
#include <vector>

// Rewrites the resource file without its orphaned bytes. The compacted file is written under a
// temporary name first; the caller saves the library with the new positions and only then puts it
// in place, so the library and the resource file on disk always belong together.
namespace ResourceCompaction {

struct Result
{
    bool ok = false;
    QString error;
    QString tempPath; // the compacted file, beside the resource file
    // The new start of every record that holds an object in use, by code-array index.
    std::vector<std::pair<size_t, qint32>> starts;
    qint64 size = 0; // length of the compacted file
};

// The name the compacted file is written under.
QString tempPathFor(const QString& resourcePath);

// Copies the objects in use of records, in code-array order, into the temporary file; changes neither
// the records nor the resource file. On failure the temporary file is removed.
Result writeCompacted(const QString& resourcePath, const CodeArray& records);

// Gives the records their new starts; returns the old ones, for undo.
std::vector<std::pair<size_t, qint32>> applyStarts(CodeArray& records,
                                                   const std::vector<std::pair<size_t, qint32>>& starts);

// Replaces the resource file by the compacted one in one step; false with error set when it failed,
// in which case both files are as they were.
bool replace(const QString& resourcePath, const QString& tempPath, QString* error);

// What is left of a compaction that stopped before its last step.
enum class Interrupted
{
    None,   // no temporary file
    Finish, // the library was saved with the compacted positions: the temporary file is its resource file
    Discard // the library still holds the old positions: the temporary file is of no use
};

// Tells, without changing anything, how finishInterrupted would settle the files: readers that may not
// write see the library as the window does by following this.
Interrupted interrupted(const QString& resourcePath, const CodeArray& records);

// Settles a compaction that stopped before its last step (the program was killed or the rename
// failed) when the temporary file is still there: a library already saved with the new positions
// gets the compacted file put in place; otherwise the temporary file goes. Returns false with error
// set when the needed step failed.
bool finishInterrupted(const QString& resourcePath, const CodeArray& records, QString* error = nullptr);

} // namespace ResourceCompaction
