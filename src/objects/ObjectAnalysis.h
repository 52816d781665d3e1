#pragma once

#include "store/SnippetRecord.h"

#include <QString>

// How much of the resource file the library's objects use.
namespace ObjectAnalysis {

struct Analysis
{
    qint64 count = 0;     // records not deleted that hold an object
    qint64 bytesUsed = 0; // their lengths together
    qint64 fileSize = 0;  // the resource file's length, 0 when it does not exist
};

// Counts the objects in use of records and measures the resource file at resourcePath.
Analysis analyze(const CodeArray& records, const QString& resourcePath);

// The status-bar text of the analysis.
QString statusText(const Analysis& analysis);

// The status-bar text after a compaction: the analysis text under its own heading.
QString compactedText(const Analysis& analysis);

} // namespace ObjectAnalysis
